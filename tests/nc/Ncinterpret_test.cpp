// Tests of block interpretation: the block store, end points, special blocks, tool diameters and extents.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "nc/Ncgeometry.hpp"
#include "nc/StoreFixture.hpp"
#include "util/Text.hpp"

namespace {

using std::u16string_view;

void expectPoint(const Program& p, int k, Point3 expected, const std::string& label) {
  const Point3 actual = p.at(k);
  EXPECT_DOUBLE_EQ(actual.x, expected.x) << label << " block " << k;
  EXPECT_DOUBLE_EQ(actual.y, expected.y) << label << " block " << k;
  EXPECT_DOUBLE_EQ(actual.z, expected.z) << label << " block " << k;
}

void expectExtents(const kNcGeometry& g, Point3 lo, Point3 hi) {
  EXPECT_DOUBLE_EQ(g.minX, lo.x);
  EXPECT_DOUBLE_EQ(g.minY, lo.y);
  EXPECT_DOUBLE_EQ(g.minZ, lo.z);
  EXPECT_DOUBLE_EQ(g.maxX, hi.x);
  EXPECT_DOUBLE_EQ(g.maxY, hi.y);
  EXPECT_DOUBLE_EQ(g.maxZ, hi.z);
}

constexpr Point3 kNoLow{9999, 9999, 9999};
constexpr Point3 kNoHigh{-9999, -9999, -9999};

TEST(BlockStore, InitialBlockAfterRestart) {
  Program p({u"G91G01X5.Y5.Z-5.(D=3)", u"G41D01", u"G81X1."});
  p.g.restart();
  const kNcGeometry& g = p.g;
  EXPECT_EQ(g.blockCount, 1);
  EXPECT_EQ(g.xAt(0), 0.0);
  EXPECT_EQ(g.yAt(0), 0.0);
  EXPECT_EQ(g.zAt(0), 500.0);
  EXPECT_EQ(g.toolDiameterAt(0), 10.0);
  EXPECT_TRUE(g.isRapidAt(0));
  EXPECT_EQ(g.cutterCompAt(0), 0);
  EXPECT_FALSE(g.inCycleAt(0));
  EXPECT_EQ(g.blockTextAt(0), u"G90G00G17");
  EXPECT_EQ(g.commentStateAt(0), 0);
  expectExtents(g, kNoLow, kNoHigh);
  EXPECT_FALSE(g.seenX || g.seenY || g.seenZ);
  EXPECT_EQ(g.feedCount, 0);
  EXPECT_EQ(gNumberAt(g.groupDistance, 0), 90);
  for (const kNcColumn<double>* column : {&g.absX, &g.centreX, &g.toolDiameter, &g.d}) {
    EXPECT_EQ(column->count(), 1);
  }
  EXPECT_EQ(g.commentStates.count(), 1);
  EXPECT_EQ(g.wordXAt(0), 0.0);
  EXPECT_EQ(g.wordZAt(0), 500.0);
  EXPECT_EQ(g.wordIAt(0), 0.0);
  EXPECT_EQ(g.wordTAt(0), 0.0);
  EXPECT_EQ(g.wordFAt(0), kNoValue) << "block 0 has no feed";
  EXPECT_EQ(g.feedValueText(0), u"");
}

TEST(BlockStore, AccessorsReadTheLatestBlockForZeroAndClamp) {
  Program p({u"G41D01G01X1.", u"G40X2.", u"G42X-0.5G81"});
  const kNcGeometry& g = p.g;
  EXPECT_EQ(g.blockCount, 4);
  EXPECT_EQ(g.xAt(0), -0.5);
  EXPECT_EQ(g.xAt(3), -0.5);
  EXPECT_EQ(g.xAt(7), -0.5);
  EXPECT_EQ(g.xAt(-2), 0.0) << "below 0 reads block 0";
  EXPECT_EQ(g.xTextAt(3), u"X-0.500");
  EXPECT_EQ(g.zTextAt(1), u"Z500.000");
  EXPECT_EQ(g.cutterCompAt(1), 41);
  EXPECT_EQ(g.cutterCompAt(2), 0);
  EXPECT_EQ(g.cutterCompAt(3), 42);
  EXPECT_TRUE(g.isLinearAt(2));
  EXPECT_TRUE(g.inCycleAt(3));
  EXPECT_FALSE(g.inCycleAt(2));
  EXPECT_EQ(g.blockTextAt(2), u"G40X2.");
  EXPECT_EQ(g.wordIAt(2), 0.0);
  // Every column holds one entry per block, and reads clamp.
  for (const kNcColumn<double>* column :
       {&g.absX, &g.absY, &g.absZ, &g.centreX, &g.centreY, &g.arcRadius, &g.toolDiameter, &g.d}) {
    EXPECT_EQ(column->count(), 4);
  }
  EXPECT_EQ(g.commentStates.count(), 4);
  EXPECT_EQ(g.feedCount, 3);
  EXPECT_EQ(g.absX.get(9), -0.5);
  EXPECT_EQ(g.absX.get(-1), 0.0);
  EXPECT_EQ(g.d.get(1), 1.0);
  EXPECT_EQ(gNumberAt(g.groupCutterComp, 99), 42);
  EXPECT_EQ(gNumberAt(g.groupCycle, -3), 80);
}

TEST(Interpreter, WorkedExample) {
  struct Row {
    u16string_view line;
    Point3 end;
    double cx, cy, r, dia;
  };
  const Row rows[] = {
      {u"(T1 D=8.)", {0, 0, 500}, 0, 0, 0, 8},    {u"G90G00X10.Y20.", {10, 20, 500}, 0, 0, 0, 8},
      {u"G01Z-5.F300", {10, 20, -5}, 0, 0, 0, 8}, {u"G02X30.Y20.I10.J0.", {30, 20, -5}, 20, 20, 10, 8},
      {u"G91G01X5.", {35, 20, -5}, 0, 0, 0, 8},   {u"G90X0Y0", {35, 20, -5}, 0, 0, 0, 8},
      {u"X1.", {1, 0, -5}, 0, 0, 0, 8},
  };
  Program p({});
  int k = 0;
  for (const auto& row : rows) {
    EXPECT_EQ(p.g.interpretBlock(row.line), ++k + 1);
    const std::string label = toUtf8(row.line);
    expectPoint(p, k, row.end, label);
    EXPECT_EQ(p.g.centreXAt(k), row.cx) << label;
    EXPECT_EQ(p.g.centreYAt(k), row.cy) << label;
    EXPECT_EQ(p.g.radiusAt(k), row.r) << label;
    EXPECT_EQ(p.g.toolDiameterAt(k), row.dia) << label;
    EXPECT_EQ(p.g.blockTextAt(k), row.line) << "the text is stored unchanged";
  }
  EXPECT_EQ(p.g.commentStateAt(1), 1);
  EXPECT_EQ(p.g.feedValueText(2), u"");
  EXPECT_EQ(p.g.feedValueText(3), u"300");
  EXPECT_EQ(p.g.feedValueText(7), u"300");
  // Y reaches 30 on the arc's top; Z was never programmed above -5 (Z500 of the start is not a Z word).
  expectExtents(p.g, {1, 0, -5}, {35, 30, -5});
}

TEST(Interpreter, SpecialBlocks) {
  struct Case {
    const char* what;
    std::vector<u16string_view> lines;
    std::vector<Point3> ends;  // blocks 1, 2, ...
  };
  const Case cases[] = {
      {"dwell given with X",
       {u"G90G01X10.Y5.Z-1.", u"G04X2.5", u"G01G04X2.", u"G04P500"},
       {{10, 5, -1}, {10, 5, -1}, {10, 5, -1}, {10, 5, -1}}},
      {"dwell in G91", {u"G91G01X1.", u"G4X3.", u"G04X2.Y7."}, {{1, 0, 500}, {1, 0, 500}, {1, 0, 500}}},
      {"dwell time out of range",
       {u"G01X1.", u"G04X99999999999999999999.", u"G04X-99999999999999."},
       {{1, 0, 500}, {1, 0, 500}, {1, 0, 500}}},
      {"G40 is not a dwell", {u"G01X10.", u"G40X5."}, {{10, 0, 500}, {5, 0, 500}}},
      {"reference return",
       {u"G90G01X10.Y5.Z-1.", u"G91G28Z0.", u"X1.", u"G28X50.Y50."},
       {{10, 5, -1}, {10, 5, -1}, {1, 5, -1}, {1, 5, -1}}},
      {"tool change in G90", {u"G90G01X50.Y40.Z-5.", u"T2M06", u"X5."}, {{50, 40, -5}, {0, 0, 500}, {5, 0, 500}}},
      {"tool change in G91", {u"G91G01X5.", u"M6"}, {{5, 0, 500}, {5, 0, 1000}}},
      {"end of subprogram",
       {u"G91G01X5.Y5.", u"X5.", u"M99", u""},
       {{5, 5, 500}, {10, 5, 500}, {10, 5, 500}, {0, 0, 500}}},
      // G92 moves nothing and leaves the distance mode alone; a bare G92 sets nothing.
      {"coordinate setting", {u"G90G00X10.Y10.Z10.", u"G92", u"X5."}, {{10, 10, 10}, {10, 10, 10}, {5, 10, 10}}},
      {"coordinate setting with a word", {u"G90G00X10.Y10.Z10.", u"G92X1."}, {{10, 10, 10}, {10, 10, 10}}},
      // X1 becomes X10 of the drawing: later absolute words are shifted by 9, unnamed axes stay.
      {"a coordinate shift",
       {u"G90G00X10.Y10.Z10.", u"G92X1.", u"X2.", u"G91X1.", u"G90", u"Y3."},
       {{10, 10, 10}, {10, 10, 10}, {11, 10, 10}, {12, 10, 10}, {12, 10, 10}, {12, 3, 10}}},
      // The tool-change point is a machine position; G92.1 drops the shift.
      {"tool change and cancel under a shift",
       {u"G90G00X10.Y10.Z10.", u"G92X0Y0Z0", u"T1M06", u"G92.1", u"X1."},
       {{10, 10, 10}, {10, 10, 10}, {0, 0, 500}, {0, 0, 500}, {1, 0, 500}}},
      // The profile below puts G55 at X100 and G56 at Y50 Z-5 from G54, in whose coordinates the drawing is.
      {"work offsets",
       {u"G90G00X10.Y10.Z10.", u"G55", u"X5.", u"G56Y0", u"G54X1.", u"G91X1.", u"G90", u"G55X20."},
       {{10, 10, 10},
        {10, 10, 10},
        {105, 10, 10},
        {105, 50, 10},
        {1, 50, 10},
        {2, 50, 10},
        {2, 50, 10},
        {120, 50, 10}}},
      // G59 is Z+10 from G54: its Z0 is the drawing's Z10.
      {"the last work offset",
       {u"G90G00X10.Y10.Z10.", u"G59", u"Z0", u"G54Z0"},
       {{10, 10, 10}, {10, 10, 10}, {10, 10, 10}, {10, 10, 0}}},
      // The tool-change point is a machine position under a shift and a turn too.
      {"tool change under a turn",
       {u"G90G01X10.Y0Z0", u"G52X5.", u"G68X0Y0R90.", u"T1M06", u"X0Y0"},
       {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}, {0, 0, 500}, {5, 0, 500}}},
      // G52 moves nothing; without axes it cancels.
      {"local shift",
       {u"G90G00X10.Y10.Z10.", u"G52X5.Y-5.", u"X0Y0", u"Z1.", u"G52", u"X0"},
       {{10, 10, 10}, {10, 10, 10}, {5, -5, 10}, {5, -5, 1}, {5, -5, 1}, {0, -5, 1}}},
      // A quarter turn about the origin: X10 Y0 is X0 Y10, an increment Y5 goes to -X.
      {"turn",
       {u"G90G01X10.Y0Z0", u"G68X0Y0R90.", u"X10.Y0", u"G91X0Y5.", u"G90G69", u"X10.Y0"},
       {{10, 0, 0}, {10, 0, 0}, {0, 10, 0}, {-5, 10, 0}, {-5, 10, 0}, {10, 0, 0}}},
      // Under G68 about X10 Y0 an arc from X10 Y0 to X20 Y0 ends at X10 Y10.
      {"turned arc",
       {u"G90G01X10.Y0Z0", u"G68X10.Y0R90.", u"G02X20.Y0I5.J0"},
       {{10, 0, 0}, {10, 0, 0}, {10, 10, 0}}},
      // X is the radius, Y the angle; a left-out radius is the current one.
      {"polar words",
       {u"G90G01X0Y0Z0", u"G16", u"X10.Y90.", u"Y180.", u"G15", u"X1."},
       {{0, 0, 0}, {0, 0, 0}, {0, 10, 0}, {-10, 0, 0}, {-10, 0, 0}, {1, 0, 0}}},
      // After G92 under a turn, the turned axes start where the tool stands.
      {"coordinate setting under a turn",
       {u"G90G01X10.Y0Z0", u"G68X0Y0R90.", u"G92X0Y0", u"X1."},
       {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 1, 0}}},
      {"return to absolute", {u"G91G01X5.", u"G90X20.", u"Y3."}, {{5, 0, 500}, {5, 0, 500}, {20, 3, 500}}},
      {"return keeps the point absolute",
       {u"G91G01X5.Y2.", u"X5.", u"G90", u"G01"},
       {{5, 2, 500}, {10, 2, 500}, {10, 2, 500}, {10, 2, 500}}},
      {"incremental without a word", {u"G91G01Y5.", u"Z-1."}, {{0, 5, 500}, {0, 5, 499}}},
      {"thread cutting", {u"G33Z-10.F1.5"}, {{0, 0, -10}}},
      {"empty line", {u"G01X3.Y4.(D=6.)", u""}, {{3, 4, 500}, {3, 4, 500}}},
      {"unclosed comment", {u"G01X3.", u"(UNCLOSED", u"X9."}, {{3, 0, 500}, {3, 0, 500}, {3, 0, 500}}},
      {"decimal codes are not rewritten",
       {u"G90G00X10.Y10.Z10.", u"G28.1", u"G92.1", u"G91G01X1.", u"G90.1X5."},
       {{10, 10, 10}, {10, 10, 10}, {10, 10, 10}, {11, 10, 10}, {16, 10, 10}}},
      {"blanks after the letters",
       {u"G 91 G 01 X 5.", u"Y\t2.", u"G 90", u"X 1 5."},
       {{5, 0, 500}, {5, 2, 500}, {5, 2, 500}, {1, 2, 500}}},
      {"reference return after a blank", {u"G01X3.", u"G 28 Z0."}, {{3, 0, 500}, {3, 0, 500}}},
      {"dwell after blanks", {u"G01X3.", u"G 04 X 2."}, {{3, 0, 500}, {3, 0, 500}}},
      {"a semicolon comment",
       {u"G01X3. ; X9. (NOTE", u"; Y7.", u"(A;B) X4. ; Y6"},
       {{3, 0, 500}, {3, 0, 500}, {4, 0, 500}}},
  };
  ControlProfile offsets;
  offsets.workOffsets[0] = {1, 2, 3};
  offsets.workOffsets[1] = {101, 2, 3};
  offsets.workOffsets[2] = {1, 52, -2};
  offsets.workOffsets[5] = {1, 2, 13};
  for (const auto& c : cases) {
    Program p(offsets, {});
    for (u16string_view line : c.lines) p.g.interpretBlock(line);
    ASSERT_EQ(p.g.blockCount, static_cast<int>(c.lines.size()) + 1) << c.what;
    for (std::size_t n = 0; n < c.ends.size(); ++n) expectPoint(p, static_cast<int>(n) + 1, c.ends[n], c.what);
  }
}

