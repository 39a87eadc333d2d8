// Straight line shapes: construction from points or direction, containment and segment limits.
#include "graphics/Gline.hpp"

#include <cmath>
#include <cstdio>

#include "graphics/Geometry.hpp"

namespace {

void reportUndefined() { std::fputs("直線が定義されていません！\n", stderr); }

void wrapAngle(double& a) {
  while (a > 180) a -= 360;
  while (a < -180) a += 360;
}

}  // namespace

GLine::GLine(double px, double py, double degrees) {
  angle = degrees;
  normalizeAngle();
  setIntercepts(px, py);
}

GLine::GLine(const Graphic& a, const Graphic& b) {
  if (a.getKind() == 0 || b.getKind() == 0) {
    makeInvalid();
    return;
  }
  directionFromPoints(a.getX(), a.getY(), b.getX(), b.getY());
  if (kind == 0) {
    makeInvalid();
    return;
  }
  setIntercepts(a.getX(), a.getY());
}

GLine::GLine(const Graphic& p, double degrees) {
  angle = degrees;
  if (p.getKind() == 0) {
    makeInvalid();
    return;
  }
  normalizeAngle();
  setIntercepts(p.getX(), p.getY());
}

GLine::GLine(const GLine& src) : Graphic() {
  if (src.kind == 0) {
    kind = 0;
    {
      makeInvalid();
      return;
    }
  }
  Graphic::operator=(src);
  angle = src.angle;
}

GLine& GLine::operator=(const GLine& src) {
  valid = true;
  limited = false;
  if (&src == this) return *this;
  if (src.kind == 0) {
    valid = false;
    return *this;
  }
  Graphic::operator=(src);
  angle = src.angle;
  return *this;
}

void GLine::makeInvalid() {
  valid = false;
  limited = false;
  if (kind == 0) angle = 0;
}

double GLine::getAngle(int mode) const {
  if (kind == 0) reportUndefined();
  if (mode > 0 && angle < 0) return angle + 360;
  return angle;
}

double GLine::slope() const {
  if (kind == 0) reportUndefined();
  return std::tan(degToRad(angle));
}

bool GLine::contains(const kPoint& p, int n) const {
  const double px = equalToDigits(p.x, 0, 14) ? 0 : p.x;
  const double py = equalToDigits(p.y, 0, 14) ? 0 : p.y;
  double yl = slope() * px + y;
  if (equalToDigits(absOf(getAngle(-1)), 90, n)) yl = py;
  return equalToDigits(py, yl, n);
}

bool GLine::setEnds(const kPoint& a, const kPoint& b) {
  if (!contains(a, 7) || !contains(b, 7)) return false;
  setSegment(a, b);
  return true;
}

void GLine::setSegment(const kPoint& a, const kPoint& b) {
  limited = true;
  start = a;
  end = b;
}

bool GLine::setThrough(const Graphic& a, const Graphic& b) {
  *this = GLine(a, b);
  return valid;
}

void GLine::normalizeAngle() {
  wrapAngle(angle);
  if (angle == 0 || angle == 180 || angle == -180) {
    kind = 3;
  } else if (angle == 90 || angle == -90) {
    kind = 2;
  } else {
    kind = 1;
  }
}

void GLine::directionFromPoints(double x1, double y1, double x2, double y2) {
  if (x1 == x2 && y1 == y2) {
    kind = 0;
    angle = 0;
  } else if (y1 == y2) {
    kind = 3;
    angle = x1 < x2 ? 0 : 180;
  } else if (x1 == x2) {
    kind = 2;
    angle = y1 < y2 ? 90 : -90;
  } else {
    kind = 1;
    const double a = radToDeg(std::atan((y2 - y1) / (x2 - x1)));
    if (x1 < x2) {
      angle = a;
    } else {
      angle = y1 < y2 ? a + 180 : a - 180;
    }
  }
  wrapAngle(angle);
}

void GLine::setIntercepts(double px, double py) {
  if (kind == 2) {
    x = px;
    y = 0;
  } else if (kind == 3) {
    x = 0;
    y = py;
  } else {
    const double t = std::tan(degToRad(angle));
    y = py - t * px;
    x = px - py / t;
  }
}
