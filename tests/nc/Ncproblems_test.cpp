// Tests of the problems list: every rule on a program that shows it, where it points, what it says, and
// programs that must give no problem at all.
#include "nc/Ncproblems.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/Nclint.hpp"
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

// The lines read as the window reads a file (delimiters, upper case) under `profile`, then the problems.
ProblemReport reportOf(const std::vector<string>& lines, const ControlProfile& profile = {}) {
  string text;
  for (const string& line : lines) text += line + "\n";
  kNcGeometry geometry;
  geometry.setProfile(profile);
  readNcText(fromUtf8(text), geometry);
  return checkedProblems(geometry);
}

std::vector<NcProblem> problemsOf(const std::vector<string>& lines, const ControlProfile& profile = {}) {
  return reportOf(lines, profile).problems;
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
        "macro-syntax", "macro-undefined-label", "macro-alarm", "feed-undefined", "cycle-without-r"}) {
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
      {"R within tolerance", {"G01X0Y0F100", "G02X10.Y0R4.999"}, {}},
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
      {"scaling is not followed, the turn beside it is",
       {"G01X1.", "G68G51X0Y0R45."},
       {{2, 4, "unsupported", "scaling G51"}}},
      {"shifts, turns and polar words are followed",
       {"G01X1.", "G16", "G15", "G52X10.", "G68X0Y0R45.", "G69", "G52"},
       {}},
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
      {"a semicolon comment", {"G01X1. ; move (slowly)", "; done :)", "G01X#1 ; (#2"}, {}},
      {"compensation without D", {"G41G01X10.Y0"}, {{1, 1, "comp-without-d", "G41 comes into force"}}},
      {"a comment never closed", {"G01X1.", "/* NOTES", "X2."}, {{2, 0, "comment-unclosed", "never closed"}}},
      // A line evaluation cannot read goes on as written: columns count through comments.
      {"a variable without a number",
       {"(A)(B) G01 G43 X# Y1", "/*C*/G01X#1"},
       {{1, 0, "macro-syntax", "word"}, {1, 17, "unsupported", "macro"}}},
      {"blocks the reading rewrites are checked as evaluated",
       {"G01X1.", "G91G28X#1", "G04X2.5G10", "M06X#2"},
       {{3, 8, "unknown-g-code", "G10"}}},
      {"nothing to draw", {"G00Z5.", "G01Z-1.#1=2."}, {{0, 0, "nothing-to-draw", "no X or Y movement"}}},
      {"an empty program", {}, {{0, 0, "nothing-to-draw", "nothing to draw"}}},
      {"a feed move before any F",
       {"G00X0Y0", "G01X10."},
       {{2, 0, "feed-undefined", "G01 moves before any feed rate has been given: give F"}}},
      {"F0, told once until the feed changes",
       {"G01X1.", "X2.", "F0", "X3.", "X4.", "F100", "X5."},
       {{1, 0, "feed-undefined", "G01 moves before any feed"}, {4, 0, "feed-undefined", "G01 moves at F0"}}},
      {"G53 positions at rapid traverse whatever motion is in force",
       {"G00X0Y0", "G01", "G53X10.Y10.", "G01X5."},
       {{4, 0, "feed-undefined", "G01 moves before any feed"}}},
      {"a feed from machine data may be set", {"G01X1.F#500"}, {{1, 0, "macro-unknown-value", "#500"}}},
      {"a cycle block without R, told once",
       {"G00X0Y0Z5.", "G81X1.Y1.Z-2.F100", "X2."},
       {{2, 0, "cycle-without-r", "the drilling cycle G81 has no R plane"}}},
      {"R holds through the cycle changes until G80",
       {"G81X1.Y1.Z-2.R1.F100", "G83X2.Q1.", "G80", "G00X0Y0", "G82X3.Z-2.P100"},
       {{5, 0, "cycle-without-r", "G82"}}},
      {"an R plane from machine data",
       {"G00X0Y0", "G81X1.Y1.Z-2.R#500F100"},
       {{2, 0, "macro-unknown-value", "#500"}}},
      {"after a subprogram call F and R may be set",
       {"M98P100", "G81X1.Y1.Z-2.", "G01X5."},
       {{1, 0, "subprogram-not-found", "O100"}}},
      {"an offset outside the G17 plane",
       {"G01X0Y0F100", "G02X10.Y0I5.K1."},
       {{2, 0, "arc-offset-outside-plane", "K1.0000 lies outside the G17 plane of this arc"}}},
      {"an offset outside the G18 plane",
       {"G18G01X0Z0F100", "G02X10.Z0I5.J2."},
       {{2, 0, "arc-offset-outside-plane", "J2.0000 lies outside the G18 plane"}}},
      {"R and I/J/K in one arc",
       {"G01X0Y0F100", "G02X10.Y0R5.I5."},
       {{2, 0, "arc-mixed-r-ijk", "R 5.0000 and I/J/K in one arc block: R wins"}}},
      {"a nested comment",
       {"G00X1.Y1. (TOOL (6MM) FLAT)"},
       {{1, 17, "comment-nested", "\"(\" inside a ( ) comment"}}},
      {"Siemens CR= gives no arc verdict",
       {"G01X0Y0F100", "G02X10.Y0CR=5.", "G03X0Y0CR=5."},
       {{2, 10, "unsupported-dialect",
         "CR= is Siemens syntax, which is not read: the 2 blocks in another dialect"}}},
      {"Heidenhain programs",
       {"0 BEGIN PGM 1 MM", "1 L X+10 Y+5 R0 FMAX"},
       {{1, 3, "unsupported-dialect", "BEGIN PGM is Heidenhain syntax"}}},
      {"Siemens parentheses are no comments",
       {"PROC AL001", "IF((A<0) OR (B>89))", "G00X1.Y1."},
       {{1, 1, "unsupported-dialect", "PROC is Siemens"}}},
      {"a Siemens main program: its parentheses are not judged as comments",
       {"%MPF1", ") @430 K1 K1"},
       {{1, 1, "unsupported-dialect", "%MPF is Siemens syntax"}, {2, 0, "comment-syntax", "the reading stops"}}},
      {"a lathe cycle: X is a diameter, the arcs are not judged",
       {"G18G01X.48Z-.85F.01", "G71P10Q20U.01W.005D.05", "G02X.58Z-.9R.05"},
       {{2, 1, "unknown-g-code", "G71"}, {2, 1, "unsupported-dialect", "the arc after it gets no arc verdict"}}},
      {"a subprogram file run on its own warns of the alarm it raises without arguments",
       {"O9001", "IF[#1NE#0]GOTO9", "#3000=1(NO ARGUMENT)", "N9G01X#1", "M99"},
       {{3, 0, "macro-alarm", "ran on its own"}}},
  };
  for (const auto& c : cases) {
    std::vector<NcProblem> actual = problemsOf(c.lines);
    const bool wholeProgram = !c.problems.empty() && c.problems[0].line == 0;
    if (!wholeProgram) std::erase_if(actual, [](const NcProblem& p) { return p.rule == "nothing-to-draw"; });
    // Most cases move without F: feed-undefined counts where a case is about it.
    const bool aboutFeed = std::any_of(c.problems.begin(), c.problems.end(),
                                       [](const Expected& e) { return e.rule == "feed-undefined"; });
    if (!aboutFeed) std::erase_if(actual, [](const NcProblem& p) { return p.rule == "feed-undefined"; });
    ASSERT_EQ(actual.size(), c.problems.size()) << c.what << "\n" << describe(actual);
    for (std::size_t n = 0; n < actual.size(); ++n) {
      const Expected& e = c.problems[n];
      const NcProblem& p = actual[n];
      EXPECT_EQ(p.line, e.line) << c.what;
      EXPECT_EQ(p.column, e.column) << c.what;
      EXPECT_EQ(p.rule, e.rule) << c.what;
      // A fault found by a run that cannot be the machine's only warns.
      const bool otherDialect = std::any_of(actual.begin(), actual.end(), [](const NcProblem& q) {
        return q.rule == "unsupported-dialect" && q.message.find("Siemens") != string::npos;
      });
      const bool uncertain =
          p.message.find("ran on its own") != string::npos || (otherDialect && p.rule == "comment-syntax");
      EXPECT_EQ(p.severity, uncertain ? Severity::warning : severityOf(p.rule)) << c.what;
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
  const std::vector<string> arc = {"G00X0Y0", "G01X10.Y0F100", "G02X30.Y0I10.0047J0", "M30"};
  const Case cases[] = {
      {"strict", arc, {}, "arc-radius-mismatch ", "rejected by strict, mach3; accepted by linuxcnc, grbl"},
      {"linuxcnc runs it", arc, defaultProfile(Control::linuxcnc), "", ""},
      {"mach3", arc, defaultProfile(Control::mach3), "arc-radius-mismatch ", "(0.0940 % of R)"},
      {"fanuc by its tolerance", arc, fanuc, "arc-radius-mismatch ",
       "rejected by strict, fanuc, mach3; accepted by linuxcnc, grbl"},
      {"inch limits",
       {"G20", "G00X0Y0", "G01X10.Y0F100", "G02X30.Y0I10.01J0", "M30"},
       defaultProfile(Control::linuxcnc),
       "arc-radius-mismatch ",
       "0.0200 (0.1998 % of R); rejected by strict, linuxcnc, grbl, mach3"},
      {"an R arc short by 0.001",
       {"G01X0Y0F100", "G02X10.Y0R4.999"},
       defaultProfile(Control::grbl),
       "arc-r-too-small ",
       "0.0010 more (0.0200 % of R); rejected by grbl, mach3; accepted by strict, linuxcnc"},
      {"compensation without D under linuxcnc",
       {"G41G01X10.Y0F100", "M30"},
       defaultProfile(Control::linuxcnc),
       "",
       ""},
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
      {"%", "O1001", "(T1 D=10. FLAT END MILL)", "G21G90G17G40G49G80", "G54", "G00X0Y0", "G41D05G01X10.Y0F300",
       "G02X20.Y10.I0J10.", "G03X10.Y20.R10.", "G40G00X0Y0", "M30", "%"},
      {"G20", "G55G00X1.Y1.", "G56", "G57",     "G58",      "G59", "G54.1P2", "G59.1", "G61", "G61.1", "G64P0.01",
       "G93", "G94",          "G95", "G96S200", "G97S1000", "G15", "G50",     "G50.1", "G69", "G67"},
      {"G00X1.Y1.", "G92", "M99"},
      {"D01", "G00X1.Y1.", "G41G01X10.F300", "G40G00X0Y0", "G42G01X5."},
      {"G00X1.Y1.", "(MULTI", "LINE)", "/* A", "B */", "// D=3", "VAR FEED = 100"},
      {"G81X0Y0Z-5.R2.F100."},
      {"G02X0Y0I5.F200."},
      {"G01X0Y0F100", "G02X10.Y0I5.J0K0", "G03X0Y0I-5.K0.", "G80", "M30"},
      {"G01X1.F500", "(A)(B)", "G01X2."},
      {"G00X1.Y1.", "G01X2.F100 ; SPINDLE=ON"},
      {"G00X0Y0 (X 10 IN A COMMENT #1)", "G01 X10. Y20. F300", "N10 G01 X5.", "T01 M06"},
      {"G91G01X1.F100", "G90G00X0Y0", "G28X0Y0", "G04X1.5", "G01X2."},
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

namespace {

struct Seen {
  std::vector<Expected> problems;  // in order
  int suppressed;
};

string rulesOf(const ProblemReport& report) {
  return describe(report.problems) + "  suppressed: " + describe(report.suppressed);
}

// The severity a profile's `[rules]` gives a rule, or the rule's own.
Severity severityUnder(const ControlProfile& profile, std::string_view rule) {
  const auto set = profile.rules.find(rule);
  if (set == profile.rules.end() || set->second == RuleSetting::byDefault) return severityOf(rule);
  return set->second == RuleSetting::error ? Severity::error : Severity::warning;
}

void expectReport(const char* what, const ProblemReport& report, const Seen& seen,
                  const ControlProfile& profile = {}) {
  ASSERT_EQ(report.problems.size(), seen.problems.size()) << what << "\n" << rulesOf(report);
  for (std::size_t n = 0; n < seen.problems.size(); ++n) {
    const Expected& e = seen.problems[n];
    const NcProblem& p = report.problems[n];
    EXPECT_EQ(p.line, e.line) << what;
    EXPECT_EQ(p.column, e.column) << what;
    EXPECT_EQ(p.rule, e.rule) << what;
    EXPECT_EQ(p.severity, severityUnder(profile, p.rule)) << what;
    EXPECT_NE(p.message.find(e.says), string::npos) << what << ": " << p.message;
  }
  EXPECT_EQ(static_cast<int>(report.suppressed.size()), seen.suppressed) << what << "\n" << rulesOf(report);
}

// `velmora:` comments silence the rules they name where they say, and a reviewer still sees them counted.
TEST(Problems, CommentsSilenceRules) {
  struct Case {
    const char* what;
    std::vector<string> lines;
    Seen seen;
  };
  const Case cases[] = {
      {"on its block", {"G00X0Y0", "G01X10. (velmora: disable=feed-undefined)"}, {{}, 1}},
      {"as a // comment", {"G00X0Y0", "G01X10. // VELMORA: DISABLE=FEED-UNDEFINED"}, {{}, 1}},
      {"on the next line", {"G00X0Y0", "/* velmora: disable-next-line=feed-undefined */", "G01X10."}, {{}, 1}},
      {"on the next line only",
       {"G00X0Y0", "(velmora: disable-next-line=feed-undefined)", "G00X1.", "G01X10."},
       {{{4, 0, "feed-undefined", "G01"}}, 0}},
      {"over a range",
       {"G01X0Y0F100", "(velmora: disable-begin=arc-radius-mismatch)", "G02X10.Y0I5.01J0",
        "(velmora: disable-end)", "G02X0Y0I-5.01J0"},
       {{{5, 0, "arc-radius-mismatch", "differ"}}, 1}},
      {"before the first motion: the whole file",
       {"(velmora: disable=feed-undefined, arc-radius-mismatch)", "G00X0Y0", "G01X10.", "G02X20.Y0I5.01"},
       {{}, 2}},
      {"after the first motion: its block only",
       {"G00X1.Y1.", "(velmora: disable=feed-undefined)", "G01X10."},
       {{{3, 0, "feed-undefined", "G01"}}, 0}},
      {"a problem of the whole program", {"(velmora: disable=nothing-to-draw)", "G00Z5."}, {{}, 1}},
      {"an unknown rule",
       {"(velmora: disable=feed-undefned)", "G00X1.Y1."},
       {{{1, 0, "unknown-rule", "\"FEED-UNDEFNED\" names no rule"}}, 0}},
      {"an unknown directive",
       {"(velmora: enable=feed-undefined)", "G00X1.Y1."},
       {{{1, 0, "unknown-rule", "\"ENABLE\" is no velmora: directive"}}, 0}},
  };
  for (const auto& c : cases) expectReport(c.what, reportOf(c.lines), c.seen);
}

ControlProfile profileWith(Control control, std::vector<std::pair<string, RuleSetting>> rules = {},
                           std::optional<double> stockTop = std::nullopt) {
  ControlProfile profile = defaultProfile(control);
  for (const auto& [id, setting] : rules) profile.rules[id] = setting;
  profile.stockTop = stockTop;
  return profile;
}

// A profile turns rules on and off and sets their severity; the rapid rules measure against its stock top.
TEST(Problems, ProfilesSetTheRules) {
  struct Case {
    const char* what;
    ControlProfile profile;
    std::vector<string> lines;
    Seen seen;
  };
  const std::vector<string> rapids = {"G00X0Y0Z5.", "G00Z-1.", "G00X5.", "G01Z-2.F100", "G00X6."};
  const Case cases[] = {
      {"no end: off by default", {}, {"G00X1.Y1."}, {{}, 0}},
      {"a comment open over lines may have hidden F",
       {},
       {"(SEE HTTP://EXAMPLE.ORG)", "G20 F60", "(NOTES)", "G01X1."},
       {{}, 0}},
      {"no end: on for LinuxCNC",
       profileWith(Control::linuxcnc),
       {"G00X1.Y1.", "G01X2.F100"},
       {{{2, 0, "program-end-missing", "without M02 or M30"}}, 0}},
      {"a closing % ends a LinuxCNC program", profileWith(Control::linuxcnc), {"%", "G00X1.Y1.", "%"}, {{}, 0}},
      {"compensation without D on LinuxCNC",
       profileWith(Control::linuxcnc),
       {"G00X1.Y1.", "G41G01X2.F9", "M2"},
       {{}, 0}},
      {"a rule made a warning",
       profileWith(Control::strict, {{"feed-undefined", RuleSetting::warning}}),
       {"G01X1.Y1."},
       {{{1, 0, "feed-undefined", "G01"}}, 0}},
      {"a rule switched off",
       profileWith(Control::strict, {{"arc-radius-mismatch", RuleSetting::off}}),
       {"G01X0Y0F100", "G02X10.Y0I5.01J0"},
       {{}, 0}},
      {"rapid rules without a stock top",
       profileWith(Control::strict,
                   {{"rapid-plunge", RuleSetting::warning}, {"rapid-in-stock", RuleSetting::warning}}),
       rapids,
       {{{2, 0, "rapid-plunge",
          "G00 plunges from Z5.0000 to Z-1.0000, below the stock top Z0.0000: feed into the "
          "stock with G01 (no stock top given: Z0 is assumed"},
         {3, 0, "rapid-in-stock", "from Z-1.0000 to Z-1.0000, below the stock top Z0.0000: raise Z"},
         {5, 0, "rapid-in-stock", "from Z-2.0000 to Z-2.0000"}},
        0}},
      {"rapid rules under a stock top",
       profileWith(Control::strict, {{"rapid-plunge", RuleSetting::error}}, -1.5),
       rapids,
       {{}, 0}},
      {"rapid rules under a higher stock top",
       profileWith(Control::strict, {{"rapid-plunge", RuleSetting::error}}, 2.0),
       rapids,
       {{{2, 0, "rapid-plunge", "below the stock top Z2.0000: feed into the stock with G01"}}, 0}},
      {"a point missing under standard input",
       profileWith(Control::fanuc),
       {"G00X10Y0.Z-2", "G01X10.5F100", "G71P45Q58", "G83Z-5.R1.Q2", "G80", "G20", "G01Y25"},
       {{{1, 4, "missing-decimal-point", "X10 is 0.010 mm here; X10. is 10 mm"},
         {1, 10, "missing-decimal-point", "Z-2 is -0.002 mm here"},
         {3, 1, "unknown-g-code", "G71"},
         {4, 11, "missing-decimal-point", "Q2 is 0.002 mm here"},
         {7, 4, "missing-decimal-point", "Y25 is 0.0025 in here; Y25. is 25 in"}},
        0}},
      {"no point needed under calculator input", {}, {"G00X10Y0.Z-2", "G01X10.5F100"}, {{}, 0}},
  };
  for (const auto& c : cases) expectReport(c.what, reportOf(c.lines, c.profile), c.seen, c.profile);
}

// An arc in another dialect is neither reported nor drawn as faulty: its syntax was not read.
TEST(Problems, ArcsInAnotherDialectGetNoVerdict) {
  kNcGeometry geometry;
  readNcText(u"G01X0Y0F100\nG02X10.Y0CR=5.\nG02X20.Y0I5.01J0\n", geometry);
  EXPECT_FALSE(geometry.isFaultyArcAt(2));
  EXPECT_TRUE(geometry.isFaultyArcAt(3));
}

// Every rule is named in the settings, with an id that finds it back.
TEST(Problems, EveryRuleHasANoteAndAnId) {
  for (int r = 0; r < kRuleCount; ++r) {
    const Rule rule = static_cast<Rule>(r);
    EXPECT_EQ(ruleNote(rule).rule, rule);
    EXPECT_FALSE(ruleNote(rule).why.empty());
    EXPECT_EQ(ruleNamed(ruleInfo(rule).id), rule) << ruleInfo(rule).id;
  }
  EXPECT_EQ(ruleNamed("FEED-UNDEFINED"), Rule::feedUndefined);
  EXPECT_FALSE(ruleNamed("feed"));
}

}  // namespace