// With standard decimal input a literal X … R number without a point is in least increments; the words the
// rewrites add, and F, T, D, G, M never are.
TEST(Interpreter, StandardDecimalInput) {
  struct Case {
    const char* what;
    std::vector<u16string_view> lines;
    std::vector<Point3> ends;  // blocks 1, 2, ...
  };
  const Case cases[] = {
      {"X10 is 0.010 mm, X10. is 10", {u"G01X10Y2.Z-1", u"X10.Y-5"}, {{0.01, 2, -0.001}, {10, -0.005, -0.001}}},
      {"inch: 0.0001 in", {u"G20G01X10Y25.", u"G21X10"}, {{0.001, 25, 500}, {0.01, 25, 500}}},
      {"incremental", {u"G91G01X500", u"X500"}, {{0.5, 0, 500}, {1, 0, 500}}},
      {"the tool-change point is not scaled", {u"G01X10Y10", u"T2M6"}, {{0.01, 0.01, 500}, {0, 0, 500}}},
      {"the return to absolute keeps the point",
       {u"G91G01X5000", u"G90", u"Y1000"},
       {{5, 0, 500}, {5, 0, 500}, {5, 1, 500}}},
  };
  ControlProfile fanuc = defaultProfile(Control::fanuc);
  for (const auto& c : cases) {
    Program p(fanuc, {});
    for (u16string_view line : c.lines) p.g.interpretBlock(line);
    for (std::size_t n = 0; n < c.ends.size(); ++n) expectPoint(p, static_cast<int>(n) + 1, c.ends[n], c.what);
  }
  // An arc's I, J and R, and the words that are never scaled.
  Program arc(fanuc, {u"G01X0Y0F100", u"G02X10000Y0I5000J0", u"G03X0Y0R5000T12D3"});
  EXPECT_DOUBLE_EQ(arc.g.radiusAt(2), 5);
  EXPECT_FALSE(arc.g.isFaultyArcAt(2));
  EXPECT_DOUBLE_EQ(arc.g.radiusAt(3), 5);
  EXPECT_DOUBLE_EQ(arc.g.wordFAt(3), 100);
  EXPECT_DOUBLE_EQ(arc.g.wordTAt(3), 12);
  EXPECT_DOUBLE_EQ(arc.g.wordDAt(3), 3);
  EXPECT_DOUBLE_EQ(Program({u"G01X10"}).at(1).x, 10) << "calculator input, the default";
}

