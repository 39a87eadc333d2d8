// The rules' defaults by control, their settings from a profile, and the `velmora:` comments that silence
// them: `disable=`, `disable-next-line=`, `disable-begin=` … `disable-end`.
#include "nc/Nclint.hpp"

#include <algorithm>
#include <climits>
#include <string>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"

using View = std::u16string_view;

namespace {

constexpr unsigned bit(Control c) { return 1u << static_cast<unsigned>(c); }

// A suppression that runs to the end of the program.
constexpr int kToTheEnd = INT_MAX;

constexpr RuleNote kNotes[] = {
    {Rule::arcRadiusMismatch, true, 0, 0, "the arc's radius misses its start or end point: the control alarms"},
    {Rule::arcRTooSmall, true, 0, 0, "an R smaller than half the chord gives no arc: the control alarms"},
    {Rule::arcRFullCircle, true, 0, 0, "R cannot give a full circle: the control alarms or moves nowhere"},
    {Rule::commentSyntax, true, 0, 0, "a delimiter out of place: the control reads the rest as code"},
    {Rule::coordinateOverflow, true, 0, 0, "positions no longer numbers: nothing after them can be trusted"},
    {Rule::unsupported, true, 0, 0, "a construct the checker does not evaluate: the path after it may differ"},
    {Rule::unknownGCode, true, 0, 0, "a G code the checker does not know is ignored: the path may differ"},
    {Rule::numberOverflow, true, 0, 0, "a number too large to hold is read as 0"},
    {Rule::compWithoutD, true, 0, bit(Control::linuxcnc),
     "cutter compensation needs an offset; LinuxCNC takes the loaded tool's radius"},
    {Rule::commentUnclosed, true, 0, 0, "a comment never closed hides the rest of the program"},
    {Rule::nothingToDraw, true, 0, 0, "a program without X or Y movement is rarely what was meant"},
    {Rule::feedUndefined, true, 0, 0, "a feed move without a feed rate: the control alarms"},
    {Rule::cycleWithoutR, true, 0, 0, "a drilling cycle needs its retract plane: the control alarms"},
    {Rule::missingDecimalPoint, true, 0, 0,
     "only under standard decimal input (fanuc, haas), where X10 is 0.010 mm: a missed point crashes"},
    {Rule::rapidPlunge, false, 0, 0, "a rapid plunge below the stock top breaks the tool; needs a stock top"},
    {Rule::rapidInStock, false, 0, 0, "a rapid move with Z below the stock top cuts at rapid; needs a stock top"},
    {Rule::arcOffsetOutsidePlane, true, 0, 0, "an offset outside the arc's plane is ignored: a mistyped plane"},
    {Rule::arcMixedRIjk, true, 0, 0, "R wins over I/J/K: the centre written is not the one taken"},
    {Rule::commentNested, true, 0, 0, "controls do not nest ( ) comments: the rest of the comment is code"},
    {Rule::programEndMissing, false, bit(Control::linuxcnc), 0,
     "LinuxCNC refuses a file without M02/M30 or %; grbl and called subprogram files need none"},
    {Rule::unsupportedDialect, true, 0, 0,
     "Siemens or Heidenhain syntax is not read: its verdicts would be false"},
    {Rule::unknownRule, true, 0, 0, "a `velmora:` comment names a rule that does not exist: it silences nothing"},
    {Rule::compEntryTooShort, true, 0, 0, "an entry move no longer than the tool radius: the control refuses it"},
    {Rule::compGouge, true, 0, 0, "the tool cannot reach this corner without cutting into the part"},
    {Rule::compArcTooSmall, true, 0, 0, "an inside arc no larger than the tool radius: the tool does not fit"},
    {Rule::compSameCentre, true, 0, 0, "arc to arc about one centre: the corner cannot be compensated"},
    {Rule::compPlane, true, 0, 0, "compensation works in G17 and G18 only, and not across a plane change"},
    {Rule::compEntryArc, true, 0, 0, "Fanuc-type controls start compensation only on a straight move"},
    {Rule::compExitArc, true, 0, 0, "the move after G40 must be straight"},
    {Rule::compAlreadyOn, true, 0, 0, "G41/G42 while compensation is on: LinuxCNC refuses it"},
    {Rule::compOpenAtEnd, true, 0, 0,
     "compensation still on at the end: M02/M30 turn it off, a later program may not expect that"},
    {Rule::compRadiusUnknown, true, 0, 0, "G41/G42 without a known tool radius: nothing is offset"},
};
static_assert(std::size(kNotes) == kRuleCount, "every rule has its note");

RuleLevel levelOf(Severity severity) {
  return severity == Severity::error ? RuleLevel::error : RuleLevel::warning;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
         c == u'_';
}

std::size_t skipBlanks(View text, std::size_t i) {
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  return i;
}

// Where "VELMORA:" starts in `text` (ASCII case ignored), npos when it does not.
std::size_t directiveAt(View text) {
  constexpr std::string_view kKey = "velmora:";
  for (std::size_t at = 0; at + kKey.size() <= text.size(); ++at) {
    std::size_t n = 0;
    while (n < kKey.size() && text[at + n] < 128 && lowerAscii(static_cast<char>(text[at + n])) == kKey[n]) ++n;
    if (n == kKey.size()) return at;
  }
  return View::npos;
}

enum class Directive { disable, nextLine, begin, end, unknown };

Directive directiveNamed(std::string_view word) {
  if (word == "disable") return Directive::disable;
  if (word == "disable-next-line") return Directive::nextLine;
  if (word == "disable-begin") return Directive::begin;
  if (word == "disable-end") return Directive::end;
  return Directive::unknown;
}

std::string lowerWord(View text) {
  std::string word;
  for (const char16_t c : text) word += lowerAscii(static_cast<char>(c));
  return word;
}

}  // namespace

