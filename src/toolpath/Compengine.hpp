// The state of a compensation pass (private to src/toolpath): the side, the radius, the current tool centre
// and the one compensated move held back until the next corner is known.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "nc/Ncgeometry.hpp"
#include "toolpath/Compensation.hpp"
#include "toolpath/Compgeometry.hpp"
#include "toolpath/Compradius.hpp"

// The words of a block that compensation looks at, read from its text.
struct CompWords {
  bool g41 = false, g42 = false;
  bool diameterComp = false;  // G41.1 or G42.1: the D word is a diameter
  bool programEnd = false;    // M02 or M30
  std::optional<double> d;
};
CompWords compWordsOf(std::u16string_view text);

// One block's programmed move in the compensation plane's axes (a, b) and along its normal (n).
struct PlaneMove {
  int block = 0;
  bool rapid = false, arc = false, ccw = false, inPlane = false;
  Vec2 start, end, centre;
  double n0 = 0, n1 = 0, radius = 0;
};
PlaneMove planeMoveOf(const kNcGeometry& g, int block, int plane);
inline PieceKind pieceKindOf(const PlaneMove& m) {
  if (m.arc) return m.ccw ? PieceKind::arcCcw : PieceKind::arcCw;
  return m.rapid ? PieceKind::rapid : PieceKind::line;
}
bool isHoleOrStill(const PlaneMove& move);

class Compensator {
 public:
  Compensator(const kNcGeometry& g, const ControlProfile& profile, CompensatedPath& out);
  void run();

 private:
  enum class State : std::uint8_t { off, entry, on, exit, suspended };
  struct Queued {
    bool held = false, arc = false, ccw = false;
    std::size_t index = 0;
    Vec2 start, end, centre;
    Vec2 programmed;   // the programmed direction of a straight move; zero for the entry, which is not checked
    double sweep = 0;  // the programmed sweep of an arc
  };

  void block(int b);
  void turnOn(int b, const CompWords& words, int code);
  void turnOff();
  void move(const PlaneMove& m);
  void entryMove(const PlaneMove& m);
  void exitMove(const PlaneMove& m);
  void normalOnly(const PlaneMove& m);
  void fail(const PlaneMove& m, Rule rule, std::uint8_t detail = 0, double n0 = 0, double n1 = 0);
  Finding& note(int b, Rule rule, std::uint8_t detail = 0, double n0 = 0, double n1 = 0);
  std::optional<double> commentDiameterAt(int b);

  // Compcorner.cpp: the steady state.
  void steadyMove(const PlaneMove& m);
  bool concaveCorner(const PlaneMove& m, double beta, Vec2 uPrev, Vec2 startTangent, Vec2 newStart, Vec2& start);
  bool convexCorner(const PlaneMove& m, double beta, Vec2 uPrev, Vec2 startTangent, Vec2 newStart, Vec2& start);
  bool moveQueuedEnd(const PlaneMove& m, Vec2 to, bool checked);
  void extendQueuedArc(Vec2 to);
  OffsetElement queuedElement(Vec2 uPrev) const;
  std::optional<Vec2> lineToArc(const OffsetElement& before, const OffsetElement& after) const;
  std::optional<Vec2> arcToLine(const OffsetElement& before, const OffsetElement& after) const;
  std::optional<Vec2> arcToArc(const OffsetElement& before, const OffsetElement& after, bool ccw) const;
  OffsetElement newElement(const PlaneMove& m, Vec2 newStart, Vec2 startTangent) const;
  bool inside(bool ccw) const { return (side_ > 0) == ccw; }

  // Pieces.
  std::size_t emit(int b, PieceKind kind, Vec2 s, double sn, Vec2 e, double en, Vec2 centre, CompSide side,
                   bool corner = false);
  void emitMove(const PlaneMove& m, Vec2 start, Vec2 end, Vec2 centre, CompSide side);
  void setEnd(std::size_t index, Vec2 e);
  void flush() { queued_.held = false; }
  CompSide compSide() const { return side_ > 0 ? CompSide::left : CompSide::right; }

  const kNcGeometry& g_;
  const ControlProfile& profile_;
  CompensatedPath& out_;
  const CornerModel model_;
  const ToolTable table_;
  State state_ = State::off;
  int side_ = 1;
  int plane_ = 17;
  double r_ = 0;
  Vec2 q_;
  double qn_ = 0;
  Queued queued_;
  int turnedOnAt_ = 0;
};
