// The coordinate frame: shifts, the turn and polar words, from program points to drawing points and back.
#include "nc/Ncframe.hpp"

#include <cmath>
#include <numbers>

namespace {

constexpr int kFirstWorkCode = 54;
constexpr int kWorkCodes = 6;

// The cosine and sine of an angle in degrees, exact at the quarter turns that programs mostly use.
void cosSinOf(double degrees, double& c, double& s) {
  const double quarters = degrees / 90;
  if (quarters == std::floor(quarters) && std::fabs(quarters) < 1e9) {
    constexpr double kCos[4] = {1, 0, -1, 0};
    constexpr double kSin[4] = {0, 1, 0, -1};
    const int q = static_cast<int>(std::fmod(std::fmod(quarters, 4) + 4, 4));
    c = kCos[q];
    s = kSin[q];
    return;
  }
  const double radians = degrees * std::numbers::pi / 180;
  c = std::cos(radians);
  s = std::sin(radians);
}

bool isZero(const kNcFrame::Point& p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }

}  // namespace

void kNcFrame::updateShift() {
  // Zero terms are left out, so that a G92 shift alone stays exactly what it was set to.
  shift_ = setting_;
  for (int i = 0; i < 3; ++i) {
    if (work_[i] != 0) shift_[i] += work_[i];
    if (local_[i] != 0) shift_[i] += local_[i];
  }
}

void kNcFrame::selectWork(int code, const std::array<Point, 6>& offsets) {
  const int index = code - kFirstWorkCode;
  if (index < 0 || index >= kWorkCodes || index == workIndex_) return;
  workIndex_ = index;
  // The drawing keeps the coordinates of G54, in force at the start.
  for (int i = 0; i < 3; ++i) work_[i] = offsets[index][i] - offsets[0][i];
  moved_ = moved_ || !isZero(work_);
  updateShift();
}

void kNcFrame::setLocal(const Axes& named, const Point& values) {
  if (!named[0] && !named[1] && !named[2]) local_ = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    if (named[i]) local_[i] = values[i];
  }
  moved_ = true;
  updateShift();
}

void kNcFrame::setCoordinates(const Point& at, const Axes& named, const Point& values) {
  if (!bent()) {
    for (int i = 0; i < 3; ++i) {
      if (named[i]) setting_[i] = at[i] - values[i] - work_[i] - local_[i];
    }
  } else {
    Point program = toProgram(at);
    for (int i = 0; i < 3; ++i) {
      if (named[i]) program[i] = values[i];
    }
    // The shift grows by what keeps the named coordinates at the point where the tool stands.
    const Point drawn = toDrawing(program);
    for (int i = 0; i < 3; ++i) setting_[i] += at[i] - drawn[i];
  }
  moved_ = true;
  updateShift();
}

void kNcFrame::cancelSetting() {
  setting_ = {0, 0, 0};
  moved_ = true;
  updateShift();
}

void kNcFrame::turn(int plane, const Point& centre, double degrees) {
  // The plane's axes in the order that turns counter-clockwise seen from its positive normal.
  axisA_ = plane == 19 ? 1 : (plane == 18 ? 2 : 0);
  axisB_ = plane == 19 ? 2 : (plane == 18 ? 0 : 1);
  centre_ = centre;
  cosSinOf(degrees, cos_, sin_);
  turned_ = moved_ = true;
}

void kNcFrame::cancelTurn() {
  turned_ = false;
  moved_ = true;
}

void kNcFrame::setPolar(bool on) {
  polar_ = on;
  moved_ = moved_ || on;
}

kNcFrame::Point kNcFrame::turned(const Point& p, double sine) const {
  Point q = p;
  q[axisA_] = p[axisA_] * cos_ - p[axisB_] * sine;
  q[axisB_] = p[axisA_] * sine + p[axisB_] * cos_;
  return q;
}

kNcFrame::Point kNcFrame::turnVector(const Point& v) const { return turned_ ? turned(v, sin_) : v; }

kNcFrame::Point kNcFrame::toDrawing(const Point& words, bool polar) const {
  Point p = words;
  if (polar && polar_) {
    double c = 1, s = 0;
    cosSinOf(words[1], c, s);
    p[0] = words[0] * c;
    p[1] = words[0] * s;
  }
  if (turned_) {
    const Point fromCentre{p[0] - centre_[0], p[1] - centre_[1], p[2] - centre_[2]};
    p = turned(fromCentre, sin_);
    for (int i = 0; i < 3; ++i) p[i] += centre_[i];
  }
  for (int i = 0; i < 3; ++i) p[i] += shift_[i];
  return p;
}

kNcFrame::Point kNcFrame::toProgram(const Point& drawing, bool polar) const {
  Point p{drawing[0] - shift_[0], drawing[1] - shift_[1], drawing[2] - shift_[2]};
  if (turned_) {
    const Point fromCentre{p[0] - centre_[0], p[1] - centre_[1], p[2] - centre_[2]};
    p = turned(fromCentre, -sin_);
    for (int i = 0; i < 3; ++i) p[i] += centre_[i];
  }
  if (polar && polar_) {
    const double radius = std::hypot(p[0], p[1]);
    const double degrees = radius == 0 ? 0 : std::atan2(p[1], p[0]) * 180 / std::numbers::pi;
    p[0] = radius;
    p[1] = degrees;
  }
  return p;
}
