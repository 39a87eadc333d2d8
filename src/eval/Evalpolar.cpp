// LinuxCNC's polar words: @ the distance and ^ the angle (degrees, counter-clockwise from +X) of the XY end
// point from the XY origin. A word left out keeps the current point's; under G91 both add to the current
// point's, and each pass of an L repeat steps or turns on from where the last one ended.
#include <cmath>
#include <numbers>

#include "eval/Evaluator.hpp"

namespace {

struct PolarWords {
  double distance = 0, angle = 0;
  bool distanceGiven = false, angleGiven = false;
  int repeats = 1;
  bool incremental = false;
};

PolarWords polarWords(const ParsedLine& line, const std::vector<Value>& values, int distanceMode) {
  PolarWords p;
  p.incremental = distanceMode == 91;
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    const double v = values[i].asNumber();
    switch (line.words[i].letter) {
      case u'@':
        p.distance = v, p.distanceGiven = values[i].isNumber();
        break;
      case u'^':
        p.angle = v, p.angleGiven = values[i].isNumber();
        break;
      case u'L':
        p.repeats = v >= 1 && v < 1e6 ? static_cast<int>(std::lround(v)) : 1;
        break;
      case u'G':
        if (v == 90 || v == 91) p.incremental = v == 91;
        break;
      default:
        break;
    }
  }
  return p;
}

}  // namespace

void Evaluator::emitPolar(const ParsedLine& line, int at, const std::vector<Value>& values) {
  const PolarWords p = polarWords(line, values, machine_->modalCode(3));
  constexpr double kRadians = std::numbers::pi / 180;
  const int file = frame().file;
  for (int pass = 0; pass < p.repeats && !finished_; ++pass) {
    const double x0 = machine_->position(0), y0 = machine_->position(1);
    const double distance0 = std::hypot(x0, y0), angle0 = std::atan2(y0, x0) / kRadians;
    const double distance = p.incremental ? distance0 + p.distance : (p.distanceGiven ? p.distance : distance0);
    const double angle = p.incremental ? angle0 + p.angle : (p.angleGiven ? p.angle : angle0);
    double x = distance * std::cos(angle * kRadians), y = distance * std::sin(angle * kRadians);
    if (p.incremental) x -= x0, y -= y0;
    text_.clear();
    unknownLetters_ = 0;
    // A repeat moves on to the next point: the other words of the line were taken by its first pass.
    if (pass == 0) appendWords(line, values, p.incremental);
    text_ += u'X';
    appendAddressValue(text_, u'X', x, options_.dialect);
    text_ += u'Y';
    appendAddressValue(text_, u'Y', y, options_.dialect);
    if (pass == 0) text_ += line.comment;
    text_ += u'\n';
    handOn(text_, file, at + 1);
    if (!p.incremental) break;
  }
}
