// The top panel's view of one block (see Blockinfo.hpp).
#include "render/Blockinfo.hpp"

#include <algorithm>
#include <string_view>

#include "nc/Ncgeometry.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"

namespace {

// The arc fields per plane: the centre's two coordinates in the plane, each with its label. The store keeps
// the X and Y of a centre; the Z of a G18 or G19 centre is worked out for display.
struct PlaneFields {
  int plane;
  std::u16string_view firstLabel, secondLabel;
  double (kNcGeometry::*firstAt)(int) const;
  double (kNcGeometry::*secondAt)(int) const;
};
constexpr PlaneFields kPlaneFields[] = {
    {17, u"CX", u"CY", &kNcGeometry::centreXAt, &kNcGeometry::centreYAt},
    {18, u"CX", u"CZ", &kNcGeometry::centreXAt, &kNcGeometry::centreZAt},
    {19, u"CY", u"CZ", &kNcGeometry::centreYAt, &kNcGeometry::centreZAt},
};

const PlaneFields& fieldsOf(int plane) {
  for (const PlaneFields& fields : kPlaneFields)
    if (fields.plane == plane) return fields;
  return kPlaneFields[0];
}

std::u16string gText(int code) { return u"G" + formatInt(code, 2); }

void fillArcFields(const kNcGeometry& geometry, int b, BlockInfo& info) {
  // A block that is no arc keeps the XY labels over its empty fields.
  if (!info.isArc) return;
  const PlaneFields& fields = fieldsOf(gNumberAt(geometry.groupPlane, b));
  info.arcLabels = {std::u16string(fields.firstLabel), std::u16string(fields.secondLabel), u"R"};
  info.arcTexts = {formatReal((geometry.*fields.firstAt)(b), 4), formatReal((geometry.*fields.secondAt)(b), 4),
                   formatReal(geometry.radiusAt(b), 4)};
  info.faultyArc = geometry.isFaultyArcAt(b);
}

}  // namespace

BlockInfo blockInfoAt(const kNcGeometry& geometry, int line) {
  BlockInfo info;
  // Block 0 is asked for only when the program holds nothing else: the accessors read index 0 as the latest.
  const int last = std::max(geometry.blockCount - 1, 0);
  const int b = std::clamp(line, std::min(1, last), last);
  info.block = b;
  const int motion = gNumberAt(geometry.groupMotion, b);
  const bool inCycle = b >= 1 && geometry.inCycleAt(b);
  info.code = inCycle ? gNumberAt(geometry.groupCycle, b) : motion;
  info.codeText = gText(info.code);
  info.distance = gNumberAt(geometry.groupDistance, b);
  info.distanceText = gText(info.distance);
  const int comp = gNumberAt(geometry.groupCutterComp, b);
  info.compensated = comp == 41 || comp == 42;
  if (info.compensated) info.compText = gText(comp) + u" D" + formatInt(truncToInt(geometry.d.get(b)), 2) + u" ";
  info.xText = geometry.xTextAt(b);
  info.yText = geometry.yTextAt(b);
  info.zText = geometry.zTextAt(b);
  info.isArc = (motion == 2 || motion == 3) && (b == 0 || geometry.isArcAt(b));
  fillArcFields(geometry, b, info);
  return info;
}
