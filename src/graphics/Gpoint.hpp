// A point shape, and the intersections of lines and circles that produce points.
#pragma once

#include "graphics/Graphic.hpp"

class GLine;
class GCircle;

// Always kind 1; an intersection that does not exist leaves the point invalid at (0, 0).
class GPoint : public Graphic {
 public:
  GPoint(double px, double py);
  explicit GPoint(const kPoint& p);
  // Crossing of two lines; parallel or undefined lines give none.
  GPoint(const GLine& l1, const GLine& l2);
  // Side 1: the first crossing met travelling along the line, side 2 (or -1) the second.
  GPoint(const GLine& l, const GCircle& c, int side);
  // Side 1: the crossing left of the directed line from c1's centre to c2's, side 2 (or -1) the right one.
  GPoint(const GCircle& c1, const GCircle& c2, int side);
  GPoint(const GPoint&) = default;
  GPoint& operator=(const GPoint& src);
  ~GPoint() override = default;

  bool setLineCircle(const GLine& l, const GCircle& c, int side);

 private:
  void makeInvalid();
  void intersectLineCircle(const GLine& l, const GCircle& c, int side);
};
