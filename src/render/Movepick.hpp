// Finding the move drawn nearest a point: each block's move as drawn (a segment or an arc), measured exactly,
// over a grid index of the whole program built once per reading.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "graphics/Gcircle.hpp"
#include "graphics/Kpoint.hpp"

// A block's move as the drawing draws it.
struct DrawnMove {
  bool arc = false;
  // A segment from `from` to `to`; an arc is `circle`, limited to its arc or whole as drawn.
  kPoint from, to;
  GCircle circle{0, 0, 0.0};
};

// The distance from p to the move as drawn, in program units.
double distanceToMove(const kPoint& p, const DrawnMove& move);

class kMoveIndex {
 public:
  // Block b's move into `move`; false when the block draws no move.
  using MoveOf = std::function<bool(int b, DrawnMove& move)>;

  // Indexes blocks 1 .. blockCount - 1: at once, or in pieces (begin, then proceed until it says the index is
  // complete) for a window that must go on taking its events.
  void build(int blockCount, const MoveOf& moveOf) {
    begin(blockCount);
    proceed(moveOf, std::numeric_limits<int>::max());
  }
  void begin(int blockCount);
  // Goes on over about `blockBudget` blocks; true when the index is complete.
  bool proceed(const MoveOf& moveOf, int blockBudget);
  bool builtFor(int blockCount) const { return built && indexedBlocks == blockCount; }
  bool buildingFor(int blockCount) const { return phase != Phase::Idle && indexedBlocks == blockCount; }
  void clear();
  // The block whose move passes nearest p, within `radius`; the latest block wins a tie; 0 for none.
  int nearest(const kPoint& p, double radius, const MoveOf& moveOf) const;

 private:
  // A segment from (x1, y1) to (x2, y2), or an arc about (x1, y1) of radius x2 from `first` over `sweep`
  // degrees counter-clockwise.
  struct Box {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0, first = 0, sweep = 0;
    bool arc = false;
    bool drawn = false;
  };
  enum class Phase { Idle, Boxes, Counts, Entries };
  void indexBlock(int b, const MoveOf& moveOf);
  void boxOf(int b, const MoveOf& moveOf, Box& box) const;
  void finishPhase();
  // Cells of `side` along `length`, 1 to kMaxSide whatever the reals are.
  static int cellsAlong(double length, double side);
  int cellX(double x) const;
  int cellY(double y) const;
  // How many steps sample the move every half cell; too many for a move larger than the grid.
  int samplesOf(const Box& box) const;
  bool tooLarge(const Box& box) const;
  // Calls visit(cell) for the cells a move passes through (a cell may come more than once).
  template <typename Visit>
  void forEachCell(const Box& box, Visit&& visit) const;
  void placeGrid(const std::vector<Box>& boxes);

  bool built = false;
  Phase phase = Phase::Idle;
  // The next block of the phase under way.
  int cursor = 0;
  int indexedBlocks = 0;
  // While the index is built: every block's move, and where each cell's next entry goes.
  std::vector<Box> boxes;
  std::vector<std::uint32_t> fillAt;
  double left = 0, bottom = 0, cellWidth = 1, cellHeight = 1;
  int columns = 1, rows = 1;
  // Blocks by cell: those of cell c are entries[cellStart[c] .. cellStart[c + 1] - 1].
  std::vector<std::uint32_t> cellStart;
  std::vector<std::int32_t> entries;
  // Moves that would cover too many cells (a circle larger than the program) are looked at on every search.
  std::vector<std::int32_t> everywhere;
  // The search that last measured each block.
  mutable std::vector<std::uint32_t> seenIn;
  mutable std::uint32_t searches = 0;
};
