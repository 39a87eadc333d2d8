// The figures of a program: one pass over the block store, reading each block's end point, motion, feed and
// tool from its columns; only arcs and dwells look further.
#include "nc/Ncfigures.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "nc/Vlist.hpp"
#include "util/Number.hpp"

namespace {

constexpr double kSecondsPerMinute = 60;
constexpr double kFullTurn = 2 * std::numbers::pi;
constexpr int kDwellCode = 4;

struct Point {
  double x, y, z;
  bool operator==(const Point&) const = default;
};

// An arc's plane in coordinates (a, b) ordered so that G03 turns from a towards b, and the axis along its
// normal, which a helix travels.
struct PlaneAxes {
  int a, b, normal;
};
PlaneAxes axesOf(int plane) {
  if (plane == 18) return {2, 0, 1};
  if (plane == 19) return {1, 2, 0};
  return {0, 1, 2};
}

double axis(const Point& p, int which) { return which == 0 ? p.x : (which == 1 ? p.y : p.z); }

class FiguresPass {
 public:
  FiguresPass(const kNcGeometry& store, double rapidRate, std::span<const BlockLength> centreLengths)
      : g(store), rapidPerMinute(rapidRate), centre(centreLengths) {}

  ProgramFigures run() {
    Point from = endOf(0);
    double lastTool = 0;
    for (int k = 1; k < g.blockCount; ++k) {
      const Point to = endOf(k);
      int motion = gNumberAt(g.groupMotion, k);
      // A move to a fixed point under G02/G03 goes straight.
      if ((motion == 2 || motion == 3) && !g.isArcAt(k)) motion = 1;
      // An arc back to its start is a whole circle; a modal arc block without offsets has no radius.
      if (to != from || ((motion == 2 || motion == 3) && g.radiusAt(k) > 0)) move(k, motion, from, to);
      noteDwell(k);
      const double tool = g.wordTAt(k);
      if (tool != lastTool) noteTool(tool);
      lastTool = tool;
      from = to;
    }
    return figures;
  }

 private:
  Point endOf(int k) const { return {g.absX.get(k), g.absY.get(k), g.absZ.get(k)}; }

  void move(int k, int motion, const Point& from, const Point& to) {
    // Once positions overflow, a length is infinite or not a number: such a move counts apart, so that the
    // sums stay finite.
    if (!isFinite(from) || !isFinite(to)) {
      ++figures.overflowedMoves;
      return;
    }
    if (motion == 0) {
      const double length = std::hypot(to.x - from.x, to.y - from.y, to.z - from.z);
      const double seconds = length / rapidPerMinute * kSecondsPerMinute;
      if (!fits(figures.rapidLength, length) || !fits(figures.rapidSeconds, seconds) || !fitsTime(seconds)) {
        ++figures.overflowedMoves;
        return;
      }
      widen(to);
      figures.rapidLength += length;
      figures.rapidSeconds += seconds;
      return;
    }
    const bool arc = motion == 2 || motion == 3;
    // The tool centre's length when compensation moved it, else the programmed move's.
    const BlockLength* known = centreLengthOf(k);
    const double length = known ? known->length
                          : arc ? arcLength(k, motion, from, to)
                                : std::hypot(to.x - from.x, to.y - from.y, to.z - from.z);
    const double feed = g.wordFAt(k);
    const double seconds = feed > 0 ? length / feed * kSecondsPerMinute : 0;
    if (!fits(figures.feedLength, length) || !fits(figures.feedSeconds, seconds) || !fitsTime(seconds)) {
      ++figures.overflowedMoves;
      return;
    }
    widen(to);
    if (arc) widenArc(k, motion, from, to);
    figures.feedLength += length;
    if (feed > 0)
      figures.feedSeconds += seconds;
    else
      ++figures.untimedFeedMoves;
  }

  // The tool centre's length for block k, when known; blocks are asked in increasing order.
  const BlockLength* centreLengthOf(int k) {
    while (nextCentre < centre.size() && centre[nextCentre].block < k) ++nextCentre;
    return nextCentre < centre.size() && centre[nextCentre].block == k ? &centre[nextCentre] : nullptr;
  }

