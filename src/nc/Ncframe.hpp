// The coordinate frame a program's words are written in: work offsets, local shift, coordinate setting, a turn
// in a plane and polar words, against the frame in force at the program's start.
#pragma once

#include <array>

// What a block commands of the coordinate frame, as bits.
enum FrameCommand : unsigned {
  kSetCoordinates = 1,  // G92
  kCancelSetting = 2,   // G92.1, G92.2
  kLocalShift = 4,      // G52
  kTurn = 8,            // G68
  kCancelTurn = 16,     // G69
  kPolarOn = 32,        // G16
  kPolarOff = 64,       // G15
};
// The commands that take the block's X, Y, Z words, so that the block moves nothing.
inline constexpr unsigned kWordTakingCommands = kSetCoordinates | kCancelSetting | kLocalShift | kTurn;

// The coordinate system a program's words are in, against the one in force at the program's start, which is
// the drawing's: the work offset chosen (G54 … G59), the local shift (G52), the coordinate setting (G92), a
// turn in a plane about a centre (G68) and polar words (G16: X the radius, Y the angle in degrees, in the XY
// plane). Words become a drawing point by polar, then the turn, then the shifts.
class kNcFrame {
 public:
  using Point = std::array<double, 3>;
  using Axes = std::array<bool, 3>;

  // Back to the start: no shift, no turn, G54.
  void reset() { *this = kNcFrame(); }
  // Something was shifted or turned since the start: an axis a block does not name stays where it is.
  bool moved() const { return moved_; }
  // Words are turned or polar, so that a drawing point is no word plus a shift.
  bool bent() const { return turned_ || polar_; }
  // What is added to a turned program point to give the drawing's.
  const Point& shift() const { return shift_; }

  // G54 … G59 with the profile's offsets (index 0 … 5); a code outside them changes nothing.
  void selectWork(int code, const std::array<Point, 6>& offsets);
  // G52: the named axes take their local shift; with no axis named, the local shift is cancelled.
  void setLocal(const Axes& named, const Point& values);
  // G92: the drawing point `at` gets the named axes' program coordinates `values`, moving nothing.
  void setCoordinates(const Point& at, const Axes& named, const Point& values);
  // G92.1, G92.2.
  void cancelSetting();
  // G68 in `plane` (17, 18, 19) about `centre` (unturned program coordinates) by `degrees`; G69.
  void turn(int plane, const Point& centre, double degrees);
  void cancelTurn();
  // G16 on, G15 off.
  void setPolar(bool on);

  // A program point (words as written) in drawing coordinates, and back; `polar` off for points that are
  // never polar (arc centres, the machine position's work coordinates).
  Point toDrawing(const Point& words, bool polar = true) const;
  Point toProgram(const Point& drawing, bool polar = true) const;
  // A program vector (arc offsets) in drawing axes.
  Point turnVector(const Point& v) const;

 private:
  void updateShift();
  Point turned(const Point& p, double sine) const;

  Point work_{}, local_{}, setting_{}, shift_{};
  int workIndex_ = 0;
  bool moved_ = false, turned_ = false, polar_ = false;
  int axisA_ = 0, axisB_ = 1;
  Point centre_{};
  double cos_ = 1, sin_ = 0;
};
