// Tests of arc centres, radii and bounding boxes in the three planes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "nc/Ncgeometry.hpp"
#include "util/Utility.hpp"

namespace {

using std::u16string_view;

void expectBox(const ArcBox& box, double minA, double maxA, double minB, double maxB, const std::string& label) {
  EXPECT_DOUBLE_EQ(box.minA, minA) << label;
  EXPECT_DOUBLE_EQ(box.maxA, maxA) << label;
  EXPECT_DOUBLE_EQ(box.minB, minB) << label;
  EXPECT_DOUBLE_EQ(box.maxB, maxB) << label;
}

TEST(ArcBounds, WorkedBoxes) {
  const double r101 = std::sqrt(101.0);
  expectBox(arcBounds(3, 10, 0, 0, 10, 0, 0, 10), 0, 10, 0, 10, "G03 quarter from east to north");
  expectBox(arcBounds(2, 10, 0, 0, -10, 0, 10, 0), -10, 10, 0, 10, "G02 upper half");
  expectBox(arcBounds(2, 10, 10, 0, 0, 0, 0, 0), 0, 20, -10, 10, "G02 full circle");
  expectBox(arcBounds(3, r101, 0, 0, 10, 1, 10, 2), 10, 10, 1, 2, "G03 short way in one quadrant");
  expectBox(arcBounds(2, r101, 0, 0, 10, 1, 10, 2), -r101, r101, -r101, r101, "G02 long way in one quadrant");
  expectBox(arcBounds(2, r101, 0, 0, 10, 2, 10, 1), 10, 10, 1, 2, "G02 short way in one quadrant");
  // Points on an axis through the centre belong to the quadrant that begins there counter-clockwise.
  expectBox(arcBounds(3, 10, 0, 0, 0, -10, 10, 0), 0, 10, -10, 0, "G03 from south to east");
  expectBox(arcBounds(2, 10, 0, 0, 10, 0, 0, -10), 0, 10, -10, 0, "G02 from east to south");
  expectBox(arcBounds(2, 10, 0, 0, 0, 10, 10, 0), 0, 10, 0, 10, "G02 from north to east");
  expectBox(arcBounds(3, 10, 0, 0, -10, 0, 0, -10), -10, 0, -10, 0, "G03 from west to south");
  // A start or end at the centre has no quadrant: the box of the end points.
  expectBox(arcBounds(2, 0, 0, 0, 0, 0, 3, 4), 0, 3, 0, 4, "start at the centre");
  expectBox(arcBounds(3, 5, 0, 0, 5, 0, 0, 0), 0, 5, 0, 0, "end at the centre");
}

// Start and end in different quadrants: the extreme points of every quadrant boundary crossed.
TEST(ArcBounds, QuadrantCrossings) {
  struct Case {
    int dir, from, to;
    const char* crossed;  // E east, N north, W west, S south
  };
  const Case cases[] = {
      {2, 1, 2, "ESW"}, {2, 1, 3, "ES"},  {2, 1, 4, "E"},   {2, 2, 1, "N"},   {2, 2, 3, "NES"}, {2, 2, 4, "NE"},
      {2, 3, 1, "WN"},  {2, 3, 2, "W"},   {2, 3, 4, "WNE"}, {2, 4, 1, "SWN"}, {2, 4, 2, "SW"},  {2, 4, 3, "S"},
      {3, 1, 2, "N"},   {3, 1, 3, "NW"},  {3, 1, 4, "NWS"}, {3, 2, 1, "WSE"}, {3, 2, 3, "W"},   {3, 2, 4, "WS"},
      {3, 3, 1, "SE"},  {3, 3, 2, "SEN"}, {3, 3, 4, "S"},   {3, 4, 1, "E"},   {3, 4, 2, "EN"},  {3, 4, 3, "ENW"},
  };
  // Points at 45 degrees in each quadrant of a centre away from the origin.
  const double ca = 5, cb = -3, r = std::sqrt(2.0);
  const double da[] = {0, 1, -1, -1, 1}, db[] = {0, 1, 1, -1, -1};
  for (const auto& c : cases) {
    const double sa = ca + da[c.from], sb = cb + db[c.from], ea = ca + da[c.to], eb = cb + db[c.to];
    double minA = std::min(sa, ea), maxA = std::max(sa, ea), minB = std::min(sb, eb), maxB = std::max(sb, eb);
    for (const char* p = c.crossed; *p; ++p) {
      if (*p == 'E') maxA = ca + r;
      if (*p == 'N') maxB = cb + r;
      if (*p == 'W') minA = ca - r;
      if (*p == 'S') minB = cb - r;
    }
    const std::string label =
        "G0" + std::to_string(c.dir) + " from " + std::to_string(c.from) + " to " + std::to_string(c.to);
    expectBox(arcBounds(c.dir, r, ca, cb, sa, sb, ea, eb), minA, maxA, minB, maxB, label);
  }
}

struct ArcProgram {
  kNcGeometry g{u"(", u")", u"", u"", u"", u""};
  explicit ArcProgram(std::initializer_list<u16string_view> lines) {
    g.restart();
    g.setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
    for (u16string_view line : lines) g.interpretBlock(line);
  }
};

TEST(ArcRecords, CentreRadiusAndExtentsInEachPlane) {
  struct Case {
    const char* what;
    std::initializer_list<u16string_view> lines;
    double cx, cy, r;
    double minX, maxX, minY, maxY, minZ, maxZ;
  };
  const Case cases[] = {
      {"G17 helix half turn", {u"G01X10.Y0Z-2.", u"G02X-10.Y0I-10.J0Z-4."}, 0, 0, 10, -10, 10, -10, 0, -4, -2},
      {"G17 in G91", {u"G91G02X10.Y0I5.J0"}, 5, 0, 5, 0, 10, 0, 5, 9999, -9999},
      {"G18", {u"G18", u"G01X0Z0", u"G02X10.Z0I5.K0"}, 5, 0, 5, 0, 10, 9999, -9999, 0, 5},
      {"G19", {u"G19", u"G01Y2.Z0", u"G03Y2.Z10.J0K5."}, 0, 2, 5, 9999, -9999, 2, 7, 0, 10},
      {"axis never programmed", {u"G01X0", u"G02X10.I5."}, 5, 0, 5, 0, 10, 9999, -9999, 9999, -9999},
      {"radius word not read", {u"G01X0Y0Z0", u"G02X10.Y0R5."}, 0, 0, 0, 0, 10, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    ArcProgram p(c.lines);
    const kNcGeometry& g = p.g;
    EXPECT_DOUBLE_EQ(g.centreXAt(0), c.cx) << c.what;
    EXPECT_DOUBLE_EQ(g.centreYAt(0), c.cy) << c.what;
    EXPECT_DOUBLE_EQ(g.radiusAt(0), c.r) << c.what;
    EXPECT_DOUBLE_EQ(g.minX, c.minX) << c.what;
    EXPECT_DOUBLE_EQ(g.maxX, c.maxX) << c.what;
    EXPECT_DOUBLE_EQ(g.minY, c.minY) << c.what;
    EXPECT_DOUBLE_EQ(g.maxY, c.maxY) << c.what;
    EXPECT_DOUBLE_EQ(g.minZ, c.minZ) << c.what;
    EXPECT_DOUBLE_EQ(g.maxZ, c.maxZ) << c.what;
  }
}

TEST(ArcRecords, OnlyArcBlocksGetCentres) {
  ArcProgram p({u"G02X10.Y0I5.J0", u"X20.Y0I5.", u"G01X30.", u"X40.I3."});
  EXPECT_DOUBLE_EQ(p.g.centreXAt(1), 5);
  EXPECT_DOUBLE_EQ(p.g.centreXAt(2), 15) << "G02 stays in effect; the centre is relative to this block's start";
  EXPECT_DOUBLE_EQ(p.g.radiusAt(2), 5);
  EXPECT_EQ(p.g.centreXAt(3), 0.0);
  EXPECT_EQ(p.g.radiusAt(4), 0.0);
}

}  // namespace
