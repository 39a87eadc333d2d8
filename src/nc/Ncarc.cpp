// Arc centre and radius from the I, J, K offsets or from R, and the arc's bounding box for the extents.
#include <algorithm>
#include <cmath>

#include "graphics/Geometry.hpp"
#include "nc/Ncgeometry.hpp"

namespace {

// The quadrant of p seen from the centre; a point on an axis belongs to the quadrant that begins there
// counter-clockwise. 0: no quadrant (p is the centre, or not a number).
int quadrantOf(double ca, double cb, double pa, double pb) {
  switch (const int code = directionOf(ca, cb, pa, pb)) {
    case 0:
      return 1;
    case 90:
      return 2;
    case 180:
      return 3;
    case 270:
      return 4;
    default:
      return code >= 1 && code <= 4 ? code : 0;
  }
}

enum Extreme { kEast, kNorth, kWest, kSouth };

void apply(Extreme extreme, double ca, double cb, double r, ArcBox& box) {
  switch (extreme) {
    case kEast:
      box.maxA = ca + r;
      break;
    case kNorth:
      box.maxB = cb + r;
      break;
    case kWest:
      box.minA = ca - r;
      break;
    case kSouth:
      box.minB = cb - r;
      break;
  }
}

// Counter-clockwise, leaving quadrant q crosses the boundary after it (1|2 north ...); clockwise, the one
// before it (4|1 east ...).
Extreme crossingAfter(int q) { return static_cast<Extreme>(q % 4); }
Extreme crossingBefore(int q) { return static_cast<Extreme>((q - 1) % 4); }

double positiveAngle(double ca, double cb, double pa, double pb) {
  const double a = angleOf(ca, cb, pa, pb);
  return a < 0 ? a + 360 : a;
}

}  // namespace

ArcBox arcBounds(int dir, double r, double ca, double cb, double sa, double sb, double ea, double eb) {
  ArcBox box{maxOf(sa, ea), maxOf(sb, eb), minOf(sa, ea), minOf(sb, eb)};
  const int qs = quadrantOf(ca, cb, sa, sb);
  const int qe = quadrantOf(ca, cb, ea, eb);
  if (qs == 0 || qe == 0) return box;
  if (qs != qe) {
    for (int q = qs; q != qe;) {
      if (dir == 2) {
        apply(crossingBefore(q), ca, cb, r, box);
        q = q == 1 ? 4 : q - 1;
      } else {
        apply(crossingAfter(q), ca, cb, r, box);
        q = q == 4 ? 1 : q + 1;
      }
    }
    return box;
  }
  const double as = positiveAngle(ca, cb, sa, sb);
  const double ae = positiveAngle(ca, cb, ea, eb);
  if ((dir == 2 && as < ae) || (dir == 3 && as > ae) || nearlyEqual(as, ae)) {
    for (Extreme e : {kEast, kNorth, kWest, kSouth}) apply(e, ca, cb, r, box);
  }
  return box;
}

RadiusArc radiusArcCentre(int dir, double r, double sa, double sb, double ea, double eb) {
  const double da = ea - sa, db = eb - sb;
  const double d = std::sqrt(da * da + db * db);
  // A full circle has no chord to place its centre by.
  if (d == 0) return {sa, sb, RadiusFit::fullCircle, 0};
  const double half = d / 2;
  const double ma = (sa + ea) / 2, mb = (sb + eb) / 2;
  const double radius = std::fabs(r);
  if (radius < half - kArcFitTolerance) return {ma, mb, RadiusFit::tooSmall, half};
  if (radius < half) return {ma, mb, RadiusFit::fits, half};
  // The centre lies on the chord's left normal for G03 and a positive R, the arc of at most 180 degrees.
  const double ua = da / d, ub = db / d;
  const double na = -ub, nb = ua;
  const double h = std::sqrt(r * r - half * half);
  double s = dir == 3 ? 1 : -1;
  if (r < 0) s = -s;
  return {ma + s * h * na, mb + s * h * nb, RadiusFit::fits, half};
}

