// The problems of a reading: the notes the checker took while the program was read, put into words, and the
// problems of the program as a whole.
#include "nc/Ncproblems.hpp"

#include <algorithm>
#include <cmath>

#include "nc/Ncgeometry.hpp"
#include "util/Format.hpp"
#include "util/Text.hpp"

namespace {

constexpr RuleInfo kRules[kRuleCount] = {
    {"arc-radius-mismatch", Severity::error},  {"arc-r-too-small", Severity::error},
    {"arc-r-full-circle", Severity::error},    {"comment-syntax", Severity::error},
    {"coordinate-overflow", Severity::error},  {"unsupported", Severity::warning},
    {"unknown-g-code", Severity::warning},     {"g-code-read-as", Severity::warning},
    {"g-code-not-read", Severity::warning},    {"number-overflow", Severity::warning},
    {"blank-after-letter", Severity::warning}, {"comp-without-d", Severity::warning},
    {"comment-unclosed", Severity::warning},   {"nothing-to-draw", Severity::warning},
    {"comp-entry-too-short", Severity::error}, {"comp-gouge", Severity::error},
    {"comp-arc-too-small", Severity::error},   {"comp-same-centre", Severity::error},
    {"comp-plane", Severity::error},           {"comp-entry-arc", Severity::error},
    {"comp-exit-arc", Severity::error},        {"comp-already-on", Severity::error},
    {"comp-open-at-end", Severity::error},     {"comp-radius-unknown", Severity::warning},
};

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

// After an error the tool centre path follows the programmed path.
constexpr const char* kUncompensated = ": the path goes on uncompensated from here";

constexpr const char* kGougeReasons[] = {
    "the move into this concave corner would reverse its direction: the tool cannot reach the corner without "
    "gouging",
    "the arc into this concave corner would grow by %s: the tool cannot reach the corner without gouging",
    "the offset paths of this corner do not meet: the tool cannot fit in it without gouging",
};

std::string fixed3(double value) { return toUtf8(formatReal(value, 3)); }

std::string compMessage(const Finding& f) {
  const double* n = f.numbers;
  switch (f.rule) {
    case Rule::compEntryTooShort:
      return fill("the compensation entry move is %s long, not longer than the tool radius %s",
                  {fixed3(n[0]), fixed3(n[1])}) +
             kUncompensated;
    case Rule::compGouge:
      return fill(kGougeReasons[f.detail], {real(n[0])}) + kUncompensated;
    case Rule::compArcTooSmall:
      return fill("arc radius %s with a tool radius %s", {fixed3(n[0]), fixed3(n[1])}) +
             ": the tool does not fit inside the arc" + kUncompensated;
    case Rule::compSameCentre:
      return "arc to arc with the same centre: the corner cannot be compensated" + std::string(kUncompensated);
    case Rule::compPlane:
      return std::string(f.detail == 0 ? "cutter compensation works only in G17 or G18, not in G19"
                                       : "the plane changes while cutter compensation is on") +
             kUncompensated;
    case Rule::compEntryArc:
      return "cutter compensation cannot start with an arc: the entry move must be straight" +
             std::string(kUncompensated);
    case Rule::compExitArc:
      return "the move after G40 must be straight, not an arc" + std::string(kUncompensated);
    case Rule::compAlreadyOn:
      return "cutter compensation is turned on while it is already on";
    case Rule::compOpenAtEnd:
      return "cutter compensation is still on at the end of the program";
    case Rule::compRadiusUnknown:
      return fill("%s comes into force, but the tool radius is not known: the path is not offset",
                  {toUtf8(f.tokenText())});
    default:
      return {};
  }
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
    default:
      return compMessage(f);
  }
  return {};
}

NcProblem worded(const Finding& f) {
  const RuleInfo& info = ruleInfo(f.rule);
  return {f.line, f.column, info.severity, info.id, messageOf(f)};
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

std::vector<NcProblem> programProblems(const kNcGeometry& geometry) { return programProblems(geometry, {}); }

std::vector<NcProblem> programProblems(const kNcGeometry& geometry, std::span<const Finding> more) {
  const kNcChecker& checker = geometry.checker();
  std::vector<NcProblem> problems;
  problems.reserve(checker.findings().size() + 2);
  // A reading stopped by a syntax error has not seen the whole program.
  if (!checker.drawsSomething() && geometry.syntaxErrorBlock() == 0) {
    problems.push_back(worded(found(Rule::nothingToDraw, 0)));
  }
  for (const Finding& f : checker.findings()) problems.push_back(worded(f));
  for (const Finding& f : more) problems.push_back(worded(f));
  if (const int line = checker.unclosedCommentLine(geometry)) {
    problems.push_back(worded(found(Rule::commentUnclosed, line)));
  }
  std::stable_sort(problems.begin(), problems.end(), [](const NcProblem& a, const NcProblem& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return problems;
}
