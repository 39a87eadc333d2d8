// A straight line shape: an infinite line by direction and intercepts, optionally limited to a segment.
#pragma once

#include "graphics/Graphic.hpp"

// Kinds: 0 undefined (from two coincident points), 1 oblique (x and y are the intercepts),
// 2 vertical (x is the line's x), 3 horizontal (y is the line's y).
class GLine : public Graphic {
 public:
  // Through (px, py) in direction `degrees`.
  GLine(double px, double py, double degrees);
  // From a to b; coincident or undefined points give an invalid line.
  GLine(const Graphic& a, const Graphic& b);
  GLine(const Graphic& p, double degrees);
  GLine(const GLine& src);
  GLine& operator=(const GLine& src);
  ~GLine() override = default;

  // The direction; with mode > 0 a negative angle is given in [0, 360).
  double getAngle(int mode) const;
  double slope() const;
  // p lies on the line within 10^-n (only y is compared; a near-vertical line accepts every point).
  bool contains(const kPoint& p, int n) const;
  // Limits the line to the segment a-b when both lie on it within 10^-7.
  bool setEnds(const kPoint& a, const kPoint& b);
  // Limits the line to a-b without the tolerance test: for a line just built through a and b, whose
  // `contains` can fail for steep lines far from the origin because of rounding.
  void setSegment(const kPoint& a, const kPoint& b);
  bool setThrough(const Graphic& a, const Graphic& b);

  // Degrees in [-180, 180].
  double angle = 0;

 private:
  void makeInvalid();
  void normalizeAngle();
  void directionFromPoints(double x1, double y1, double x2, double y2);
  void setIntercepts(double px, double py);
};
