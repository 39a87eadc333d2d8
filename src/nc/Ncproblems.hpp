// The problems a reading finds in a program: faulty arcs, constructs the checker does not evaluate, numbers it
// cannot hold. Per line (= block) or, with line 0, about the whole program.
#pragma once

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
};

// Every problem of the program read into `geometry`, ordered by line, then column.
std::vector<NcProblem> programProblems(const kNcGeometry& geometry);
// The same with findings made after the reading (compensation), merged in line order.
std::vector<NcProblem> programProblems(const kNcGeometry& geometry, std::span<const Finding> more);

// A rule's stable id and its severity.
struct RuleInfo {
  std::string_view id;
  Severity severity;
};
const RuleInfo& ruleInfo(Rule rule);
// "error" or "warning".
std::string_view severityName(Severity severity);