TEST(Interpreter, SpecialBlocksRecordTheirModalState) {
  Program dwell({u"G90G01X10.", u"G04X2.5"});
  EXPECT_EQ(gNumberAt(dwell.g.groupOneShot, 2), 4);
  EXPECT_EQ(dwell.g.wordXAt(2), 10.0) << "the dwell time is not an X word";
  EXPECT_TRUE(dwell.g.isLinearAt(2));

  Program home({u"G91G28Z0."});
  EXPECT_EQ(gNumberAt(home.g.groupOneShot, 1), 28);
  EXPECT_EQ(gNumberAt(home.g.groupDistance, 1), 90) << "G91 of a G28 block is not recorded";
  expectExtents(home.g, kNoLow, kNoHigh);

  Program toolChange({u"T3M06"});
  EXPECT_EQ(toolChange.g.wordTAt(1), 3.0);
  EXPECT_FALSE(toolChange.g.seenX) << "the words the tool change appends do not count as programmed";

  Program subprogramEnd({u"G91G01X5.", u"M99"});
  EXPECT_TRUE(subprogramEnd.g.isRapidAt(2));
  EXPECT_EQ(gNumberAt(subprogramEnd.g.groupDistance, 2), 90);

  Program setting({u"G01X1.", u"G92X0"});
  EXPECT_TRUE(setting.g.isLinearAt(2));
  EXPECT_EQ(gNumberAt(setting.g.groupDistance, 2), 90);

  Program thread({u"G33Z-10.F1.5"});
  EXPECT_EQ(gNumberAt(thread.g.groupMotion, 1), 33);
  EXPECT_EQ(thread.g.radiusAt(1), 0.0);
  EXPECT_EQ(thread.g.centreXAt(1), 0.0);
  EXPECT_EQ(thread.g.feedValueText(1), u"1.5");

  Program empty({u"G01X3.Y4.(D=6.)", u""});
  EXPECT_EQ(empty.g.commentStateAt(2), 0);
  EXPECT_EQ(empty.g.toolDiameterAt(2), 6.0);
  EXPECT_TRUE(empty.g.isLinearAt(2));

  Program unclosed({u"(UNCLOSED"});
  EXPECT_EQ(unclosed.g.commentStateAt(1), 2);
  EXPECT_EQ(unclosed.g.syntaxErrorBlock(), 0);
}

