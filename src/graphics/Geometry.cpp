// Plane geometry helpers.
#include "graphics/Geometry.hpp"

#include <cmath>
#include <utility>

int signOf(double x) {
  if (x > 0) return 1;
  if (x < 0) return -1;
  return 0;
}

double absOf(double x) { return signOf(x) * x; }
double maxOf(double a, double b) { return a >= b ? a : b; }
double minOf(double a, double b) { return a > b ? b : a; }
int maxInt(int a, int b) { return a >= b ? a : b; }
int minInt(int a, int b) { return a <= b ? a : b; }
double radToDeg(double rad) { return rad * 57.29577951308232; }
double degToRad(double deg) { return deg * 0.017453292519943295; }
double squareOf(double x) { return x * x; }
void swapReals(double& a, double& b) { std::swap(a, b); }

void swapPoints(kPoint& a, kPoint& b) {
  kPoint t = a;
  a = b;
  b = t;
}

bool equalToDigits(double a, double b, int n) { return std::fabs(a - b) <= std::pow(10.0, -n); }

bool nearlyEqual(double a, double b) {
  const double scale = std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
  return std::fabs(a - b) <= scale * 2.220446049250313e-16;
}

double angleOf(double x1, double y1, double x2, double y2) {
  if (x1 == x2 && y1 == y2) return 0;
  return radToDeg(std::atan2(y2 - y1, x2 - x1));
}

double angleOf(const kPoint& a, const kPoint& b) { return angleOf(a.x, a.y, b.x, b.y); }

int directionOf(double x1, double y1, double x2, double y2) {
  if (x2 > x1 && y2 > y1) return 1;
  if (x2 < x1 && y2 > y1) return 2;
  if (x2 < x1 && y2 < y1) return 3;
  if (x2 > x1 && y2 < y1) return 4;
  if (x2 == x1 && y2 == y1) return 360;
  if (x2 > x1 && y2 == y1) return 0;
  if (x2 == x1 && y2 > y1) return 90;
  if (x2 < x1 && y2 == y1) return 180;
  if (x2 == x1 && y2 < y1) return 270;
  return -1;
}

double hypotenuse(double a, double b) { return std::sqrt(a * a + b * b); }

double distanceOf(double x1, double y1, double x2, double y2) {
  return hypotenuse(std::fabs(x1 - x2), std::fabs(y1 - y2));
}

double distanceOf(const kPoint& a, const kPoint& b) { return distanceOf(a.x, a.y, b.x, b.y); }
