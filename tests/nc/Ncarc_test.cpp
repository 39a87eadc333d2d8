// Tests of arc centres, radii and bounding boxes in the three planes.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "nc/Ncgeometry.hpp"
#include "nc/StoreFixture.hpp"

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
      // R: the centre on the chord's normal, at most 180 degrees for R > 0, the longer arc for R < 0.
      {"G17 R", {u"G01X0Y0Z0", u"G02X10.Y10.R10."}, 10, 0, 10, 0, 10, 0, 10, 0, 0},
      {"G17 negative R", {u"G01X0Y0Z0", u"G02X10.Y10.R-10."}, 0, 10, 10, -10, 10, 0, 20, 0, 0},
      {"G17 G03 R", {u"G01X10.Y10.Z0", u"G03X0Y0R10."}, 10, 0, 10, 0, 10, 0, 10, 0, 0},
      {"G18 R turns from Z to X", {u"G18", u"G01X0Z0", u"G02X10.Z10.R10."}, 0, 0, 10, -10, 10, 9999, -9999, 0, 20},
      {"G18 negative R", {u"G18", u"G01X0Z0", u"G02X10.Z10.R-10."}, 10, 0, 10, 0, 10, 9999, -9999, 0, 10},
      {"G19 R", {u"G19", u"G01Y0Z0", u"G03Y10.Z10.R10."}, 0, 0, 10, 9999, -9999, 0, 10, 0, 10},
      {"G19 negative R", {u"G19", u"G01Y0Z0", u"G03Y10.Z10.R-10."}, 0, 10, 10, 9999, -9999, 0, 20, -10, 10},
      {"R with the end at the start", {u"G01X0Y0Z0", u"G02X0Y0R5."}, 0, 0, 5, 0, 0, 0, 0, 0, 0},
      {"R too small for the chord", {u"G01X0Y0Z0", u"G02X10.Y0R4."}, 5, 0, 4, 0, 10, 0, 4, 0, 0},
      {"R short of half the chord within tolerance",
       {u"G01X0Y0Z0", u"G02X10.Y0R4.999"},
       5,
       0,
       4.999,
       0,
       10,
       0,
       4.999,
       0,
       0},
      {"R0 leaves the centre to I, J", {u"G01X10.Y0Z0", u"G02X20.Y0I5.J0R0"}, 15, 0, 5, 10, 20, 0, 5, 0, 0},
      {"R wins over I, J", {u"G01X20.Y0Z0", u"G02X30.Y0I3.J4.R5."}, 25, 0, 5, 20, 30, 0, 5, 0, 0},
      {"R is not modal", {u"G01X30.Y0Z0", u"G02X40.Y0R5.", u"X50.Y0"}, 40, 0, 0, 30, 50, 0, 5, 0, 0},
      {"a cycle's R is no radius", {u"G00X0Y0Z0", u"G81X10.Y0Z-5.R2."}, 0, 0, 0, 0, 10, 0, 0, -5, 0},
  };
  // R centres are computed, so they may be off by a unit in the last place.
  constexpr double kClose = 1e-9;
  for (const auto& c : cases) {
    Program p(c.lines);
    const kNcGeometry& g = p.g;
    EXPECT_NEAR(g.centreXAt(0), c.cx, kClose) << c.what;
    EXPECT_NEAR(g.centreYAt(0), c.cy, kClose) << c.what;
    EXPECT_DOUBLE_EQ(g.radiusAt(0), c.r) << c.what;
    EXPECT_NEAR(g.minX, c.minX, kClose) << c.what;
    EXPECT_NEAR(g.maxX, c.maxX, kClose) << c.what;
    EXPECT_NEAR(g.minY, c.minY, kClose) << c.what;
    EXPECT_NEAR(g.maxY, c.maxY, kClose) << c.what;
    EXPECT_NEAR(g.minZ, c.minZ, kClose) << c.what;
    EXPECT_NEAR(g.maxZ, c.maxZ, kClose) << c.what;
  }
}