TEST(Interpreter, ExtentsCoverEveryToolAndOnlyProgrammedAxes) {
  Program p({u"G90G01X50.Y40.Z-5.", u"T2M06", u"G00X-3."});
  expectExtents(p.g, {-3, 0, -5}, {50, 40, 500});

  Program noY({u"G01X5.", u"Z-1."});
  EXPECT_EQ(noY.g.maxY, -9999);
  EXPECT_EQ(noY.g.minY, 9999);
  EXPECT_DOUBLE_EQ(noY.g.maxX, 5);
  EXPECT_DOUBLE_EQ(noY.g.minX, 5) << "X0 of the start is not a programmed X";
  EXPECT_DOUBLE_EQ(noY.g.minZ, -1);

  Program onlyHome({u"G28X100.Y100."});
  expectExtents(onlyHome.g, kNoLow, kNoHigh);
}

TEST(Interpreter, ToolDiameterFromComments) {
  struct Step {
    u16string_view line;
    double dia;
  };
  const Step steps[] = {
      {u"G01X1.", 10},     {u"(T1 D=6.)", 6},     {u"G01X2.", 6},     {u"(DIA=10)", 10}, {u"(D=0)", 10},
      {u"(T2 D = 4.)", 4}, {u"(D=3 DIA=12)", 12}, {u"G41D08X1.", 12}, {u"(d=5.)", 5},    {u"//D=7.", 7},
      {u"X2.(D=9.)", 9},   {u"/*DIA=2.5*/", 2.5}, {u"(TOOL 3)", 2.5},
  };
  Program p({});
  for (const auto& s : steps) {
    p.g.interpretBlock(s.line);
    EXPECT_EQ(p.g.toolDiameterAt(0), s.dia) << toUtf8(s.line);
  }
  // Before any comment gives one, the tool is 10 mm in the units in force at the block.
  const Step inch[] = {{u"G20G81X1.Y1.Z-1.R1.", 10 / 25.4},
                       {u"X2.", 10 / 25.4},
                       {u"G21", 10},
                       {u"G20 ; D=0.25", 0.25},
                       {u"G21", 0.25}};
  Program q({});
  for (const auto& s : inch) {
    q.g.interpretBlock(s.line);
    EXPECT_EQ(q.g.toolDiameterAt(0), s.dia) << toUtf8(s.line);
  }
}

