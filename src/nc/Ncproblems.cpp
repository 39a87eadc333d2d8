// The problems of a reading: the notes the checker took while the program was read, put into words, and the
// problems of the program as a whole.
#include "nc/Ncproblems.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "nc/Ncgeometry.hpp"
#include "nc/Nclint.hpp"
#include "util/Format.hpp"
#include "util/Text.hpp"

namespace {

// clang-format off
constexpr RuleInfo kRules[kRuleCount] = {
    {"arc-radius-mismatch", Severity::error}, {"arc-r-too-small", Severity::error},
    {"arc-r-full-circle", Severity::error},   {"comment-syntax", Severity::error},
    {"coordinate-overflow", Severity::error}, {"unsupported", Severity::warning},
    {"unknown-g-code", Severity::warning},    {"number-overflow", Severity::warning},
    {"comp-without-d", Severity::warning},    {"comment-unclosed", Severity::warning},
    {"nothing-to-draw", Severity::warning},
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
    {"comp-entry-too-short", Severity::error}, {"comp-gouge", Severity::error},
    {"comp-arc-too-small", Severity::error},   {"comp-same-centre", Severity::error},
    {"comp-plane", Severity::error},           {"comp-entry-arc", Severity::error},
    {"comp-exit-arc", Severity::error},        {"comp-already-on", Severity::error},
    {"comp-open-at-end", Severity::warning},   {"comp-radius-unknown", Severity::warning},
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

// " (0.52 % of R)", or "" for a radius of 0.
std::string shareOf(double part, double radius) {
  if (!(radius > 0)) return {};
  return " (" + real(part / radius * 100) + " % of R)";
}

std::string unsupportedMessage(const Finding& f) {
  const std::string word = f.detail == static_cast<int>(Construct::jump) && f.tokenText().starts_with(u"M99")
                               ? toUtf8(f.tokenText()) + " with P"
                               : toUtf8(f.tokenText());
  return fill(kConstructPhrases[f.detail], {word}) + kMayBeWrong;
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
      return fill("arc radius %s at the start and %s at the end: they differ by %s%s",
                  {real(n[0]), real(n[1]), real(n[2]), shareOf(n[2], n[0])});
    case Rule::arcRTooSmall:
      return fill("R %s is too small for the chord: half the chord is %s, %s more%s",
                  {real(n[0]), real(n[1]), real(n[1] - n[0]), shareOf(n[1] - n[0], n[0])});
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
    case Rule::numberOverflow:
      return fill("the number after %s has %s digits, too large to represent: it is read as 0",
                  {token, std::to_string(static_cast<long long>(n[0]))});
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
    default:
      return compMessage(f);
  }
  return {};
}

NcProblem worded(const Finding& f, RuleLevel level, std::uint8_t judging) {
  const Severity severity = level == RuleLevel::error ? Severity::error : Severity::warning;
  NcProblem problem{f.line, f.column, severity, ruleInfo(f.rule).id, messageOf(f)};
  if (f.rule == Rule::arcRadiusMismatch || f.rule == Rule::arcRTooSmall) {
    problem.controlsJudged = judging;
    problem.controlsRejecting = f.detail & judging;
    problem.message += "; " + controlsVerdict(judging, problem.controlsRejecting);
  }
  return problem;
}

bool byPlace(const NcProblem& a, const NcProblem& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

void appendNames(std::string& out, std::uint8_t controls) {
  bool first = true;
  for (int c = 0; c < kControlCount; ++c) {
    if ((controls >> c & 1) == 0) continue;
    if (!first) out += ", ";
    out += controlName(static_cast<Control>(c));
    first = false;
  }
}

Finding found(Rule rule, int line) {
  Finding f;
  f.line = line;
  f.rule = rule;
  return f;
}

// The file a problem of an evaluated program comes from, when not the main one: "O1000.nc: ".
std::string filePrefix(const kNcGeometry& g, int file) {
  if (file <= 0 || file >= static_cast<int>(g.sourceFiles().size())) return {};
  return g.sourceFiles()[static_cast<std::size_t>(file)] + ": ";
}

// An evaluated program's problems sit at source lines: a block's at the line it came from, once however often
// the line ran (the first execution's), and with `withEvaluation` evaluation's own problems beside them.
void toSourceLines(const kNcGeometry& g, std::vector<NcProblem>& problems, bool withEvaluation) {
  std::map<std::tuple<int, int, int, std::string_view, std::string>, int> firstBlock;
  std::vector<NcProblem> kept;
  kept.reserve(problems.size());
  for (NcProblem& p : problems) {
    const int block = p.line;
    if (block > 0) {
      p.line = g.sourceLineOf(block);
      const int file = g.sourceFileOf(block);
      const auto [entry, fresh] = firstBlock.try_emplace({file, p.line, p.column, p.rule, p.message}, block);
      if (!fresh && entry->second != block) continue;
      p.message.insert(0, filePrefix(g, file));
      p.file = file;
    }
    kept.push_back(std::move(p));
  }
  problems = std::move(kept);
  if (!withEvaluation) return;
  for (const EvalProblem& e : g.evalProblems()) {
    // Siemens and Heidenhain lines are no macro lines: the dialect warning tells why they are not read.
    if (e.rule == EvalRule::syntax && g.checker().otherDialect()) continue;
    const Severity severity = evalRuleIsError(e.rule) && e.certain ? Severity::error : Severity::warning;
    NcProblem p{e.line, 0, severity, evalRuleId(e.rule), filePrefix(g, e.file) + e.message};
    p.file = e.file;
    problems.push_back(std::move(p));
  }
}

}  // namespace

std::string controlsVerdict(std::uint8_t judged, std::uint8_t rejecting) {
  std::string out;
  const auto accepting = static_cast<std::uint8_t>(judged & ~rejecting);
  if ((judged & rejecting) != 0) {
    out += "rejected by ";
    appendNames(out, judged & rejecting);
  }
  if (accepting != 0) {
    out += out.empty() ? "accepted by " : "; accepted by ";
    appendNames(out, accepting);
  }
  return out;
}

const RuleInfo& ruleInfo(Rule rule) { return kRules[static_cast<int>(rule)]; }

std::string_view severityName(Severity severity) { return severity == Severity::error ? "error" : "warning"; }

ProblemReport checkedProblems(const kNcGeometry& geometry, std::span<const Finding> more) {
  const kNcChecker& checker = geometry.checker();
  const LintSettings& settings = checker.settings();
  ProblemReport report;
  report.problems.reserve(checker.findings().size() + 2);
  const std::uint8_t judging = controlsJudging(geometry.profile());
  const auto take = [&](const Finding& f) {
    RuleLevel level = settings.levels[static_cast<std::size_t>(f.rule)];
    if (level == RuleLevel::off) return;
    // In another dialect parentheses hold expressions and calls, not comments: their syntax is not judged.
    if (f.rule == Rule::commentNested && checker.otherDialect()) return;
    if (f.rule == Rule::commentSyntax && checker.otherDialect()) level = RuleLevel::warning;
    const bool silenced = isSuppressed(checker.suppressions(), f.rule, f.line);
    (silenced ? report.suppressed : report.problems).push_back(worded(f, level, judging));
  };
  // A reading stopped by a syntax error has not seen the whole program.
  if (!checker.drawsSomething() && geometry.syntaxErrorBlock() == 0) take(found(Rule::nothingToDraw, 0));
  for (const Finding& f : checker.findings()) take(f);
  for (const Finding& f : more) take(f);
  if (const int line = checker.unclosedCommentLine(geometry)) take(found(Rule::commentUnclosed, line));
  if (checker.endMissing(geometry)) take(found(Rule::programEndMissing, geometry.blockCount - 1));
  if (geometry.isEvaluated()) {
    toSourceLines(geometry, report.problems, true);
    toSourceLines(geometry, report.suppressed, false);
  }
  std::stable_sort(report.problems.begin(), report.problems.end(), byPlace);
  std::stable_sort(report.suppressed.begin(), report.suppressed.end(), byPlace);
  return report;
}

std::vector<NcProblem> programProblems(const kNcGeometry& geometry, std::span<const Finding> more) {
  return checkedProblems(geometry, more).problems;
}
