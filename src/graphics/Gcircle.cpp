// Circle shapes: construction by centre or through two points, arc limits.
#include "graphics/Gcircle.hpp"

#include "graphics/Geometry.hpp"
#include "graphics/Gline.hpp"
#include "graphics/Gpoint.hpp"

GCircle::GCircle(double cx, double cy, double r) {
  x = cx;
  y = cy;
  radius = r;
  classifyRadius();
}

GCircle::GCircle(const Graphic& centre, double r) {
  if (centre.getKind() == 0) {
    makeInvalid();
    return;
  }
  x = centre.getX();
  y = centre.getY();
  radius = r;
  classifyRadius();
}

GCircle::GCircle(const Graphic& a, const Graphic& b, double r, int side) {
  if (a.getKind() == 0 || b.getKind() == 0 || samePlace(a, b)) {
    makeInvalid();
    return;
  }
  radius = r;
  classifyRadius();
  if (kind == 0) return;
  // The construction below picks the left-hand crossing; a clockwise arc wants the other centre.
  const int s = kind == 4 ? -side : side;
  const GPoint centre(GCircle(a, r), GCircle(b, r), s);
  if (!centre.valid) {
    kind = 1;
    radius = 0;
    {
      makeInvalid();
      return;
    }
  }
  x = centre.x;
  y = centre.y;
}

GCircle::GCircle(const GCircle& src) : Graphic(src) {
  radius = src.radius;
  startAngle = src.startAngle;
  endAngle = src.endAngle;
  if (src.kind == 0) {
    valid = false;
    limited = false;
  }
}

GCircle& GCircle::operator=(const GCircle& src) {
  startAngle = 0;
  endAngle = 0;
  valid = true;
  limited = false;
  if (&src == this) return *this;
  Graphic::operator=(src);
  radius = src.radius;
  startAngle = src.startAngle;
  endAngle = src.endAngle;
  return *this;
}

void GCircle::classifyRadius() {
  valid = true;
  if (radius < 0) {
    kind = 4;
  } else if (radius > 0) {
    kind = 5;
  } else {
    kind = 0;
    valid = false;
  }
}

void GCircle::makeInvalid() {
  x = 0;
  y = 0;
  valid = false;
  limited = false;
}

bool GCircle::onCircle(const kPoint& p, int n) const {
  return equalToDigits(absOf(radius), distanceOf(getCentre(), p), n);
}

bool GCircle::setArc(const kPoint& a, const kPoint& b, int n) {
  if (a == b) {
    limited = true;
    startAngle = 0;
    endAngle = 360;
    kind = 6;
    valid = true;
    return true;
  }
  if (!onCircle(a, n) || !onCircle(b, n)) return false;
  limited = true;
  start = a;
  end = b;
  const GPoint centre(x, y);
  startAngle = GLine(centre, GPoint(a)).getAngle(1);
  endAngle = GLine(centre, GPoint(b)).getAngle(1);
  if (endAngle == 0) endAngle = 360;
  return true;
}

bool GCircle::set(double cx, double cy, double r) {
  *this = GCircle(cx, cy, r);
  return valid;
}

bool GCircle::set(const Graphic& centre, double r) {
  *this = GCircle(centre, r);
  return valid;
}

bool GCircle::set(const Graphic& a, const Graphic& b, double r, int side) {
  *this = GCircle(a, b, r, side);
  return valid;
}