TEST(Interpreter, ArcCentresAndMovesToFixedPoints) {
  struct Case {
    const char* what;
    std::vector<u16string_view> lines;
    // The last block's arc: centre X, centre Y, radius, whether it is one and whether it is faulty.
    double cx, cy, r;
    bool arc, faulty;
  };
  const Case cases[] = {
      {"tool change under G02", {u"G02X10.Y0I5.", u"T4M6"}, 0, 0, 0, false, false},
      {"reference return under G03", {u"G03X10.Y0I5.", u"G28"}, 0, 0, 0, false, false},
      {"the motion stays for the next block", {u"G02X10.Y0I5.", u"T4M6", u"X10.Y500.J-5."}, 0, -5, 5, true, true},
      {"absolute centres in G17", {u"G00X15.Y5.", u"G90.1G03X5.Y15.I5.J5."}, 5, 5, 10, true, false},
      {"absolute centres in G18", {u"G00X15.Z5.", u"G90.1G18G03X5.Z15.I5.K5."}, 5, 0, 10, true, false},
      {"absolute centres in G19", {u"G00Y15.Z5.", u"G90.1G19G03Y5.Z15.J5.K5."}, 0, 5, 10, true, false},
      {"offsets by default", {u"G00X15.Y5.", u"G03X5.Y15.I5.J5."}, 20, 10, 7.0710678118654755, true, true},
      {"G91.1 restores offsets", {u"G90.1", u"G00X10.Y0", u"G91.1G03X0Y10.I-10.J0"}, 0, 0, 10, true, false},
      {"G91 is not G91.1", {u"G90.1G00X10.Y0", u"G91", u"G03X-10.Y10.I0J0"}, 0, 0, 10, true, false},
      {"R ignores the centre mode", {u"G90.1G00X10.Y0", u"G03X0Y10.R10."}, 0, 0, 10, true, false},
  };
  for (const auto& c : cases) {
    Program p({});
    for (u16string_view line : c.lines) p.g.interpretBlock(line);
    EXPECT_NEAR(p.g.centreXAt(0), c.cx, 1e-9) << c.what;
    EXPECT_NEAR(p.g.centreYAt(0), c.cy, 1e-9) << c.what;
    EXPECT_NEAR(p.g.radiusAt(0), c.r, 1e-9) << c.what;
    EXPECT_EQ(p.g.isArcAt(0), c.arc) << c.what;
    EXPECT_EQ(p.g.isFaultyArcAt(0), c.faulty) << c.what;
  }
}

