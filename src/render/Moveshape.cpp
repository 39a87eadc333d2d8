// How one block is drawn, the same in a redraw and in a step: the drawing kind of its move, the move as a
// line or as an arc by the arc rule, and the hole of a block in a drilling cycle.
#include <algorithm>
#include <limits>

#include "graphics/Geometry.hpp"
#include "graphics/Gpoint.hpp"
#include "render/Toolpath.hpp"

namespace {

// A centre computed from the end points must lie this close to the programmed one to be taken.
constexpr double kCentreTolerance = 0.001;
constexpr std::u16string_view kFastFeedText = u"$FAST_FEED";
constexpr int kXYPlane = 17;

}  // namespace

int kToolPath::clampBlock(int i) const { return std::clamp(i, 0, std::max(geometry.blockCount - 1, 0)); }

// Block 0 is read as itself: the "0 means the latest block" accessors cannot, so its end point comes from
// the store's lists. Every other block goes through the accessors.
kPoint kToolPath::endOf(int i) const {
  const int b = clampBlock(i);
  if (b == 0) return kPoint(geometry.absX.get(0), geometry.absY.get(0));
  return kPoint(geometry.xAt(b), geometry.yAt(b));
}

int kToolPath::motionOf(int i) const { return gNumberAt(geometry.groupMotion, clampBlock(i)); }

DrawingKind kToolPath::kindOf(int i, const std::u16string& feed) const {
  DrawingKind kind = motionOf(i) == 0 ? kindRapid : kindFeed;
  const int comp = gNumberAt(geometry.groupCutterComp, clampBlock(i));
  if (comp == 41 || comp == 42) kind = kindCompensated;
  if (feed == kFastFeedText) kind = kindFastFeed;
  return kind;
}

std::uint8_t kToolPath::moveShape(int i, GCircle& circle, bool& arcFits) {
  const int b = clampBlock(i);
  const int motion = motionOf(b);
  arcFits = true;
  // A move to a fixed point under G02/G03 goes straight.
  if (motion == 0 || motion == 1 || (b >= 1 && (motion == 2 || motion == 3) && !geometry.isArcAt(b)))
    return kMarkLine;
  // Any other motion, or an arc outside the XY plane, is drawn as nothing.
  if ((motion != 2 && motion != 3) || gNumberAt(geometry.groupPlane, b) != kXYPlane) return 0;
  const kPoint p2 = endOf(i);
  arcFits = buildArc(i, i >= 1 ? endOf(i - 1) : p2, p2, circle);
  return kMarkArc;
}

DrawingKind kToolPath::shapeBlock(int i, GCircle& circle, std::uint8_t& shape) {
  bool arcFits = true;
  shape = moveShape(i, circle, arcFits);
  return arcFits ? kindOf(clampBlock(i), geometry.feedValueText(clampBlock(i))) : kindArcError;
}

void kToolPath::drawMove(int i, std::uint8_t shape, const GCircle& circle) {
  if (shape == kMarkArc) {
    canvas.drawCircle(circle);
    return;
  }
  if (shape != kMarkLine) return;
  // The move is the segment between its end points; a move of no length is no line at all.
  const kPoint p2 = endOf(i);
  const kPoint p1 = i >= 1 ? endOf(i - 1) : p2;
  if (p1.x == p2.x && p1.y == p2.y) return;
  canvas.drawSegment(p1, p2);
}

bool kToolPath::drawnMoveOf(int b, DrawnMove& move) {
  if (b < 1 || b >= geometry.blockCount) return false;
  bool arcFits = true;
  const std::uint8_t shape = moveShape(b, move.circle, arcFits);
  move.arc = shape == kMarkArc;
  if (move.arc) return move.circle.valid;
  if (shape != kMarkLine) return false;
  move.from = endOf(b - 1);
  move.to = endOf(b);
  // drawMove draws no line of no length.
  return move.from != move.to;
}

bool kToolPath::indexMoves(int blockBudget) {
  if (moveIndex.builtFor(geometry.blockCount)) return true;
  if (!moveIndex.buildingFor(geometry.blockCount)) moveIndex.begin(geometry.blockCount);
  return moveIndex.proceed([this](int b, DrawnMove& move) { return drawnMoveOf(b, move); }, blockBudget);
}

int kToolPath::nearestBlock(const kPoint& p, double radius) {
  indexMoves(std::numeric_limits<int>::max());
  const int programmed =
      moveIndex.nearest(p, radius, [this](int b, DrawnMove& move) { return drawnMoveOf(b, move); });
  if (!showToolCentre) return programmed;
  double distance = std::numeric_limits<double>::infinity();
  DrawnMove move;
  if (programmed != 0 && drawnMoveOf(programmed, move)) distance = distanceToMove(p, move);
  const int centre = nearestToolCentreBlock(p, radius, distance);
  return centre != 0 ? centre : programmed;
}

bool kToolPath::holeOf(int b, GCircle& hole) const {
  if (b < 1 || b >= geometry.blockCount || !geometry.inCycleAt(b)) return false;
  hole = GCircle(geometry.xAt(b), geometry.yAt(b), geometry.toolDiameterAt(b) / 2);
  return hole.valid;
}

bool kToolPath::buildArc(int i, const kPoint& p1, const kPoint& p2, GCircle& circle) {
  const int b = clampBlock(i);
  // Block 0, the initial G00, is never an arc: the accessors may read it as the latest block.
  const double radius = geometry.radiusAt(b);
  const double r = motionOf(b) == 2 ? -radius : radius;
  const kPoint c(geometry.centreXAt(b), geometry.centreYAt(b));
  bool ok = false;
  if (p1 == p2) {
    ok = circle.set(GPoint(c), r);
  } else {
    ok = circle.set(GPoint(p1), GPoint(p2), r, 1);
    // The programmed centre wins over the one computed from the end points.
    if (!ok || distanceOf(circle.getCentre(), c) > kCentreTolerance) {
      circle.set(GPoint(c), r);
      ok = circle.setArc(p1, p2, 2);
    }
  }
  // One verdict for the drawing, the arc fields and the problems list: the block store's.
  if (b >= 1 && geometry.isFaultyArcAt(b)) ok = false;
  if (ok && p1 != p2) circle.setArc(p1, p2, 4);
  if (!ok) {
    if (r == 0) {
      circle.set(GPoint(p1), 0);
    } else {
      // Drawn about the programmed centre: as an arc when the end points nearly fit, else as a whole circle.
      circle.set(c.x, c.y, r);
      circle.setArc(p1, p2, 2);
    }
  }
  return ok;
}
