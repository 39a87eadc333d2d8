// The problems of a reading: the notes the checker took while the program was read, put into words, and the
// problems of the program as a whole.
#include "nc/Ncproblems.hpp"

#include <algorithm>
#include <cmath>

#include "nc/Ncgeometry.hpp"
#include "nc/Nclint.hpp"
#include "util/Format.hpp"
#include "util/Text.hpp"

namespace {

// clang-format off
constexpr RuleInfo kRules[kRuleCount] = {
    {"arc-radius-mismatch", Severity::error},  {"arc-r-too-small", Severity::error},
    {"arc-r-full-circle", Severity::error},    {"comment-syntax", Severity::error},
    {"coordinate-overflow", Severity::error},  {"unsupported", Severity::warning},
    {"unknown-g-code", Severity::warning},     {"g-code-read-as", Severity::warning},
    {"g-code-not-read", Severity::warning},    {"number-overflow", Severity::warning},
    {"blank-after-letter", Severity::warning}, {"comp-without-d", Severity::warning},
    {"comment-unclosed", Severity::warning},   {"nothing-to-draw", Severity::warning},
    {"feed-undefined", Severity::error},
    {"cycle-without-r", Severity::error},
    {"missing-decimal-point", Severity::warning},
    {"rapid-plunge", Severity::warning},
    {"rapid-in-stock", Severity::warning},
    {"arc-offset-outside-plane", Severity::warning},
    {"arc-mixed-r-ijk", Severity::warning},
    {"comment-nested", Severity::warning},
    {"program-end-missing", Severity::warning},
    {"unsupported-dialect", Severity::warning},
    {"unknown-rule", Severity::warning},
};
// clang-format on

constexpr const char* kMayBeWrong = "; the drawing after this line may be wrong";

// What each construct the checker does not evaluate is called; %s is the word as written.
constexpr const char* kConstructPhrases[] = {
    "macro variables (%s) are not evaluated",
    "expressions (%s ]) are not evaluated",
    "the subprogram call %s is not evaluated",
    "the macro call %s is not evaluated",
    "the jump %s is not evaluated",
    "the O-word control %s is not evaluated",
    "the rotation %s is not evaluated",
    "the scaling %s is not evaluated",
    "polar coordinates (%s) are not evaluated",
    "the local coordinate shift %s is not evaluated",
    "the coordinate setting %s with axis words is not evaluated",
};

std::string real(double value) { return toUtf8(formatReal(value, 4)); }

// `pattern` with each %s replaced by the next of `texts`.
std::string fill(std::string_view pattern, std::initializer_list<std::string> texts) {
  std::string out;
  auto next = texts.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.substr(i, 2) == "%s" && next != texts.end()) {
      out += *next++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string unsupportedMessage(const Finding& f) {
  const std::string word = f.detail == static_cast<int>(Construct::jump) && f.tokenText().starts_with(u"M99")
                               ? toUtf8(f.tokenText()) + " with P"
                               : toUtf8(f.tokenText());
  return fill(kConstructPhrases[f.detail], {word}) + kMayBeWrong;
}

std::string notReadMessage(const Finding& f) {
  const std::u16string_view both = f.tokenText();
  const std::size_t blank = both.find(u' ');
  const std::string word = toUtf8(both.substr(0, blank));
  const std::string stop = blank == std::u16string_view::npos ? "?" : toUtf8(both.substr(blank + 1));
  return fill(
             "%s is not read: the G codes of a line are read only up to the first that belongs to no modal group, "
             "here %s",
             {word, stop}) +
         kMayBeWrong;
}

std::string messageOf(const Finding& f) {
  const std::string token = toUtf8(f.tokenText());
  const double* n = f.numbers;
  switch (f.rule) {
    case Rule::arcRadiusMismatch:
      return fill("arc radius %s at the start and %s at the end: they differ by %s",
                  {real(n[0]), real(n[1]), real(n[2])});
    case Rule::arcRTooSmall:
      return fill("R %s is too small for the chord: half the chord is %s", {real(n[0]), real(n[1])});
    case Rule::arcRFullCircle:
      return fill("R %s with the end point at the start point: a full circle cannot be given by R", {real(n[0])});
    case Rule::commentSyntax:
      return "comment syntax error: a closing delimiter without an opening one, or comments open two deep at the "
             "end of the line; the reading stops here";
    case Rule::coordinateOverflow:
      if (f.detail == 1) return "the arc's centre or radius is not a finite number";
      return fill("the end point (X %s, Y %s, Z %s) is not a finite number: the positions overflowed",
                  {real(n[0]), real(n[1]), real(n[2])});
    case Rule::unsupported:
      return unsupportedMessage(f);
    case Rule::unknownGCode:
      return fill("%s belongs to no modal group the checker knows: it is ignored", {token});
    case Rule::gCodeReadAs:
      return fill("%s is read as G%s", {token, std::to_string(static_cast<int>(n[0]))}) + kMayBeWrong;
    case Rule::gCodeNotRead:
      return notReadMessage(f);
    case Rule::numberOverflow:
      return fill("the number after %s has %s digits, too large to represent: it is read as 0",
                  {token, std::to_string(static_cast<long long>(n[0]))});
    case Rule::blankAfterLetter:
      return fill("the blank in \"%s\" ends the word: its number is not read", {token});
    case Rule::compWithoutD:
      return fill("%s comes into force, but no D word has been given", {token});
    case Rule::commentUnclosed:
      return "the comment opened in this line is never closed: the rest of the program is read as comment";
    case Rule::nothingToDraw:
      return "the program has no X or Y movement: there is nothing to draw";
    case Rule::feedUndefined:
    case Rule::cycleWithoutR:
    case Rule::missingDecimalPoint:
    case Rule::rapidPlunge:
    case Rule::rapidInStock:
    case Rule::arcOffsetOutsidePlane:
    case Rule::arcMixedRIjk:
    case Rule::commentNested:
    case Rule::programEndMissing:
    case Rule::unsupportedDialect:
    case Rule::unknownRule:
      return lintMessage(f);
  }
  return {};
}

NcProblem worded(const Finding& f, RuleLevel level) {
  const Severity severity = level == RuleLevel::error ? Severity::error : Severity::warning;
  return {f.line, f.column, severity, ruleInfo(f.rule).id, messageOf(f)};
}

bool byPlace(const NcProblem& a, const NcProblem& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

Finding found(Rule rule, int line) {
  Finding f;
  f.line = line;
  f.rule = rule;
  return f;
}

}  // namespace

const RuleInfo& ruleInfo(Rule rule) { return kRules[static_cast<int>(rule)]; }

std::string_view severityName(Severity severity) { return severity == Severity::error ? "error" : "warning"; }

ProblemReport checkedProblems(const kNcGeometry& geometry) {
  const kNcChecker& checker = geometry.checker();
  const LintSettings& settings = checker.settings();
  ProblemReport report;
  report.problems.reserve(checker.findings().size() + 2);
  const auto take = [&](const Finding& f) {
    const RuleLevel level = settings.levels[static_cast<std::size_t>(f.rule)];
    if (level == RuleLevel::off) return;
    // In another dialect parentheses hold expressions and calls, not comments.
    if (f.rule == Rule::commentNested && checker.otherDialect()) return;
    const bool silenced = isSuppressed(checker.suppressions(), f.rule, f.line);
    (silenced ? report.suppressed : report.problems).push_back(worded(f, level));
  };
  // A reading stopped by a syntax error has not seen the whole program.
  if (!checker.drawsSomething() && geometry.syntaxErrorBlock() == 0) take(found(Rule::nothingToDraw, 0));
  for (const Finding& f : checker.findings()) take(f);
  if (const int line = checker.unclosedCommentLine(geometry)) take(found(Rule::commentUnclosed, line));
  if (checker.endMissing(geometry)) take(found(Rule::programEndMissing, geometry.blockCount - 1));
  std::stable_sort(report.problems.begin(), report.problems.end(), byPlace);
  std::stable_sort(report.suppressed.begin(), report.suppressed.end(), byPlace);
  return report;
}

std::vector<NcProblem> programProblems(const kNcGeometry& geometry) { return checkedProblems(geometry).problems; }