// The words that rewrites append start on a line of their own, so a dollar feed word keeps its text.
TEST(Interpreter, RewritesLeaveDollarFeedTextsAlone) {
  Program p({u"G00F$FAST_FEED\n", u"T1M06\n", u"G90F$FAST_FEED\n", u"G91X5.F$FAST_FEED\n", u"G90\n", u"X1.\n"});
  for (int k = 1; k <= 6; ++k) EXPECT_EQ(p.g.feedValueText(k), u"$FAST_FEED") << k;
  expectPoint(p, 2, {0, 0, 500}, "tool change");
  expectPoint(p, 3, {0, 0, 500}, "return to absolute");
  expectPoint(p, 4, {5, 0, 500}, "incremental");
  expectPoint(p, 5, {5, 0, 500}, "return to absolute");
  expectPoint(p, 6, {1, 0, 500}, "absolute");
  EXPECT_EQ(p.g.wordTAt(2), 1.0);
}

TEST(Interpreter, CommentSyntaxErrorIsRecordedNotFatal) {
  Program p({u"G01X1.", u")G01X5.", u"X7."});
  EXPECT_EQ(p.g.blockCount, 4);
  EXPECT_EQ(p.g.commentStateAt(2), -1);
  EXPECT_EQ(p.g.commentStateAt(3), -1) << "an error is never cleared within a reading";
  EXPECT_EQ(p.g.syntaxErrorBlock(), 2);
}

}  // namespace
