// Point shapes and the line/circle intersection constructions.
#include "graphics/Gpoint.hpp"

#include <cmath>
#include <utility>

#include "graphics/Gcircle.hpp"
#include "graphics/Geometry.hpp"
#include "graphics/Gline.hpp"
#include "graphics/Math_.hpp"

bool samePlace(const Graphic& a, const Graphic& b) {
  return a.getKind() != 0 && b.getKind() != 0 && a.getX() == b.getX() && a.getY() == b.getY();
}

GPoint::GPoint(double px, double py) {
  x = px;
  y = py;
}

GPoint::GPoint(const kPoint& p) : GPoint(p.x, p.y) {}

GPoint& GPoint::operator=(const GPoint& src) {
  x = src.x;
  y = src.y;
  valid = src.valid;
  kind = src.kind;
  return *this;
}

void GPoint::makeInvalid() {
  x = 0;
  y = 0;
  valid = false;
}

GPoint::GPoint(const GLine& l1, const GLine& l2) {
  if (l1.getKind() == 0 || l2.getKind() == 0) {
    makeInvalid();
    return;
  }
  const double m1 = l1.slope();
  const double m2 = l2.slope();
  if (equalToDigits(m1, m2, 14)) {
    makeInvalid();
    return;
  }
  if (l1.getKind() == 2) {
    x = l1.x;
    y = l2.y + m2 * x;
  } else if (l2.getKind() == 2) {
    x = l2.x;
    y = l1.y + m1 * x;
  } else {
    x = (l2.y - l1.y) / (m1 - m2);
    y = l1.y + m1 * x;
  }
}

GPoint::GPoint(const GLine& l, const GCircle& c, int side) { intersectLineCircle(l, c, side); }

bool GPoint::setLineCircle(const GLine& l, const GCircle& c, int side) {
  *this = GPoint(l, c, side);
  return valid;
}

void GPoint::intersectLineCircle(const GLine& l, const GCircle& c, int side) {
  if (l.getKind() == 0 || c.getKind() == 0) {
    makeInvalid();
    return;
  }
  const double s = side == 2 ? -1 : side;
  const double r = c.getRadius();
  const double cx = c.x;
  const double cy = c.y;
  if (l.getKind() == 2) {
    const double d = l.x - cx;
    double disc = r * r - d * d;
    if (isNearZero(disc)) disc = 0;
    if (!(disc >= 0)) {
      makeInvalid();
      return;
    }
    x = l.x;
    y = cy - s * std::sin(toRadians(l.angle)) * std::sqrt(disc);
    return;
  }
  const double m = l.slope();
  const double b = l.y;
  const double a = m * m + 1;
  const double bHalf = m * (b - cy) - cx;
  const double cTerm = (b - cy) * (b - cy) + cx * cx - r * r;
  double disc = bHalf * bHalf - a * cTerm;
  if (isNearZero(disc)) disc = 0;
  if (!(disc >= 0)) {
    makeInvalid();
    return;
  }
  // The crossing met first depends on which way along x the line runs.
  const bool towardsPlusX = l.angle > -90 && l.angle < 90;
  x = towardsPlusX ? (-bHalf - s * std::sqrt(disc)) / a : (-bHalf + s * std::sqrt(disc)) / a;
  y = b + m * x;
}

GPoint::GPoint(const GCircle& c1, const GCircle& c2, int side) {
  if (c1.getKind() == 0 || c2.getKind() == 0) {
    makeInvalid();
    return;
  }
  double s = side == 2 ? -1 : side;
  double x1 = c1.x, y1 = c1.y, r1 = c1.getRadius();
  double x2 = c2.x, y2 = c2.y, r2 = c2.getRadius();
  if (x1 == x2 && y1 == y2) {
    makeInvalid();
    return;
  }
  // The chord formula divides by y2 - y1: work with the axes exchanged when the centres share a y.
  const bool exchanged = y1 == y2;
  if (exchanged) {
    std::swap(x1, y1);
    std::swap(x2, y2);
    s = -s;
  }
  const double k = (x2 - x1) / (y2 - y1);
  const double m = ((r1 * r1 + x2 * x2 + y2 * y2) - (r2 * r2 + x1 * x1 + y1 * y1)) / (2 * (y2 - y1));
  const double b = x1 + k * (m - y1);
  const double a = 1 + k * k;
  double disc = b * b - a * (x1 * x1 + (m - y1) * (m - y1) - r1 * r1);
  if (isNearZero(std::fabs(r1) + std::fabs(r2) - distanceOf(x1, y1, x2, y2))) disc = 0;
  if (!(disc >= 0)) {
    makeInvalid();
    return;
  }
  if (y1 < y2) s = -s;
  const double px = (b + s * std::sqrt(disc)) / a;
  const double py = m - k * px;
  x = exchanged ? py : px;
  y = exchanged ? px : py;
}
