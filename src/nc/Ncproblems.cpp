// The problems of a reading, gathered from the block store.
#include "nc/Ncproblems.hpp"

#include "nc/Ncgeometry.hpp"

std::vector<NcProblem> programProblems(const kNcGeometry& geometry) {
  std::vector<NcProblem> problems;
  for (int b = 1; b < geometry.blockCount; ++b) {
    if (geometry.isFaultyArcAt(b)) {
      problems.push_back(
          {b, 0, Severity::error, "arc-radius-mismatch", "the arc's radius does not fit its end points"});
    }
    if (b == geometry.syntaxErrorBlock()) {
      problems.push_back({b, 0, Severity::error, "comment-syntax", "comment syntax error"});
    }
  }
  return problems;
}
