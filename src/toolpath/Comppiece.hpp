// The tool centre path under cutter radius compensation: pieces of lines and arcs, each knowing its block.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "nc/Nccheck.hpp"
#include "util/BulkAllocator.hpp"

enum class PieceKind : std::uint8_t { rapid, line, arcCw, arcCcw };
// The side the tool keeps while the piece is made: none for the exit move and moves after an error.
enum class CompSide : std::uint8_t { none, left, right };

struct CompPiece {
  int block = 0;
  PieceKind kind = PieceKind::line;
  CompSide side = CompSide::none;
  bool corner = false;            // inserted at a corner rather than made from the block's own move
  std::uint8_t plane = 17;        // 17 or 18; arcs turn in this plane
  double sx = 0, sy = 0, sz = 0;  // start
  double ex = 0, ey = 0, ez = 0;  // end
  double cx = 0, cy = 0, cz = 0;  // centre of an arc (its coordinate along the plane's normal is the start's)

  bool isArc() const { return kind == PieceKind::arcCw || kind == PieceKind::arcCcw; }
};

// The pieces of every block that compensation touched, in block order, and what it found wrong.
class CompensatedPath {
 public:
  // A compensated program of millions of blocks has about as many pieces: kept on huge pages.
  std::vector<CompPiece, BulkAllocator<CompPiece>> pieces;
  std::vector<Finding> findings;

  // The first piece of block `block` or of a later one.
  auto firstFrom(int block) const {
    const auto byBlock = [](const CompPiece& p, int b) { return p.block < b; };
    return std::lower_bound(pieces.begin(), pieces.end(), block, byBlock);
  }
  // The pieces of block b; empty when compensation left the block as programmed.
  std::span<const CompPiece> piecesOf(int block) const {
    const auto first = firstFrom(block);
    auto last = first;
    while (last != pieces.end() && last->block == block) ++last;
    return {first, last};
  }
  bool empty() const { return pieces.empty(); }
};
