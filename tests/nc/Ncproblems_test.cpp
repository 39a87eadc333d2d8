// Tests of the problems list: every rule on a program that shows it, where it points, what it says, and
// programs that must give no problem at all.
#include "nc/Ncproblems.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/Ncreader.hpp"
#include "util/Text.hpp"

namespace {

using std::string;
using std::u16string;

struct Expected {
  int line, column;
  std::string_view rule;
  const char* says;  // a piece of the message
};

// The lines read as the window reads a file (delimiters, upper case), then the problems.
std::vector<NcProblem> problemsOf(const std::vector<string>& lines, const ControlProfile& profile = {}) {
  string text;
  for (const string& line : lines) text += line + "\n";
  kNcGeometry geometry;
  geometry.setProfile(profile);
  readNcText(fromUtf8(text), geometry);
  return programProblems(geometry);
}

string describe(const std::vector<NcProblem>& problems) {
  string out;
  for (const NcProblem& p : problems) {
    out += "  " + std::to_string(p.line) + ":" + std::to_string(p.column) + " " + string(p.rule) + " " +
           string(severityName(p.severity)) + ": " + p.message + "\n";
  }
  return out;
}

// Faulty arcs, comment syntax and positions that are no longer numbers are errors; the rest warns.
Severity severityOf(std::string_view rule) {
  for (std::string_view error :
       {"arc-radius-mismatch", "arc-r-too-small", "arc-r-full-circle", "comment-syntax", "coordinate-overflow",
        "macro-syntax", "macro-undefined-label", "subprogram-not-found"}) {
    if (rule == error) return Severity::error;
  }
  return Severity::warning;
}

const string kHuge(400, '9');
const string kLargest(308, '9');  // about 1e308: two of them overflow a sum

TEST(Problems, EachRuleWhereItPointsAndWhatItSays) {
  struct Case {
    const char* what;
    std::vector<string> lines;
    std::vector<Expected> problems;  // in order; nothing-to-draw only where a case lists a line-0 problem
  };
  const Case cases[] = {
      {"arc radius mismatch",
       {"G01X0Y0", "G02X10.Y0I5.01J0"},
       {{2, 0, "arc-radius-mismatch",
         "arc radius 5.0100 at the start and 4.9900 at the end: they differ by 0.0200 (0.3992 % of R); rejected "
         "by "
         "strict, grbl, mach3; accepted by linuxcnc"}}},
      {"mismatch measured in the G18 plane",
       {"G18G01X0Z0", "G02X10.Z0I5.01K0"},
       {{2, 0, "arc-radius-mismatch", "0.0200"}}},
      {"a miss just under the tolerance", {"G01X0Y0", "G02X10.Y0I5.0009J0"}, {}},
      {"an arc without a centre",
       {"G01X0Y0", "G02X10.Y0"},
       {{2, 0, "arc-radius-mismatch", "0.0000 at the start"}}},
      {"R too small",
       {"G01X0Y0", "G02X10.Y0R4."},
       {{2, 0, "arc-r-too-small", "R 4.0000 is too small for the chord: half the chord is 5.0000"}}},
      {"R full circle", {"G01X0Y0", "G03X0Y0R-5."}, {{2, 0, "arc-r-full-circle", "R 5.0000 with the end point"}}},
      {"R within tolerance", {"G01X0Y0", "G02X10.Y0R4.999"}, {}},
      {"comment syntax error stops the reading",
       {"G01X1.", ")G01X5.", "X7."},
       {{2, 0, "comment-syntax", "the reading stops here"}}},
      {"an incremental sum that overflows",
       {"G91G01X" + kLargest, "X" + kLargest, "X1."},
       {{2, 0, "coordinate-overflow", "X inf"}}},
      {"an arc radius that overflows",
       {"G01X0Y0", "G02X10.Y0I" + kLargest},
       {{2, 0, "coordinate-overflow", "arc"}}},
      // Macro programs are evaluated: their problems are evaluation's.
      {"macro variable", {"#1=5.", "G01X#1"}, {}},
      {"expression and variable", {"G01X[#1+2.]Y#2"}, {}},
      {"subprogram call", {"G01X1.", "M98P1000"}, {{2, 0, "subprogram-not-found", "O1000"}}},
      {"jump", {"G01X1.", "M99P20"}, {{2, 1, "unsupported", "the jump M99 with P"}}},
      {"O-word control", {"G01X1.", "O100 SUB"}, {{2, 0, "macro-undefined-label", "O100 is not closed"}}},
      {"macro call", {"G01X1.", "G65P9010A1."}, {{2, 0, "subprogram-not-found", "O9010"}}},
      {"a jump not taken", {"G01X1.", "IF[#1GT0]GOTO10"}, {}},
      {"a jump to nowhere", {"G01X1.", "IF[#1EQ#0]GOTO10"}, {{2, 0, "macro-undefined-label", "N10"}}},
      {"rotation and scaling are one kind", {"G01X1.", "G68G51X0Y0R45."}, {{2, 1, "unsupported", "rotation G68"}}},
      {"polar coordinates", {"G01X1.", "G16"}, {{2, 1, "unsupported", "polar coordinates (G16)"}}},
      {"local shift", {"G01X1.", "G52X10."}, {{2, 1, "unsupported", "local coordinate shift G52"}}},
      {"coordinate setting with axis words", {"G01X1.", "G92X0Y0"}, {}},
      {"a name is no G word", {"G01X1.", "O<G10> CALL"}, {{2, 0, "subprogram-not-found", "<G10>"}}},
      {"unknown G code", {"G01X1.", "G90G10L2P1X0"}, {{2, 4, "unknown-g-code", "G10 belongs to no modal group"}}},
      {"unknown G code with decimals", {"G01X1.", "G38.2Z-10."}, {{2, 1, "unknown-g-code", "G38.2"}}},
      {"a decimal G code is its own code",
       {"G01X1.", "G91.1 G92.1 G33.1 G90.1 G92.2 G92.3", "G28.1 G1.5X2. G68.2"},
       {{3, 1, "unknown-g-code", "G28.1"}, {3, 7, "unknown-g-code", "G1.5"}, {3, 15, "unknown-g-code", "G68.2"}}},
      {"every G code of a line is read",
       {"G00X1.", "G21G01X5.", "G20 G64 G18 G10L2"},
       {{3, 13, "unknown-g-code", "G10"}}},
      {"too large a number", {"G01X" + kHuge}, {{1, 4, "number-overflow", "has 400 digits"}}},
      {"too large a number after a blank", {"G01X  " + kHuge}, {{1, 4, "number-overflow", "has 400 digits"}}},
      {"blanks after the letter",
       {"G01X 10.", "G 00X2.", "G \t10L2"},
       {{3, 1, "unknown-g-code", "G \t10 belongs"}}},
      {"a semicolon comment",
       {"G01X1. ; move (slowly)", "; done :)", "G01X#1 ; (#2"},
       {{3, 5, "unsupported", "macro variables (#)"}}},
      {"compensation without D", {"G41G01X10.Y0"}, {{1, 1, "comp-without-d", "G41 comes into force"}}},
      {"a comment never closed", {"G01X1.", "/* NOTES", "X2."}, {{2, 0, "comment-unclosed", "never closed"}}},
      // A line evaluation cannot read goes on as written: columns count through comments.
      {"a variable without a number",
       {"(A)(B) G01 G43 X# Y1", "/*C*/G01X#1"},
       {{1, 0, "macro-syntax", "word"}, {1, 17, "unsupported", "macro"}}},
      {"blocks the reading rewrites are checked as evaluated",
       {"G01X1.", "G91G28X#1", "G04X2.5G10", "M06X#2"},
       {{3, 8, "unknown-g-code", "G10"}}},
      {"nothing to draw",
       {"G00Z5.", "G01Z-1.#1=2."},
       {{0, 0, "nothing-to-draw", "no X or Y movement"}}},
      {"an empty program", {}, {{0, 0, "nothing-to-draw", "nothing to draw"}}},
  };
  for (const auto& c : cases) {
    std::vector<NcProblem> actual = problemsOf(c.lines);
    const bool wholeProgram = !c.problems.empty() && c.problems[0].line == 0;
    if (!wholeProgram) std::erase_if(actual, [](const NcProblem& p) { return p.rule == "nothing-to-draw"; });
    ASSERT_EQ(actual.size(), c.problems.size()) << c.what << "\n" << describe(actual);
    for (std::size_t n = 0; n < actual.size(); ++n) {
      const Expected& e = c.problems[n];
      const NcProblem& p = actual[n];
      EXPECT_EQ(p.line, e.line) << c.what;
      EXPECT_EQ(p.column, e.column) << c.what;
      EXPECT_EQ(p.rule, e.rule) << c.what;
      EXPECT_EQ(p.severity, severityOf(p.rule)) << c.what;
      EXPECT_NE(p.message.find(e.says), string::npos) << c.what << ": " << p.message;
    }
  }
}

// The profile in use decides; the message names the verdicts of the fixed controls and of the profile's own.
TEST(Problems, ArcMessagesAndRulesFollowTheProfile) {
  struct Case {
    const char* what;
    std::vector<string> lines;
    ControlProfile profile;
    std::string rules;  // the problems' rule ids, by blanks
    std::string says;   // in the first problem's message
  };
  ControlProfile fanuc = defaultProfile(Control::fanuc);
  fanuc.arcTolerance = 0.005;
  const std::vector<string> arc = {"G00X0Y0", "G01X10.Y0F100", "G02X30.Y0I10.0047J0"};
  const Case cases[] = {
      {"strict", arc, {}, "arc-radius-mismatch ", "rejected by strict, mach3; accepted by linuxcnc, grbl"},
      {"linuxcnc runs it", arc, defaultProfile(Control::linuxcnc), "", ""},
      {"mach3", arc, defaultProfile(Control::mach3), "arc-radius-mismatch ", "(0.0940 % of R)"},
      {"fanuc by its tolerance", arc, fanuc, "arc-radius-mismatch ",
       "rejected by strict, fanuc, mach3; accepted by linuxcnc, grbl"},
      {"inch limits",
       {"G20", "G00X0Y0", "G01X10.Y0F100", "G02X30.Y0I10.01J0"},
       defaultProfile(Control::linuxcnc),
       "arc-radius-mismatch ",
       "0.0200 (0.1998 % of R); rejected by strict, linuxcnc, grbl, mach3"},
      {"an R arc short by 0.001",
       {"G01X0Y0", "G02X10.Y0R4.999"},
       defaultProfile(Control::grbl),
       "arc-r-too-small ",
       "0.0010 more (0.0200 % of R); rejected by grbl, mach3; accepted by strict, linuxcnc"},
      {"compensation without D under linuxcnc", {"G41G01X10.Y0"}, defaultProfile(Control::linuxcnc), "", ""},
  };
  for (const auto& c : cases) {
    const std::vector<NcProblem> actual = problemsOf(c.lines, c.profile);
    std::string rules;
    for (const NcProblem& p : actual) rules += std::string(p.rule) + " ";
    EXPECT_EQ(rules, c.rules) << c.what;
    if (actual.empty()) continue;
    EXPECT_NE(actual[0].message.find(c.says), string::npos) << c.what << ": " << actual[0].message;
  }
}

// False alarms make users switch a checker off: what common programs hold must pass in silence.
TEST(Problems, CommonProgramsGiveNone) {
  const std::vector<std::vector<string>> programs = {
      {"%", "O1001", "(T1 D=10. FLAT END MILL)", "G21G90G17G40G49G80", "G54", "G00X0Y0", "G41D05G01X10.Y0",
       "G02X20.Y10.I0J10.", "G03X10.Y20.R10.", "G40G00X0Y0", "M30", "%"},
      {"G20", "G55G00X1.Y1.", "G56", "G57",     "G58",      "G59", "G54.1P2", "G59.1", "G61", "G61.1", "G64P0.01",
       "G93", "G94",          "G95", "G96S200", "G97S1000", "G15", "G50",     "G50.1", "G69", "G67"},
      {"G00X1.Y1.", "G92", "M99"},
      {"D01", "G00X1.Y1.", "G41G01X10.", "G40G00X0Y0", "G42G01X5."},
      {"G00X1.Y1.", "(MULTI", "LINE)", "/* A", "B */", "// D=3", "VAR FEED = 100"},
      {"G81X0Y0Z-5.R2."},
      {"G02X0Y0I5."},
      {"G00X0Y0 (X 10 IN A COMMENT #1)", "G01 X10. Y20. F300", "N10 G01 X5.", "T01 M06"},
      {"G91G01X1.", "G90G00X0Y0", "G28X0Y0", "G04X1.5", "G01X2."},
      {"G90 G94 G91.1 G40 G49 G17", "G0 X0 Y0", "G2 X10 Y0 I5 J0 F100", "T4 M6", "X20 Y0 I10", "G28"},
      {"G20 G64 G18", "G0 X0 Z0", "G2 X1 Z0 I0.5 K0 F10"},
      {"G90.1", "G0 X10 Y0", "G3 X0 Y10 I0 J0 F100", "G91.1 G3 X-10 Y0 I0 J-10"},
      {"G0 X1 ; move (slowly)", "; end :)", "N80 X 45.", "G92.1", "G33.1 Z-5"},
  };
  for (const auto& lines : programs) {
    const std::vector<NcProblem> actual = problemsOf(lines);
    EXPECT_TRUE(actual.empty()) << lines[0] << "\n" << describe(actual);
  }
}

}  // namespace
