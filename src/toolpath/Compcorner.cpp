// The steady state of compensation: how each move meets the one before it (tangent, convex or concave
// corner), the queued move's end pulled back into a concave corner, and the gouge checks that refuse it.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolpath/Compengine.hpp"

namespace {

constexpr double kPi = std::numbers::pi;

}  // namespace

OffsetElement Compensator::queuedElement(Vec2 uPrev) const {
  OffsetElement e;
  if (queued_.held && queued_.arc) {
    e.circle = true;
    e.centre = queued_.centre;
    e.radius = length(q_ - queued_.centre);
  } else {
    e.point = q_;
    e.dir = uPrev;
  }
  return e;
}

OffsetElement Compensator::newElement(const PlaneMove& m, Vec2 newStart, Vec2 startTangent) const {
  OffsetElement e;
  if (m.arc) {
    e.circle = true;
    e.centre = m.centre;
    // The radius to the programmed end, as the control takes it.
    const double radius = length((queued_.held && queued_.arc ? m.end : m.start) - m.centre);
    e.radius = inside(m.ccw) ? radius - r_ : radius + r_;
  } else {
    e.point = newStart;
    e.dir = startTangent;
  }
  return e;
}

void Compensator::steadyMove(const PlaneMove& m) {
  if (m.arc && inside(m.ccw) && m.radius <= r_) return fail(m, Rule::compArcTooSmall, 0, m.radius, r_);
  // The tool stands at q_, a radius away from the programmed point: the previous move ended perpendicular to it.
  const Vec2 rho = unit(q_ - m.start);
  const Vec2 uPrev = side_ > 0 ? Vec2{rho.b, -rho.a} : Vec2{-rho.b, rho.a};
  const Vec2 startTangent = m.arc ? arcTangent(m.centre, m.start, m.ccw) : unit(m.end - m.start);
  const Vec2 endTangent = m.arc ? arcTangent(m.centre, m.end, m.ccw) : startTangent;
  const Vec2 newStart = m.start + (side_ * r_) * leftNormal(startTangent);
  const Vec2 newEnd = m.end + (side_ * r_) * leftNormal(endTangent);
  // The turn away from the tool's side: positive at a convex corner.
  const double beta = wrapFrom(side_ * std::atan2(cross(startTangent, uPrev), dot(startTangent, uPrev)), -kPi / 2);
  // A near reversal into an arc turning toward the tool's side, or out of one, is a concave corner (an "h"
  // shape).
  const bool hShape = beta > kPi - kTangentTurn &&
                      (m.arc ? (side_ < 0) == m.ccw : queued_.held && queued_.arc && (side_ < 0) == queued_.ccw);
  Vec2 start = q_;
  if (beta < -kTangentTurn || beta > kPi + kTangentTurn || hShape) {
    if (!concaveCorner(m, beta, uPrev, startTangent, newStart, start)) return;
  } else if (beta > kTangentTurn) {
    if (!convexCorner(m, beta, uPrev, startTangent, newStart, start)) return;
  } else {
    // A tangent joint leaves the held move as it is: nothing to check.
    moveQueuedEnd(m, q_, false);
  }
  emitMove(m, start, newEnd, m.centre, compSide());
  q_ = newEnd;
  qn_ = m.n1;
}

bool Compensator::concaveCorner(const PlaneMove& m, double beta, Vec2 uPrev, Vec2 startTangent, Vec2 newStart,
                                Vec2& start) {
  Vec2 corner;
  if (!m.arc && !(queued_.held && queued_.arc)) {
    // Back along the previous move's offset, by the radius over the tangent of half the inside angle.
    const double half = (beta + kPi) / 2;
    if (half == 0) {
      fail(m, Rule::compGouge, 2);
      return false;
    }
    corner = q_ - (r_ / std::tan(half)) * uPrev;
  } else {
    const OffsetElement before = queuedElement(uPrev);
    const OffsetElement after = newElement(m, newStart, startTangent);
    if (before.circle && after.circle && length(before.centre - after.centre) < 1e-12) {
      fail(m, Rule::compSameCentre, 0, m.centre.a, m.centre.b);
      return false;
    }
    const std::optional<Vec2> met = before.circle && after.circle ? arcToArc(before, after, m.ccw)
                                    : before.circle               ? arcToLine(before, after)
                                                                  : lineToArc(before, after);
    if (!met) {
      fail(m, Rule::compGouge, 2);
      return false;
    }
    corner = *met;
  }
  if (!moveQueuedEnd(m, corner, true)) return false;
  start = corner;
  return true;
}

// Of the two crossings of the offset circles, the one the control takes: turned from the line between the
// centres by the side the tool keeps on the previous arc and the new arc's turn.
std::optional<Vec2> Compensator::arcToArc(const OffsetElement& before, const OffsetElement& after,
                                          bool ccw) const {
  const Vec2 between = after.centre - before.centre;
  const double d = length(between);
  const double cosPhi =
      (before.radius * before.radius + d * d - after.radius * after.radius) / (2 * before.radius * d);
  if (before.radius == 0 || cosPhi > 1 || cosPhi < -1) return std::nullopt;
  const double phi = std::acos(cosPhi);
  const bool plus = inside(queued_.ccw) == ccw;
  return before.centre + before.radius * direction(angleOf(between) + (plus ? phi : -phi));
}

