// Plane geometry of compensation: vectors in the plane's axes (a, b), offset elements and where they meet.
#pragma once

#include <cmath>
#include <optional>
#include <utility>

struct Vec2 {
  double a = 0, b = 0;
};
inline Vec2 operator+(Vec2 p, Vec2 q) { return {p.a + q.a, p.b + q.b}; }
inline Vec2 operator-(Vec2 p, Vec2 q) { return {p.a - q.a, p.b - q.b}; }
inline Vec2 operator*(double k, Vec2 p) { return {k * p.a, k * p.b}; }
inline double dot(Vec2 p, Vec2 q) { return p.a * q.a + p.b * q.b; }
inline double cross(Vec2 p, Vec2 q) { return p.a * q.b - p.b * q.a; }
inline double length(Vec2 p) { return std::hypot(p.a, p.b); }
inline double angleOf(Vec2 p) { return std::atan2(p.b, p.a); }
inline Vec2 direction(double angle) { return {std::cos(angle), std::sin(angle)}; }
// The left normal of a direction.
inline Vec2 leftNormal(Vec2 u) { return {-u.b, u.a}; }
inline Vec2 unit(Vec2 p) {
  const double l = length(p);
  return l > 0 ? (1 / l) * p : Vec2{};
}

// An offset element: a line through `point` along `dir`, or a circle about `centre`.
struct OffsetElement {
  bool circle = false;
  Vec2 point, dir;
  Vec2 centre;
  double radius = 0;
};

// Where two offset elements meet, the crossing nearest `near` when they meet twice; nullopt when they do not
// meet (parallel lines, circles apart or one inside the other, a line missing a circle).
std::optional<Vec2> meet(const OffsetElement& first, const OffsetElement& second, Vec2 near);

// Where an offset line meets an offset circle; nullopt when it misses. Both crossings, in either order.
std::optional<std::pair<Vec2, Vec2>> lineCircleCrossings(const OffsetElement& line, const OffsetElement& circle);

// The tangent direction of an arc about `centre` at point p: dir 2 clockwise, 3 counter-clockwise.
inline Vec2 arcTangent(Vec2 centre, Vec2 p, bool ccw) {
  const Vec2 radial = unit(p - centre);
  return ccw ? leftNormal(radial) : Vec2{radial.b, -radial.a};
}

// The sweep of an arc from s to e about c in its turning direction, in [0, 2π).
double sweepOf(Vec2 c, Vec2 s, Vec2 e, bool ccw);
// An angle brought into [low, low + 2π).
double wrapFrom(double angle, double low);
