// Where offset lines and circles meet.
#include "toolpath/Compgeometry.hpp"

#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

std::optional<Vec2> lineLine(const OffsetElement& p, const OffsetElement& q) {
  const double det = cross(p.dir, q.dir);
  if (std::abs(det) < 1e-12) return std::nullopt;
  const double t = cross(q.point - p.point, q.dir) / det;
  return p.point + t * p.dir;
}

std::optional<Vec2> lineCircle(const OffsetElement& line, const OffsetElement& circle, Vec2 near) {
  const auto crossings = lineCircleCrossings(line, circle);
  if (!crossings) return std::nullopt;
  const auto [x1, x2] = *crossings;
  return length(x1 - near) <= length(x2 - near) ? x1 : x2;
}

std::optional<Vec2> circleCircle(const OffsetElement& p, const OffsetElement& q, Vec2 near) {
  const Vec2 between = q.centre - p.centre;
  const double d = length(between);
  if (d == 0 || p.radius == 0) return std::nullopt;
  const double cosPhi = (p.radius * p.radius + d * d - q.radius * q.radius) / (2 * p.radius * d);
  if (cosPhi > 1 || cosPhi < -1) return std::nullopt;
  const double phi = std::acos(cosPhi);
  const double towards = angleOf(between);
  const Vec2 x1 = p.centre + p.radius * direction(towards + phi);
  const Vec2 x2 = p.centre + p.radius * direction(towards - phi);
  return length(x1 - near) <= length(x2 - near) ? x1 : x2;
}

}  // namespace

std::optional<std::pair<Vec2, Vec2>> lineCircleCrossings(const OffsetElement& line, const OffsetElement& circle) {
  const Vec2 d = line.point - circle.centre;
  const double b = dot(line.dir, d);
  const double disc = b * b - dot(d, d) + circle.radius * circle.radius;
  if (disc < 0) return std::nullopt;
  const double root = std::sqrt(disc);
  return std::pair{line.point + (-b + root) * line.dir, line.point + (-b - root) * line.dir};
}

std::optional<Vec2> meet(const OffsetElement& first, const OffsetElement& second, Vec2 near) {
  if (!first.circle && !second.circle) return lineLine(first, second);
  if (!first.circle) return lineCircle(first, second, near);
  if (!second.circle) return lineCircle(second, first, near);
  return circleCircle(first, second, near);
}

double wrapFrom(double angle, double low) {
  while (angle < low) angle += kTwoPi;
  while (angle >= low + kTwoPi) angle -= kTwoPi;
  return angle;
}

double sweepOf(Vec2 c, Vec2 s, Vec2 e, bool ccw) {
  if (s.a == e.a && s.b == e.b) return kTwoPi;  // a whole circle
  const double turn = angleOf(e - c) - angleOf(s - c);
  return wrapFrom(ccw ? turn : -turn, 0);
}
