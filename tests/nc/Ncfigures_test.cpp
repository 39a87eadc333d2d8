// Tests of a program's figures: path lengths by kind of move, arcs and helices in the three planes, the
// estimated time with feeds, rapids and dwells, the extents and the tools.
#include "nc/Ncfigures.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "nc/StoreFixture.hpp"

namespace {

constexpr double pi = std::numbers::pi;

struct Extents {
  double minX, maxX, minY, maxY, minZ, maxZ;
};

TEST(Figures, LengthsTimesExtentsAndTools) {
  struct Case {
    const char* what;
    std::vector<std::u16string> lines;
    double feedLength, rapidLength, seconds;
    std::optional<Extents> extents;
    std::vector<int> tools = {};
    int untimed = 0;
    int overflowed = 0;
  };
  const std::u16string huge(308, u'9');
  const double hugeValue = std::stod(std::string(308, '9'));
  const Case cases[] = {
      // From the initial Z500 down to Z5 is a rapid of 495; 20 at F100 take 12 s; 540 of rapids 3.24 s.
      {"lines",
       {u"G90 G00 X0 Y0 Z5", u"G01 X10 F100", u"G01 Y10", u"G00 Z50"},
       20,
       540,
       12 + 3.24,
       Extents{0, 10, 0, 10, 5, 50}},
      {"half circle over its top",
       {u"G00 X10 Y0 Z500", u"G03 X-10 Y0 I-10 J0 F600"},
       10 * pi,
       10,
       10 * pi / 10 + 0.06,
       Extents{-10, 10, 0, 10, 500, 500}},
      {"whole circle",
       {u"G00 X10 Z500", u"G02 X10 Y0 I-10 J0 F100"},
       20 * pi,
       10,
       20 * pi * 0.6 + 0.06,
       Extents{-10, 10, -10, 10, 500, 500}},
      {"helix",
       {u"G00 X10 Z500", u"G03 X-10 Y0 Z495 I-10 J0 F100"},
       std::hypot(10 * pi, 5),
       10,
       std::hypot(10 * pi, 5) * 0.6 + 0.06,
       Extents{-10, 10, 0, 10, 495, 500}},
      // Seen from +Y, X is up and Z to the right: clockwise from X10 to Z10 is a quarter.
      {"ZX plane clockwise",
       {u"G00 X10 Z0", u"G18 G02 X0 Z10 I-10 K0 F100"},
       5 * pi,
       std::hypot(10, 500),
       5 * pi * 0.6 + std::hypot(10, 500) * 0.006,
       Extents{0, 10, 0, 0, 0, 10}},
      {"ZX plane counter-clockwise",
       {u"G00 X10 Z0", u"G18 G03 X0 Z10 I-10 K0 F100"},
       15 * pi,
       std::hypot(10, 500),
       15 * pi * 0.6 + std::hypot(10, 500) * 0.006,
       Extents{-10, 10, 0, 0, -10, 10}},
      {"YZ plane",
       {u"G00 Y10 Z0", u"G19 G03 Y0 Z10 J-10 K0 F100"},
       5 * pi,
       std::hypot(10, 500),
       5 * pi * 0.6 + std::hypot(10, 500) * 0.006,
       Extents{0, 0, 0, 10, 0, 10}},
      {"dwells in milliseconds and seconds", {u"G04 P1500", u"G04 X2.", u"G4 P500"}, 0, 0, 4, std::nullopt},
      {"tools in the order given", {u"T1 M06", u"G00 Z500", u"T2 M06", u"T1 M06"}, 0, 0, 0, std::nullopt, {1, 2}},
      {"feed moves before any F are not timed",
       {u"G01 X10", u"G01 X20 F0", u"G01 X30 F60"},
       30,
       0,
       10,
       Extents{10, 30, 0, 0, 500, 500},
       {},
       2},
      {"nothing", {}, 0, 0, 0, std::nullopt},
      {"T.5 is T0, a number beyond an int no tool",
       {u"T.5 M06", u"T9999999999", u"T2.7"},
       0,
       0,
       0,
       std::nullopt,
       {2}},
      {"a tool change under G02 goes straight",
       {u"G00 X10 Y0 Z500", u"G02 X-10 Y0 I-10 J0 F600", u"T1 M6"},
       10 * pi + 10,
       10,
       (10 * pi + 10) / 10 + 0.06,
       Extents{-10, 10, -10, 0, 500, 500},
       {1}},
      {"moves past overflowed positions are counted apart",
       {u"G91 G01 F100 X" + huge, u"X" + huge, u"X1"},
       hugeValue,
       0,
       hugeValue / 100 * 60,
       Extents{hugeValue, hugeValue, 0, 0, 500, 500},
       {},
       0,
       1},  // X1 from an infinite X stays there: no move
  };
  for (const Case& c : cases) {
    Program p;
    for (const std::u16string& line : c.lines) p.g.interpretBlock(line);
    const ProgramFigures f = programFigures(p.g);
    EXPECT_NEAR(f.feedLength, c.feedLength, 1e-9) << c.what;
    EXPECT_NEAR(f.rapidLength, c.rapidLength, 1e-9) << c.what;
    EXPECT_NEAR(f.totalSeconds(), c.seconds, 1e-9) << c.what;
    EXPECT_EQ(f.tools, c.tools) << c.what;
    EXPECT_EQ(f.untimedFeedMoves, c.untimed) << c.what;
    EXPECT_EQ(f.overflowedMoves, c.overflowed) << c.what;
    EXPECT_EQ(f.moves, c.extents.has_value()) << c.what;
    if (!c.extents) continue;
    const std::array<double, 6> got{f.minX, f.maxX, f.minY, f.maxY, f.minZ, f.maxZ};
    const std::array<double, 6> expected{c.extents->minX, c.extents->maxX, c.extents->minY,
                                         c.extents->maxY, c.extents->minZ, c.extents->maxZ};
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-9) << c.what << " " << i;
  }
  // The rapid rate is the caller's; none or a negative one is the default.
  const Program rapids{u"G00 X0 Y0 Z0"};
  EXPECT_NEAR(programFigures(rapids.g, 5000).rapidSeconds, 500 / 5000.0 * 60, 1e-9);
  EXPECT_NEAR(programFigures(rapids.g, -1).rapidSeconds, 500 / kDefaultRapidRate * 60, 1e-9);
}

}  // namespace
