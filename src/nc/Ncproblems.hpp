// The problems a reading finds in a program: faulty arcs, constructs the checker does not evaluate, numbers it
// cannot hold. Per line (= block) or, with line 0, about the whole program.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "nc/Nccheck.hpp"

class kNcGeometry;

enum class Severity : unsigned char { error, warning };

struct NcProblem {
  int line = 0;    // the block, which is the editor line, from 1; 0 for the whole program
  int column = 0;  // from 1 where a position in the line is meaningful, else 0
  Severity severity = Severity::warning;
  std::string_view rule;  // a stable id such as "arc-radius-mismatch"
  std::string message;    // UTF-8; names the numbers involved
  // For an arc problem, a bit per Control (1 << control): the controls judged, and of those the rejecting.
  std::uint8_t controlsJudged = 0;
  std::uint8_t controlsRejecting = 0;
  int file = 0;  // of an evaluated program: the index of the file the line is in (0: the main program)
};

// "rejected by strict, mach3; accepted by linuxcnc, grbl" for a problem's controls ("" when none were judged).
std::string controlsVerdict(std::uint8_t judged, std::uint8_t rejecting);

// The problems of a reading under the rule settings it was read with: those to show, and those a
// `velmora:` comment silenced, which a reviewer still gets counted.
struct ProblemReport {
  std::vector<NcProblem> problems;
  std::vector<NcProblem> suppressed;
};
// Every problem of the program read into `geometry`, each list ordered by line, then column; rules that are
// off give none.
// `more` adds findings made after the reading (the compensation's).
ProblemReport checkedProblems(const kNcGeometry& geometry, std::span<const Finding> more = {});
// The problems to show of checkedProblems.
std::vector<NcProblem> programProblems(const kNcGeometry& geometry, std::span<const Finding> more = {});

// A rule's stable id and its severity.
struct RuleInfo {
  std::string_view id;
  Severity severity;
};
const RuleInfo& ruleInfo(Rule rule);
// "error" or "warning".
std::string_view severityName(Severity severity);
