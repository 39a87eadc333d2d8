// The common base of the drawable shapes: a position, a kind code, validity and optional limits.
#pragma once

#include "graphics/Kpoint.hpp"

class Graphic {
 public:
  virtual ~Graphic() = default;
  virtual double getX() const { return x; }
  virtual double getY() const { return y; }
  // 0 always means undefined; the other codes are the shape's own.
  virtual int getKind() const { return kind; }
  virtual kPoint getPoint() const { return kPoint(x, y); }

  double x = 0;
  double y = 0;
  int kind = 1;
  // The last construction or assignment succeeded.
  bool valid = true;
  // A segment of a line, an arc (or explicit full circle) of a circle.
  bool limited = false;
  kPoint start;
  kPoint end;

 protected:
  Graphic() = default;
  Graphic(const Graphic&) = default;
  Graphic& operator=(const Graphic&) = default;
};

// Both shapes are defined and sit at exactly the same x and y.
bool samePlace(const Graphic& a, const Graphic& b);