namespace {

// Axes 0, 1, 2 are X, Y, Z, and I, J, K are their offsets. The record takes a plane's axes in the order
// (X, Y), (X, Z), (Y, Z); R arcs turn in the order (X, Y), (Z, X), (Y, Z).
int recordAxisA(int plane) { return plane == 19 ? 1 : 0; }
int recordAxisB(int plane) { return plane == 18 || plane == 19 ? 2 : 1; }

// The fit of an arc in `plane` by its start, end and centre (X, Y, Z, the centre as recorded).
ArcFit fitOf(int plane, const double* start, const double* end, const double* centre, double radius) {
  const int a = recordAxisA(plane);
  const int c = recordAxisB(plane);
  return {radius, distanceOf(start[a], start[c], centre[a], centre[c]),
          distanceOf(end[a], end[c], centre[a], centre[c])};
}

}  // namespace

bool ArcFit::faulty() const {
  const double e1 = absOf(absOf(radius) - startDistance);
  const double e2 = absOf(absOf(radius) - endDistance);
  return !(e1 < kArcFitTolerance && e2 < kArcFitTolerance);
}

namespace {

// A control's limits in mm and in inch: an I/J/K arc's radius change, and the shortfall of an R arc.
struct ArcLimits {
  double absolute;  // the radius change above which the arc is always rejected
  double minimum;   // the radius change up to which it is always accepted
  double relative;  // between the two: rejected above this share of the radius (0: always)
  double shortfall;
};

constexpr ArcLimits kLinuxcncMm{2.828, 0.02828, 0.001, 0.00127};
constexpr ArcLimits kLinuxcncInch{0.2828, 0.002828, 0.001, 0.00005};
constexpr ArcLimits kGrblMm{0.5, 0.005, 0.001, 0};
constexpr ArcLimits kGrblInch{0.5 / 25.4, 0.005 / 25.4, 0.001, 0};
constexpr ArcLimits kMach3Mm{0.002, 0.002, 0, 0};
constexpr ArcLimits kMach3Inch{0.0002, 0.0002, 0, 0};

ArcLimits limitsOf(Control control, bool inch, double tolerance) {
  switch (control) {
    case Control::linuxcnc:
      return inch ? kLinuxcncInch : kLinuxcncMm;
    case Control::grbl:
      return inch ? kGrblInch : kGrblMm;
    case Control::mach3:
      return inch ? kMach3Inch : kMach3Mm;
    default:
      return {tolerance, tolerance, 0, tolerance};
  }
}

}  // namespace

bool ArcFit::faulty(Control control, bool inch, std::optional<double> tolerance) const {
  // strict, and fanuc or haas without a tolerance of the profile's, judge by the strict rule.
  const bool ownRule =
      control != Control::strict && (tolerance || (control != Control::fanuc && control != Control::haas));
  if (!ownRule) return faulty();
  if (!std::isfinite(radius + startDistance + endDistance)) return true;
  const ArcLimits limits = limitsOf(control, inch, tolerance.value_or(kArcFitTolerance));
  if (halfChord >= 0) {
    // An R arc that ends where it starts could be any circle through that point.
    return halfChord == 0 || halfChord - absOf(radius) > limits.shortfall;
  }
  const double change = absOf(startDistance - endDistance);
  if (change > limits.absolute) return true;
  // LinuxCNC measures the share by the larger of the two radii, grbl by the programmed one.
  const double reference = control == Control::linuxcnc ? maxOf(startDistance, endDistance) : absOf(radius);
  return change > limits.minimum && change > limits.relative * reference;
}

std::uint8_t controlsJudging(const ControlProfile& profile) {
  std::uint8_t judging = 1u << static_cast<int>(profile.control);
  for (Control control : kFixedArcRules) judging |= static_cast<std::uint8_t>(1u << static_cast<int>(control));
  return judging;
}

std::uint8_t controlsRejecting(const ArcFit& fit, const ControlProfile& profile, bool inch) {
  std::uint8_t rejecting = 0;
  const std::uint8_t judging = controlsJudging(profile);
  for (int c = 0; c < kControlCount; ++c) {
    if ((judging >> c & 1) != 0 && fit.faulty(static_cast<Control>(c), inch, profile.arcTolerance)) {
      rejecting |= static_cast<std::uint8_t>(1u << c);
    }
  }
  return rejecting;
}

