// Arc centre and radius from the I, J, K offsets, and the arc's bounding box for the extents.
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

void kNcGeometry::recordArc(int plane, int k) {
  // Axes 0, 1, 2 are X, Y, Z, and I, J, K are their offsets. The plane picks the arc's axes (a, b).
  const int a = plane == 19 ? 1 : 0;
  const int b = plane == 18 || plane == 19 ? 2 : 1;
  const double start[3] = {absX.at(k - 1), absY.at(k - 1), absZ.at(k - 1)};
  const double end[3] = {absX.at(k), absY.at(k), absZ.at(k)};
  const double offset[3] = {kNcXYZIJK::i.at(k), j.at(k), kNcXYZIJK::k.at(k)};
  const double ca = start[a] + offset[a];
  const double cb = start[b] + offset[b];
  const double r = std::sqrt(offset[a] * offset[a] + offset[b] * offset[b]);
  // The store keeps only the X and Y of the centre; an axis outside the plane records 0.
  centreX.add(a == 0 ? ca : 0);
  centreY.add(a == 1 ? ca : (b == 1 ? cb : 0));
  arcRadius.add(r);

  const ArcBox box = arcBounds(gNumberAt(groupMotion, k), r, ca, cb, start[a], start[b], end[a], end[b]);
  double* lows[3] = {&minX, &minY, &minZ};
  double* highs[3] = {&maxX, &maxY, &maxZ};
  const bool seen[3] = {seenX, seenY, seenZ};
  widen(*lows[a], *highs[a], box.minA, box.maxA, seen[a]);
  widen(*lows[b], *highs[b], box.minB, box.maxB, seen[b]);
}

double kNcGeometry::centreZAt(int i) const {
  const int b = latest(i);
  return b >= 1 ? absZ.get(b - 1) + kNcXYZIJK::k.get(b) : 0;
}

bool kNcGeometry::isFaultyArcAt(int i) const {
  const int b = latest(i);
  const int motion = gNumberAt(groupMotion, b);
  if (b < 1 || (motion != 2 && motion != 3)) return false;
  const int plane = gNumberAt(groupPlane, b);
  // The arc's axes (a, b) as the arc record takes them; the centre from the record where it keeps it.
  const double start[3] = {absX.get(b - 1), absY.get(b - 1), absZ.get(b - 1)};
  const double end[3] = {absX.get(b), absY.get(b), absZ.get(b)};
  const double centre[3] = {centreX.get(b), centreY.get(b), centreZAt(b)};
  const int a = plane == 19 ? 1 : 0;
  const int c = plane == 18 || plane == 19 ? 2 : 1;
  const double r = arcRadius.get(b);
  const double e1 = absOf(absOf(r) - distanceOf(start[a], start[c], centre[a], centre[c]));
  const double e2 = absOf(absOf(r) - distanceOf(end[a], end[c], centre[a], centre[c]));
  return !(e1 < kArcFitTolerance && e2 < kArcFitTolerance);
}
