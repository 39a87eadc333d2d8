// The problems of `check` as a SARIF 2.1.0 log, which CI systems show on pull requests: one run, the rules
// with their help, a result for each problem with its file, line and column.
#pragma once

#include <string>
#include <vector>

#include "nc/Ncproblems.hpp"

// The problems of one file checked; an unreadable file has none and makes the run unsuccessful.
struct SarifFile {
  std::string file;  // as named on the command line
  bool readable = true;
  std::vector<NcProblem> problems;
  std::vector<NcProblem> suppressed;  // reported as results suppressed in the source
};

// The whole log, pretty enough to read, ending with a line feed. With `werror` every result is an error.
std::string sarifLog(const std::vector<SarifFile>& files, bool werror);
// A file name as a relative URI reference: '\' becomes '/', and what a URI may not hold is %-escaped.
std::string uriOf(const std::string& file);
