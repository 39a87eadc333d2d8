// Tests of cutter radius compensation: the pieces each block gives, the problems with their lines and numbers,
// and where the tool radius comes from.
#include "toolpath/Compensation.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compradius.hpp"
#include "util/Text.hpp"

namespace {

struct Piece {
  int block;
  PieceKind kind;
  CompSide side;
  bool corner;
  double x, y, z;
};

constexpr auto L = PieceKind::line;
constexpr auto R = PieceKind::rapid;
constexpr auto CW = PieceKind::arcCw;
constexpr auto CCW = PieceKind::arcCcw;
constexpr auto left = CompSide::left;
constexpr auto right = CompSide::right;
constexpr auto none = CompSide::none;

struct Reading {
  kNcGeometry geometry;
  CompensatedPath path;
};

void read(const std::vector<std::string>& lines, Control control, Reading& reading) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  readNcText(fromUtf8(text), reading.geometry);
  reading.path = compensate(reading.geometry, defaultProfile(control));
}

TEST(Compensation, PiecesOfEachBlock) {
  struct Case {
    const char* what;
    Control control;
    std::vector<std::string> lines;
    std::vector<Piece> pieces;
  };
  const Case cases[] = {
      {"the slanted entry is pulled back along its offset; convex corners get arcs",
       Control::strict,
       {"G0 X-20 Y-20 Z0", "G41.1 D10", "G1 X0 Y-10 F100", "X0 Y20", "X30 Y20", "G2 X40 Y10 J-10", "G1 X40 Y0",
        "X0 Y0", "G40 X-20 Y-20"},
       {{3, L, left, false, -5, -6.9098300562505255, 0},
        {4, L, left, false, -5, 20, 0},
        {5, CW, left, true, 0, 25, 0},
        {5, L, left, false, 30, 25, 0},
        {6, CW, left, false, 45, 10, 0},
        {7, L, left, false, 45, 0, 0},
        {8, CW, left, true, 40, -5, 0},
        {8, L, left, false, 0, -5, 0},
        {9, L, none, false, -20, -20, 0}}},
      {"moves along Z keep the offset point and follow it when a concave corner pulls it back",
       Control::linuxcnc,
       {"G0 X0 Y-20 Z5", "(DIA=10)", "G41 G1 X0 Y0 F100", "Y40", "Z-1", "X-20 Y40", "X-20 Y60", "G40 X0 Y80"},
       {{3, L, left, false, -5, 0, 5},
        {4, L, left, false, -5, 35, 5},
        {5, L, left, false, -5, 35, -1},
        {6, L, left, false, -20, 35, -1},
        {7, CW, left, true, -25, 40, -1},
        {7, L, left, false, -25, 60, -1},
        {8, L, none, false, 0, 80, -1}}},
      {"a rapid turns a convex corner straight; G42 corner arcs turn counter-clockwise",
       Control::strict,
       {"G0 X0 Y0 Z0", "G42.1 D4", "G0 X30 Y0", "X30 Y30", "G1 X0 Y30 F100", "G40 X-20 Y0"},
       {{3, R, right, false, 30, -2, 0},
        {4, R, right, true, 32, 0, 0},
        {4, R, right, false, 32, 30, 0},
        {5, CCW, right, true, 30, 32, 0},
        {5, L, right, false, 0, 32, 0},
        {6, L, none, false, -20, 0, 0}}},
      {"radius 0 leaves the moves as programmed but on their side",
       Control::strict,
       {"G0 X0 Y0 Z0", "G41 D0 G1 X10 Y0 F100", "X10 Y10", "G40 X0 Y0"},
       {{2, L, left, false, 10, 0, 0}, {3, L, left, false, 10, 10, 0}, {4, L, none, false, 0, 0, 0}}},
      {"without a radius nothing is offset",
       Control::strict,
       {"G0 X0 Y0 Z0", "G41 D1 G1 X10 Y0 F100", "X10 Y10", "G40 X0 Y0"},
       {}},
      {"the intersection model changes side with a new (slanted) entry from the offset point",
       Control::fanuc,
       {"G0 X0 Y-20 Z0", "(D=10)", "G41 G1 X0 Y0 F100", "Y40", "G42 X0 Y80", "G40 X0 Y100"},
       {{3, L, left, false, -5, 0, 0},
        {4, L, left, false, -5, 40, 0},
        {5, L, right, false, 4.9613893835683385, 79.379826327053962, 0},
        {6, L, none, false, 0, 100, 0}}},
      {"a sharp intersection corner after an arc: the arc goes on along its tangent in its own block, a Z move "
       "behind it follows",
       Control::fanuc,
       {"G0 X-10. Y-10. Z0.", "(D=4)", "G41 G1 X0. Y0. F100", "G2 X20. Y0. I10. J0.", "G1 Z-1.",
        "G2 X20. Y14.1421 I7.0711 J7.0711", "G1 X30. Y24.1421", "G40 X40. Y0."},
       {{3, L, left, false, -1.969199104772736, 0.859228019973454, 0},
        {4, CW, left, false, 22, 0, 0},
        {4, L, left, true, 22, -2, 0},
        {5, L, left, false, 22, -2, -1},
        {6, L, left, true, 20, -2.8284271247461903, -1},
        {6, L, left, true, 18.585786437626904, -1.4142135623730951, -1},
        {6, CW, left, false, 18.58577643763707, 15.55630356231255, -1},
        {7, L, left, false, 28.585786437626904, 25.556313562373095, -1},
        {8, L, none, false, 40, 0, -1}}},
      {"the intersection model takes G41 given again as no change",
       Control::fanuc,
       {"G0 X0 Y-20 Z0", "(D=10)", "G41 G1 X0 Y0 F100", "Y40", "G41 X0 Y80", "G40 X0 Y100"},
       {{3, L, left, false, -5, 0, 0},
        {4, L, left, false, -5, 40, 0},
        {5, L, left, false, -5, 80, 0},
        {6, L, none, false, 0, 100, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reading reading;
    read(c.lines, c.control, reading);
    ASSERT_EQ(reading.path.pieces.size(), c.pieces.size());
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      const CompPiece& got = reading.path.pieces[i];
      const Piece& want = c.pieces[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(got.block, want.block);
      EXPECT_EQ(got.kind, want.kind);
      EXPECT_EQ(got.side, want.side);
      EXPECT_EQ(got.corner, want.corner);
      EXPECT_NEAR(got.ex, want.x, 1e-9);
      EXPECT_NEAR(got.ey, want.y, 1e-9);
      EXPECT_NEAR(got.ez, want.z, 1e-9);
    }
  }
}

TEST(Compensation, ProblemsWithTheirLinesAndNumbers) {
  struct Case {
    Control control;
    std::vector<std::string> lines;
    int line;
    std::string_view rule;
    const char* says;
  };
  const Case cases[] = {
      {Control::strict, {"G0 X0 Y0", "G41.1 D10", "G1 X3 Y0 F100"}, 3, "comp-entry-too-short", "3.000 long"},
      {Control::strict,
       {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20", "G3 X26 Y0 I3", "G40 X60"},
       5,
       "comp-arc-too-small",
       "arc radius 3.000 with a tool radius 5.000"},
      {Control::strict,
       {"G0 X-20 Y30", "G41.1 D10", "G1 X0 Y30 F100", "X0 Y0", "X6 Y0", "X6 Y30", "G40 X20 Y40"},
       6,
       "comp-gouge",
       "reverse its direction"},
      {Control::strict,
       {"G0 X-30 Y0", "G41.1 D4", "G1 X0 Y0 F100", "G3 X20 Y0 I10", "G2 X10 Y-10 I-10", "G40 G1 X-30 Y-30"},
       5,
       "comp-same-centre",
       "same centre"},
      {Control::strict, {"G19", "G0 X0 Y0 Z0", "G41.1 D10", "G1 Y20 Z20 F100"}, 3, "comp-plane", "not in G19"},
      {Control::strict,
       {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20", "G18", "G1 X30 Z-5"},
       5,
       "comp-plane",
       "plane changes"},
      {Control::fanuc, {"(D=10)", "G0 X-40 Y0", "G41 G3 X0 Y-20 I20 J-10 F100"}, 3, "comp-entry-arc", "entry"},
      {Control::strict,
       {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20", "G40", "G2 X30 Y10 J10"},
       6,
       "comp-exit-arc",
       "after G40"},
      {Control::linuxcnc, {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "G42.1 D10"}, 4, "comp-already-on", "on"},
      {Control::linuxcnc,
       {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20", "G41.1 D6 X20 Y20", "G40 X40 Y40"},
       5,
       "comp-already-on",
       "on"},
      {Control::strict, {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20", "M30"}, 5, "comp-open-at-end", "end"},
      {Control::strict, {"G0 X-20 Y0", "G41.1 D10", "G1 X0 Y0 F100", "X20"}, 4, "comp-open-at-end", "end"},
      {Control::strict, {"G0 X-20 Y0", "G42 D1", "G1 X0 Y0 F100"}, 2, "comp-radius-unknown", "G42 comes into"},
      // Numbers beyond an int name no offset and no tool.
      {Control::strict,
       {"G0 X-20 Y0", "T9999999999 G42 D99999999999", "G1 X0 Y0 F100"},
       2,
       "comp-radius-unknown",
       "G42"},
      // The 10 mm a tool is drawn with, in inch here, is no radius to compensate by.
      {Control::strict, {"G20", "G0 X-0.1 Y0", "G41 D1", "G1 X0 Y0 F10", "X1"}, 3, "comp-radius-unknown", "G41"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.back());
    Reading reading;
    read(c.lines, c.control, reading);
    bool found = false;
    for (const NcProblem& p : programProblems(reading.geometry, reading.path.findings)) {
      if (!p.rule.starts_with("comp-") || p.rule == "comp-without-d") continue;
      EXPECT_FALSE(found) << p.rule << ": " << p.message;
      found = true;
      EXPECT_EQ(p.line, c.line);
      EXPECT_EQ(p.rule, c.rule);
      EXPECT_NE(p.message.find(c.says), std::string::npos) << p.message;
      // Still on at the end is no refusal: M02 and M30 turn compensation off.
      const bool warns = c.rule == "comp-radius-unknown" || c.rule == "comp-open-at-end";
      EXPECT_EQ(p.severity, warns ? Severity::warning : Severity::error);
    }
    EXPECT_TRUE(found);
  }
}

TEST(Compensation, RadiusFromEachSourceInOrder) {
  const ToolTable table = parseToolTable("T1 P7 D10.0 Z5 ;end mill\nt2 p3 d6\nT4 P4 Z1\nT99999999999 P1e300 D2\n");
  ControlProfile profile;
  profile.toolDiameters[5] = 8;
  struct Case {
    RadiusQuery query;
    std::optional<double> radius;
  };
  const Case cases[] = {
      {{12.0, 1, 1, 20.0}, 6.0},                           // the G41.1 diameter first
      {{std::nullopt, 1, 0, 20.0}, 5.0},                   // D as tool number in the table
      {{std::nullopt, 3, 0, std::nullopt}, 3.0},           // then as pocket
      {{std::nullopt, std::nullopt, 2, 4.0}, 3.0},         // without D, the tool in force
      {{std::nullopt, 5, 0, std::nullopt}, 4.0},           // [tools] D5 = 8
      {{std::nullopt, 0, 1, 20.0}, 0.0},                   // D0 is radius 0
      {{std::nullopt, 9, 9, 20.0}, 10.0},                  // the comment diameter last
      {{std::nullopt, 4, 4, std::nullopt}, std::nullopt},  // a table line without D gives nothing
  };
  for (const Case& c : cases) EXPECT_EQ(toolRadius(c.query, profile, table), c.radius);
}

}  // namespace
