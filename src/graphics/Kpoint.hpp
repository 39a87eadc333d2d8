// A point of the plane: world coordinates (program units, y up) or screen coordinates (pixels, y down).
#pragma once

class kPoint {
 public:
  kPoint() = default;
  kPoint(double x, double y) : x(x), y(y) {}
  virtual ~kPoint() = default;
  kPoint(const kPoint&) = default;
  kPoint& operator=(const kPoint&) = default;

  // Exact comparison, no tolerance.
  bool operator==(const kPoint& other) const { return x == other.x && y == other.y; }
  bool operator!=(const kPoint& other) const { return !(*this == other); }
  void set(double newX, double newY) {
    x = newX;
    y = newY;
  }
  // Moves this point and returns a copy of the moved point.
  kPoint offsetBy(double dx, double dy) {
    x += dx;
    y += dy;
    return *this;
  }

  double x = 0;
  double y = 0;
};