kNcGeometry::ArcRecord kNcGeometry::arcOf(int plane, int motion, int k, const Point3& end, Point3& offsets,
                                          double r, RadiusArc& byRadius, ArcFit& fit) {
  const Point3 start = ends_[static_cast<std::size_t>(k - 1)];
  const double startAxes[3] = {start.x, start.y, start.z};
  const double endAxes[3] = {end.x, end.y, end.z};
  double offset[3] = {offsets.x, offsets.y, offsets.z};
  double radius = 0;
  if (absoluteCentres_ && r == 0) {
    // The plane's two words are the centre's coordinates: the offsets become the start's distances from it.
    const int a = recordAxisA(plane), b = recordAxisB(plane);
    offset[a] -= startAxes[a];
    offset[b] -= startAxes[b];
    offsets = {offset[0], offset[1], offset[2]};
  }
  if (r != 0) {
    const bool swapped = plane == 18;
    const int a = swapped ? 2 : recordAxisA(plane);
    const int b = swapped ? 0 : recordAxisB(plane);
    byRadius = radiusArcCentre(motion, r, startAxes[a], startAxes[b], endAxes[a], endAxes[b]);
    // R wins over the block's own I, J, K: the offsets become the computed centre's, 0 off the plane.
    offset[0] = offset[1] = offset[2] = 0;
    offset[a] = byRadius.ca - startAxes[a];
    offset[b] = byRadius.cb - startAxes[b];
    offsets = {offset[0], offset[1], offset[2]};
    radius = std::fabs(r);
  }
  const int a = recordAxisA(plane), b = recordAxisB(plane);
  if (r == 0) radius = std::sqrt(offset[a] * offset[a] + offset[b] * offset[b]);
  const double ca = startAxes[a] + offset[a];
  const double cb = startAxes[b] + offset[b];
  // The store keeps only the X and Y of the centre; an axis outside the plane records 0.
  const ArcRecord arc{a == 0 ? ca : 0, a == 1 ? ca : (b == 1 ? cb : 0), radius};
  const ArcBox box = arcBounds(motion, radius, ca, cb, startAxes[a], startAxes[b], endAxes[a], endAxes[b]);
  double* lows[3] = {&minX, &minY, &minZ};
  double* highs[3] = {&maxX, &maxY, &maxZ};
  const bool seen[3] = {seenX, seenY, seenZ};
  widen(*lows[a], *highs[a], box.minA, box.maxA, seen[a]);
  widen(*lows[b], *highs[b], box.minB, box.maxB, seen[b]);
  const double centre[3] = {arc.centreX, arc.centreY, start.z + offset[2]};
  fit = fitOf(plane, startAxes, endAxes, centre, radius);
  fit.halfChord = r != 0 ? byRadius.halfChord : -1;
  return arc;
}

double kNcGeometry::centreZAt(int i) const {
  const int b = latest(i);
  return b >= 1 ? endZ(clamped(b - 1)) + offsetKOf(clamped(b)) : 0;
}

ArcFit kNcGeometry::arcFitAt(int i) const {
  // Every list holds blockCount entries: one clamp serves them all.
  const int b = std::clamp(latest(i), 1, std::max(blockCount - 1, 1));
  if (blockCount < 2) return {0, 0, 0};
  const int plane = codeOf(kGroupPlane, b);
  // The arc's axes (a, b) as the arc record takes them; the centre from the record where it keeps it.
  const double start[3] = {endX(b - 1), endY(b - 1), endZ(b - 1)};
  const double end[3] = {endX(b), endY(b), endZ(b)};
  const double centre[3] = {arcCentreX(b), arcCentreY(b), start[2] + offsetKOf(b)};
  return fitOf(plane, start, end, centre, arcRadiusOf(b));
}

bool kNcGeometry::isFaultyArcAt(int i) const {
  const int b = held(i);
  // An arc in another dialect's syntax was not read as written: no verdict on it can be trusted.
  return b >= 1 && faultyArcs_.test(b) && !checker_.withoutArcVerdict(b);
}