// An R arc is recorded as the I/J/K arc with its centre, so the centre's Z and the fit verdict follow.
TEST(ArcRecords, RadiusWordGivesTheOffsetsAndTheVerdict) {
  struct Case {
    const char* what;
    std::initializer_list<u16string_view> lines;
    double i, j, k, centreZ;
    bool faulty;
  };
  const Case cases[] = {
      {"G17", {u"G01X0Y0Z2.", u"G02X10.Y10.R10."}, 10, 0, 0, 2, false},
      {"G17, the block's own I, J, K ignored", {u"G01X0Y0Z2.", u"G02X10.Y10.I1.J1.K7.R10."}, 10, 0, 0, 2, false},
      {"G18", {u"G18G01X0Y5.Z0", u"G02X10.Z10.R10."}, 0, 0, 10, 10, false},
      {"G18 negative R", {u"G18G01X0Y5.Z0", u"G02X10.Z10.R-10."}, 10, 0, 0, 0, false},
      {"G19", {u"G19G01X5.Y0Z0", u"G03Y10.Z10.R10."}, 0, 0, 10, 10, false},
      {"G19 negative R", {u"G19G01X5.Y0Z0", u"G03Y10.Z10.R-10."}, 0, 10, 0, 0, false},
      {"end at the start", {u"G01X0Y0Z0", u"G02X0Y0R5."}, 0, 0, 0, 0, true},
      {"too small", {u"G01X0Y0Z0", u"G02X10.Y0R4."}, 5, 0, 0, 0, true},
      {"within tolerance", {u"G01X0Y0Z0", u"G02X10.Y0R4.999"}, 5, 0, 0, 0, false},
      {"not modal", {u"G01X0Y0Z0", u"G02X10.Y0R5.", u"X20.Y0"}, 0, 0, 0, 0, true},
  };
  for (const auto& c : cases) {
    Program p(c.lines);
    const kNcGeometry& g = p.g;
    EXPECT_NEAR(g.wordIAt(0), c.i, 1e-9) << c.what;
    EXPECT_NEAR(g.wordJAt(0), c.j, 1e-9) << c.what;
    EXPECT_NEAR(g.wordKAt(0), c.k, 1e-9) << c.what;
    EXPECT_NEAR(g.centreZAt(0), c.centreZ, 1e-9) << c.what;
    EXPECT_EQ(g.isFaultyArcAt(0), c.faulty) << c.what;
  }
}