  static bool isFinite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
  // A sum stays finite with `amount` added.
  static bool fits(double sum, double amount) { return std::isfinite(sum + amount); }
  bool fitsTime(double seconds) const { return fits(figures.totalSeconds(), seconds); }

  // The arc about the recorded centre from its start angle to its end angle in the direction of its code; a
  // start on the end point is a whole circle, as it is drawn.
  double arcLength(int k, int motion, const Point& from, const Point& to) const {
    const PlaneAxes axes = axesOf(gNumberAt(g.groupPlane, k));
    const Point centre{g.centreXAt(k), g.centreYAt(k), g.centreZAt(k)};
    const double ca = axis(centre, axes.a), cb = axis(centre, axes.b);
    const double sa = axis(from, axes.a), sb = axis(from, axes.b);
    const double ea = axis(to, axes.a), eb = axis(to, axes.b);
    const double start = std::atan2(sb - cb, sa - ca);
    const double end = std::atan2(eb - cb, ea - ca);
    double sweep = motion == 3 ? end - start : start - end;
    while (sweep <= 0) sweep += kFullTurn;
    if (sa == ea && sb == eb) sweep = kFullTurn;
    return std::hypot(g.radiusAt(k) * sweep, axis(to, axes.normal) - axis(from, axes.normal));
  }

  void widen(const Point& p) {
    if (!figures.moves) {
      figures.minX = figures.maxX = p.x;
      figures.minY = figures.maxY = p.y;
      figures.minZ = figures.maxZ = p.z;
      figures.moves = true;
      return;
    }
    widenAxis(0, p.x, p.x);
    widenAxis(1, p.y, p.y);
    widenAxis(2, p.z, p.z);
  }

  void widenAxis(int which, double low, double high) {
    double* lows[3] = {&figures.minX, &figures.minY, &figures.minZ};
    double* highs[3] = {&figures.maxX, &figures.maxY, &figures.maxZ};
    *lows[which] = std::min(*lows[which], low);
    *highs[which] = std::max(*highs[which], high);
  }

  // The extent of the arc of block k in its plane, not only its end points.
  void widenArc(int k, int motion, const Point& from, const Point& to) {
    const PlaneAxes axes = axesOf(gNumberAt(g.groupPlane, k));
    const Point centre{g.centreXAt(k), g.centreYAt(k), g.centreZAt(k)};
    const ArcBox box = arcBounds(motion, g.radiusAt(k), axis(centre, axes.a), axis(centre, axes.b),
                                 axis(from, axes.a), axis(from, axes.b), axis(to, axes.a), axis(to, axes.b));
    widenAxis(axes.a, box.minA, box.maxA);
    widenAxis(axes.b, box.minB, box.maxB);
  }

  // G04 with P in milliseconds or with X in seconds, as the interpreter reads them.
  void noteDwell(int k) {
    if (gNumberAt(g.groupOneShot, k) != kDwellCode) return;
    const std::u16string code = g.codeTextOf(k);
    const double milliseconds = numberAfter(code, u"P");
    const double seconds = milliseconds != 0 ? milliseconds / 1000 : numberAfter(code, u"X");
    const double dwell = std::max(seconds, 0.0);
    if (!fits(figures.dwellSeconds, dwell) || !fitsTime(dwell)) {
      ++figures.overflowedMoves;
      return;
    }
    figures.dwellSeconds += dwell;
  }

  // T0 (and T.5, which is T0) is the empty spindle, no tool; a number beyond an int is no tool either.
  void noteTool(double tool) {
    if (!(tool >= 1 && tool <= std::numeric_limits<int>::max())) return;
    const int number = static_cast<int>(tool);
    if (std::find(figures.tools.begin(), figures.tools.end(), number) == figures.tools.end())
      figures.tools.push_back(number);
  }

  const kNcGeometry& g;
  const double rapidPerMinute;
  const std::span<const BlockLength> centre;
  std::size_t nextCentre = 0;
  ProgramFigures figures;
};

}  // namespace

ProgramFigures programFigures(const kNcGeometry& store, double rapidRate,
                              std::span<const BlockLength> centreLengths) {
  return FiguresPass(store, rapidRate > 0 ? rapidRate : kDefaultRapidRate, centreLengths).run();
}