const RuleNote& ruleNote(Rule rule) {
  const auto* note =
      std::find_if(std::begin(kNotes), std::end(kNotes), [&](const RuleNote& n) { return n.rule == rule; });
  return *note;
}

bool ruleOnFor(Rule rule, Control control) {
  const RuleNote& note = ruleNote(rule);
  return note.onByDefault ? (note.offIn & bit(control)) == 0 : (note.onIn & bit(control)) != 0;
}

LintSettings defaultLintSettings() { return lintSettingsOf(ControlProfile()); }

LintSettings lintSettingsOf(const ControlProfile& profile) {
  LintSettings settings;
  settings.stockTop = profile.stockTop;
  settings.decimalStandard = profile.decimalInput == DecimalInput::standard;
  for (int r = 0; r < kRuleCount; ++r) {
    const Rule rule = static_cast<Rule>(r);
    RuleLevel level = ruleOnFor(rule, profile.control) ? levelOf(ruleInfo(rule).severity) : RuleLevel::off;
    const auto set = profile.rules.find(ruleInfo(rule).id);
    if (set != profile.rules.end() && set->second == RuleSetting::off) level = RuleLevel::off;
    if (set != profile.rules.end() && set->second == RuleSetting::warning) level = RuleLevel::warning;
    if (set != profile.rules.end() && set->second == RuleSetting::error) level = RuleLevel::error;
    settings.levels[static_cast<std::size_t>(r)] = level;
  }
  return settings;
}

std::optional<Rule> ruleNamed(std::string_view id) {
  std::string lower;
  for (const char c : id) lower += lowerAscii(c);
  for (int r = 0; r < kRuleCount; ++r) {
    if (ruleInfo(static_cast<Rule>(r)).id == lower) return static_cast<Rule>(r);
  }
  return std::nullopt;
}

bool isSuppressed(const std::vector<Suppression>& suppressions, Rule rule, int line) {
  const std::uint32_t mask = 1u << static_cast<unsigned>(rule);
  return std::any_of(suppressions.begin(), suppressions.end(), [&](const Suppression& s) {
    return (s.rules & mask) != 0 && line >= s.from && line <= s.to;
  });
}

// A comment holding "velmora:" names what it silences; anything it cannot use is an unknown-rule warning,
// so that a mistyped directive never silences nothing unnoticed.
void kNcChecker::noteDirectives(const kNcGeometry& g, int k, View code, View comment) {
  const std::size_t key = directiveAt(comment);
  if (key == View::npos) return;
  std::size_t i = skipBlanks(comment, key + 8);
  const std::size_t wordStart = i;
  while (i < comment.size() && isNameChar(comment[i])) ++i;
  const View word = comment.substr(wordStart, i - wordStart);
  const Directive directive = directiveNamed(lowerWord(word));
  i = skipBlanks(comment, i);
  const bool hasNames = i < comment.size() && comment[i] == u'=';
  if (directive == Directive::unknown || (directive == Directive::end) == hasNames) {
    add(g, k, Rule::unknownRule, {}, View::npos, word).detail = 1;
    return;
  }
  if (directive == Directive::end) {
    for (Suppression& s : lint_.suppressions) {
      if (s.to == kToTheEnd && s.from > 0) s.to = k;
    }
    return;
  }
  const std::uint32_t rules = directiveRules(g, k, comment.substr(i + 1));
  if (directive == Directive::begin) {
    lint_.suppressions.push_back({k, kToTheEnd, rules});
  } else if (directive == Directive::nextLine) {
    lint_.suppressions.push_back({k + 1, k + 1, rules});
  } else if (!lint_.moved && std::all_of(code.begin(), code.end(), [](char16_t c) { return c <= u' '; })) {
    // Before the first motion, a comment line speaks for the whole file, the problems of no line included.
    lint_.suppressions.push_back({0, kToTheEnd, rules});
  } else {
    lint_.suppressions.push_back({k, k, rules});
  }
}

std::uint32_t kNcChecker::directiveRules(const kNcGeometry& g, int k, View names) {
  std::uint32_t rules = 0;
  std::size_t i = 0;
  while (true) {
    i = skipBlanks(names, i);
    const std::size_t start = i;
    while (i < names.size() && isNameChar(names[i])) ++i;
    const View name = names.substr(start, i - start);
    if (const std::optional<Rule> rule = ruleNamed(lowerWord(name))) {
      rules |= 1u << static_cast<unsigned>(*rule);
    } else {
      add(g, k, Rule::unknownRule, {}, View::npos, name);
    }
    i = skipBlanks(names, i);
    if (i >= names.size() || names[i] != u',') break;
    ++i;
  }
  return rules;
}
