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
  const double sx = absX.at(k - 1), sy = absY.at(k - 1), sz = absZ.at(k - 1);
  const double ex = absX.at(k), ey = absY.at(k), ez = absZ.at(k);
  const double iv = kNcXYZIJK::i.at(k), jv = j.at(k), kv = kNcXYZIJK::k.at(k);
  const int motion = gNumberAt(groupMotion, k);
  if (plane == 18) {
    centreX.add(sx + iv);
    centreY.add(0);
    const double r = std::sqrt(iv * iv + kv * kv);
    arcRadius.add(r);
    const ArcBox box = arcBounds(motion, r, sx + iv, sz + kv, sx, sz, ex, ez);
    widen(minX, maxX, box.minA, box.maxA, seenX);
    widen(minZ, maxZ, box.minB, box.maxB, seenZ);
  } else if (plane == 19) {
    centreX.add(0);
    centreY.add(sy + jv);
    const double r = std::sqrt(jv * jv + kv * kv);
    arcRadius.add(r);
    const ArcBox box = arcBounds(motion, r, sy + jv, sz + kv, sy, sz, ey, ez);
    widen(minY, maxY, box.minA, box.maxA, seenY);
    widen(minZ, maxZ, box.minB, box.maxB, seenZ);
  } else {
    centreX.add(sx + iv);
    centreY.add(sy + jv);
    const double r = std::sqrt(iv * iv + jv * jv);
    arcRadius.add(r);
    const ArcBox box = arcBounds(motion, r, sx + iv, sy + jv, sx, sy, ex, ey);
    widen(minX, maxX, box.minA, box.maxA, seenX);
    widen(minY, maxY, box.minB, box.maxB, seenY);
    widen(minZ, maxZ, ez, ez, seenZ);
  }
}