// Where the tool, going along the held-back arc from its start, first meets the new offset line.
std::optional<Vec2> Compensator::arcToLine(const OffsetElement& before, const OffsetElement& after) const {
  const auto crossings = lineCircleCrossings(after, before);
  if (!crossings) return std::nullopt;
  const auto [x1, x2] = *crossings;
  return sweepOf(before.centre, x1, queued_.end, queued_.ccw) <=
                 sweepOf(before.centre, x2, queued_.end, queued_.ccw)
             ? x1
             : x2;
}

// Where the tool, going back along the held-back line from its end, first meets the new offset circle.
std::optional<Vec2> Compensator::lineToArc(const OffsetElement& before, const OffsetElement& after) const {
  const auto crossings = lineCircleCrossings(before, after);
  if (!crossings) return std::nullopt;
  const auto [x1, x2] = *crossings;
  const double d1 = dot(x1 - q_, before.dir), d2 = dot(x2 - q_, before.dir);
  // Behind the end (d <= 0) the nearer one; with both ahead, the nearer one too.
  if ((d1 <= 0) != (d2 <= 0)) return d1 <= 0 ? x1 : x2;
  return std::abs(d1) <= std::abs(d2) ? x1 : x2;
}

bool Compensator::convexCorner(const PlaneMove& m, double beta, Vec2 uPrev, Vec2 startTangent, Vec2 newStart,
                               Vec2& start) {
  // The control checks the move held back once more before a straight move leaves it, not before an arc.
  if (model_ == CornerModel::arcs) {
    if (!moveQueuedEnd(m, q_, !m.arc)) return false;
    const PieceKind kind = m.rapid ? PieceKind::rapid : (side_ > 0 ? PieceKind::arcCw : PieceKind::arcCcw);
    emit(m.block, kind, q_, qn_, newStart, qn_, m.start, compSide(), true);
    start = newStart;
    return true;
  }
  if (beta <= kPi / 2 + 1e-9) {
    const std::optional<Vec2> met = meet(queuedElement(uPrev), newElement(m, newStart, startTangent), m.start);
    if (met) {
      moveQueuedEnd(m, *met, false);
      flush();
      start = *met;
      return true;
    }
  }
  // Sharper than a right angle: each offset element goes on by the radius, a line joins the two points.
  const Vec2 out = q_ + r_ * uPrev;
  const Vec2 in = newStart - r_ * startTangent;
  if (queued_.held && !queued_.arc) {
    moveQueuedEnd(m, out, false);
  } else if (queued_.held) {
    extendQueuedArc(out);
  } else {
    emit(m.block, PieceKind::line, q_, qn_, out, qn_, {}, compSide(), true);
  }
  flush();
  emit(m.block, PieceKind::line, out, qn_, in, qn_, {}, compSide(), true);
  start = in;
  if (m.arc) {
    emit(m.block, PieceKind::line, in, qn_, newStart, qn_, {}, compSide(), true);
    start = newStart;
  }
  return true;
}

bool Compensator::moveQueuedEnd(const PlaneMove& m, Vec2 to, bool checked) {
  if (!queued_.held) return true;
  // A straight move whose end is pulled back past its start would run against its programmed direction.
  if (checked && !queued_.arc && dot(queued_.programmed, to - queued_.start) < 0) {
    fail(m, Rule::compGouge, 0);
    return false;
  }
  if (checked && queued_.arc) {
    const double radius = length(queued_.end - queued_.centre);
    const double turn = sweepOf(queued_.centre, queued_.start, to, queued_.ccw) - queued_.sweep;
    const double growth = turn * radius;
    if (turn > kArcGrowthTurn) {
      fail(m, Rule::compGouge, 1, growth);
      return false;
    }
  }
  setEnd(queued_.index, to);
  queued_.end = to;
  flush();
  q_ = to;
  return true;
}

// A held arc goes on along its end tangent as a piece of its own block, so that the block after the corner
// keeps to the line joining the two points, its lead-in and its move. Moves along the normal held back
// behind the arc stand at the new end.
void Compensator::extendQueuedArc(Vec2 to) {
  const CompPiece arc = out_.pieces[queued_.index];  // a copy: the emit may move the pieces
  const double n = plane_ == 18 ? arc.ey : arc.ez;
  emit(arc.block, PieceKind::line, queued_.end, n, to, n, {}, arc.side, true);
  const auto at = out_.pieces.begin() + static_cast<std::ptrdiff_t>(queued_.index + 1);
  std::rotate(at, out_.pieces.end() - 1, out_.pieces.end());
  setEnd(queued_.index + 1, to);
  q_ = to;
}