// Each control's arc rule, in mm and in inch: the radius change of an I/J/K arc, the shortfall of an R arc.
TEST(ArcVerdicts, FollowTheControl) {
  struct Case {
    const char* what;
    std::initializer_list<u16string_view> lines;
    Control control;
    std::optional<double> tolerance;
    bool faulty;
  };
  // From X10 to X30 about X20 + I - 10: the radius at the end is 20 - I.
  constexpr u16string_view kStart = u"G01X10.Y0Z0";
  const Case cases[] = {
      {"strict, 0.0094", {kStart, u"G02X30.Y0I10.0047J0"}, Control::strict, {}, true},
      {"linuxcnc, 0.0094", {kStart, u"G02X30.Y0I10.0047J0"}, Control::linuxcnc, {}, false},
      {"grbl, 0.0094 under 0.1 %", {kStart, u"G02X30.Y0I10.0047J0"}, Control::grbl, {}, false},
      {"mach3, 0.0094", {kStart, u"G02X30.Y0I10.0047J0"}, Control::mach3, {}, true},
      {"fanuc without a tolerance is strict", {kStart, u"G02X30.Y0I10.0047J0"}, Control::fanuc, {}, true},
      {"fanuc, tolerance 0.01", {kStart, u"G02X30.Y0I10.0047J0"}, Control::fanuc, 0.01, false},
      {"haas, tolerance 0.005", {kStart, u"G02X30.Y0I10.0047J0"}, Control::haas, 0.005, true},
      {"linuxcnc, 0.04", {kStart, u"G02X30.Y0I10.02J0"}, Control::linuxcnc, {}, true},
      {"grbl, 0.04 over 0.1 %", {kStart, u"G02X30.Y0I10.02J0"}, Control::grbl, {}, true},
      {"linuxcnc, 0.02 mm", {kStart, u"G02X30.Y0I10.01J0"}, Control::linuxcnc, {}, false},
      {"linuxcnc, 0.02 in", {u"G20", kStart, u"G02X30.Y0I10.01J0"}, Control::linuxcnc, {}, true},
      {"linuxcnc, back to mm", {u"G20", u"G21", kStart, u"G02X30.Y0I10.01J0"}, Control::linuxcnc, {}, false},
      {"mach3, 0.001 mm", {kStart, u"G02X30.Y0I10.0005J0"}, Control::mach3, {}, false},
      {"mach3, 0.001 in", {u"G20", kStart, u"G02X30.Y0I10.0005J0"}, Control::mach3, {}, true},
      {"strict, 0.001 in", {u"G20", kStart, u"G02X30.Y0I10.0005J0"}, Control::strict, {}, false},
      {"grbl, 3 mm over 0.5", {u"G01X0Y0Z0", u"G02X100.Y0I51.5J0"}, Control::grbl, {}, true},
      {"linuxcnc, 3 mm over 2.828, under 0.1 %",
       {u"G01X0Y0Z0", u"G02X10000.Y0I5001.5J0"},
       Control::linuxcnc,
       {},
       true},
      {"strict, R short by 0.001", {u"G01X0Y0Z0", u"G02X10.Y0R4.999"}, Control::strict, {}, false},
      {"linuxcnc, R short by 0.001", {u"G01X0Y0Z0", u"G02X10.Y0R4.999"}, Control::linuxcnc, {}, false},
      {"linuxcnc, R short by 0.0015", {u"G01X0Y0Z0", u"G02X10.Y0R4.9985"}, Control::linuxcnc, {}, true},
      {"grbl, R short by 0.001", {u"G01X0Y0Z0", u"G02X10.Y0R4.999"}, Control::grbl, {}, true},
      {"mach3, R short by 0.001", {u"G01X0Y0Z0", u"G02X10.Y0R4.999"}, Control::mach3, {}, true},
      {"grbl, R that fits", {u"G01X0Y0Z0", u"G02X10.Y0R5."}, Control::grbl, {}, false},
      {"fanuc, R short by 0.005 within 0.01", {u"G01X0Y0Z0", u"G02X10.Y0R4.995"}, Control::fanuc, 0.01, false},
      {"linuxcnc, R full circle", {u"G01X0Y0Z0", u"G02X0Y0R5."}, Control::linuxcnc, {}, true},
  };
  for (const auto& c : cases) {
    ControlProfile profile = defaultProfile(c.control);
    profile.decimalInput = DecimalInput::calculator;
    profile.arcTolerance = c.tolerance;
    Program p(profile, c.lines);
    EXPECT_EQ(p.g.isFaultyArcAt(0), c.faulty) << c.what;
  }
}

TEST(ArcRecords, OnlyArcBlocksGetCentres) {
  Program p({u"G02X10.Y0I5.J0", u"X20.Y0I5.", u"G01X30.", u"X40.I3."});
  EXPECT_DOUBLE_EQ(p.g.centreXAt(1), 5);
  EXPECT_DOUBLE_EQ(p.g.centreXAt(2), 15) << "G02 stays in effect; the centre is relative to this block's start";
  EXPECT_DOUBLE_EQ(p.g.radiusAt(2), 5);
  EXPECT_EQ(p.g.centreXAt(3), 0.0);
  EXPECT_EQ(p.g.radiusAt(4), 0.0);
}

}  // namespace
