// A circle shape with a signed radius (negative: clockwise), optionally limited to an arc.
#pragma once

#include "graphics/Graphic.hpp"

// Kinds: 0 radius 0 (invalid), 1 construction failed, 4 clockwise, 5 counter-clockwise,
// 6 full circle marked by setArc with coincident end points.
class GCircle : public Graphic {
 public:
  GCircle(double cx, double cy, double r);
  GCircle(const Graphic& centre, double r);
  // The circle of radius r through a and b: side 1 gives the centre for which the arc from a to b,
  // travelled in the radius's direction, spans at most a half circle; side -1 the other one.
  GCircle(const Graphic& a, const Graphic& b, double r, int side);
  GCircle(const GCircle& src);
  GCircle& operator=(const GCircle& src);
  ~GCircle() override = default;

  double getRadius() const { return radius; }
  kPoint getCentre() const { return kPoint(x, y); }
  // p lies on the circle within 10^-n.
  bool onCircle(const kPoint& p, int n) const;
  // Limits the circle to the arc from a to b (angles stored counter-clockwise in [0, 360], end 0 read as
  // 360), or marks it a full circle when a equals b; false when a point is off the circle.
  bool setArc(const kPoint& a, const kPoint& b, int n);
  bool set(double cx, double cy, double r);
  bool set(const Graphic& centre, double r);
  bool set(const Graphic& a, const Graphic& b, double r, int side);

  double radius = 0;
  double startAngle = 0;
  double endAngle = 0;

 private:
  void classifyRadius();
  void makeInvalid();
};
