// The lint rules of one block: feed and cycle data a control needs, rapid moves into the stock, arc words
// that are ignored, nested comments, numbers without a point, the end of the program, and other dialects.
// The text rules look at lines read as text only; the record rules cost a few compares a block.
#include <algorithm>
#include <cmath>

#include "nc/Ncgeometry.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

using View = std::u16string_view;

namespace {

constexpr std::size_t kNowhere = View::npos;

constexpr std::uint16_t wordBit(WordLetter w) { return static_cast<std::uint16_t>(1u << w); }
constexpr std::uint16_t kAxisWords = wordBit(kWordX) | wordBit(kWordY) | wordBit(kWordZ);
constexpr std::uint16_t kOffsetWords = wordBit(kWordI) | wordBit(kWordJ) | wordBit(kWordK);

bool isCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }
char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// Siemens writes assignments to addresses (CR=, AP=, RP=, X=IC(…)): a capital directly before '='. The
// position of the word, npos when there is none.
std::size_t siemensAssignment(View code) {
  for (std::size_t at = code.find(u'='); at != kNowhere; at = code.find(u'=', at + 1)) {
    if (at == 0 || !isCapital(code[at - 1])) continue;
    std::size_t start = at - 1;
    while (start > 0 && isCapital(code[start - 1])) --start;
    return start;
  }
  return kNowhere;
}

struct DialectWord {
  View word;
  bool heidenhain;
};

// Words that open a block only in another dialect; a block number (N10 or Heidenhain's bare 10) may come
// first.
constexpr DialectWord kDialectWords[] = {
    {u"PROC", false},     {u"DEF ", false},    {u"MSG", false},     {u"MCALL", false},    {u"CYCLE", false},
    {u"LBL", true},       {u"L X", true},      {u"L Y", true},      {u"L Z", true},       {u"L IX", true},
    {u"L IY", true},      {u"L IZ", true},     {u"CC ", true},      {u"BEGIN PGM", true}, {u"END PGM", true},
    {u"TOOL CALL", true}, {u"CYCL DEF", true}, {u"BLK FORM", true}, {u"%MPF", false},     {u"%SPF", false},
};

std::size_t blockStart(View code) {
  std::size_t i = 0;
  while (i < code.size() && isBlank(code[i])) ++i;
  if (i < code.size() && code[i] == u'N') ++i;
  while (i < code.size() && isDigit(code[i])) ++i;
  while (i < code.size() && isBlank(code[i])) ++i;
  return i;
}

const DialectWord* dialectWordAt(View code, std::size_t at) {
  const View rest = code.substr(at);
  for (const DialectWord& w : kDialectWords) {
    if (!rest.starts_with(w.word)) continue;
    // CYCLE81 is a Siemens cycle; CYCLES or MSGBOX would be no word of it.
    const bool ended = rest.size() == w.word.size() || !isCapital(rest[w.word.size()]) || w.word.back() == u' ';
    if (ended) return &w;
  }
  return nullptr;
}

// The first '(' inside a ( ) comment of `line`, npos when none is; /* */, // and ; comments are skipped.
std::size_t nestedParenthesis(View line) {
  int depth = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (depth == 0 && (c == u';' || line.substr(i, 2) == u"//")) return kNowhere;
    if (depth == 0 && line.substr(i, 2) == u"/*") {
      const std::size_t close = line.find(u"*/", i + 2);
      if (close == kNowhere) return kNowhere;
      i = close + 1;
    } else if (c == u'(') {
      if (depth > 0) return i;
      ++depth;
    } else if (c == u')' && depth > 0) {
      --depth;
    }
  }
  return kNowhere;
}

// The letters whose literal numbers are least increments under standard decimal input.
bool isScaledLetter(char16_t c) {
  switch (c) {
    case u'X':
    case u'Y':
    case u'Z':
    case u'I':
    case u'J':
    case u'K':
    case u'R':
    case u'Q':
      return true;
    default:
      return false;
  }
}

// Some `letter` word of the code takes its value from a macro variable or an expression (F#1, R[#2+1]).
bool macroValued(View code, char16_t letter) {
  for (std::size_t at = code.find(letter); at != kNowhere; at = code.find(letter, at + 1)) {
    if (at > 0 && isCapital(code[at - 1])) continue;
    std::size_t next = at + 1;
    while (next < code.size() && isBlank(code[next])) ++next;
    if (next < code.size() && (code[next] == u'#' || code[next] == u'[')) return true;
  }
  return false;
}

// Code that ends a program or a subprogram: M02, M30, M99, M17 (Siemens), RET, ENDSUB, or a closing '%'.
// `rest` is the code after the block number.
bool endsProgram(View code, View rest, const ScannedBlock& words, bool moved) {
  for (std::size_t at = words.firstOf(u'M'); at != kNowhere; at = code.find(u'M', at + 1)) {
    const View number = wordNumberAt(code, at + 1);
    const double value = number.empty() ? -1 : wordNumberValue(number);
    if (value == 2 || value == 30 || value == 99 || value == 17) return true;
  }
  if (rest.starts_with(u"RET") || (moved && rest.starts_with(u"%"))) return true;
  return words.firstOf(u'O') != kNowhere && code.find(u"ENDSUB") != kNowhere;
}

// The block may open with a word of another dialect: one compare for the usual G, X, N, M0… blocks.
bool mayOpenDialect(View rest) {
  if (rest.empty()) return false;
  switch (rest[0]) {
    case u'P':
    case u'D':
    case u'L':
    case u'B':
    case u'E':
    case u'C':
    case u'%':
      return true;
    case u'M':
      return rest.size() > 1 && (rest[1] == u'S' || rest[1] == u'C');
    case u'T':
      return rest.size() > 1 && rest[1] == u'O';
    default:
      return false;
  }
}

std::u16string codeName(int code) { return u"G" + std::u16string(code < 10 ? u"0" : u"") + formatInt(code, 1); }

}  // namespace

void kNcChecker::noteLintText(const kNcGeometry& g, int k, View code, const ScannedBlock& words,
                              const BlockFacts& facts) {
  lint_.textBlock = k;
  if (!facts.comment.empty()) {
    noteDirectives(g, k, code, facts.comment);
    noteNestedComment(g, k);
  }
  noteWordsLeftOut(k);
  if (code.empty()) return;
  // Macro values and Siemens assignments ('#', '[', '=') are among the characters that make a closer look.
  const bool closer = facts.closerLook;
  lint_.macroFeed = lint_.macroFeed || (closer && words.firstOf(u'F') != kNowhere && macroValued(code, u'F'));
  lint_.macroR = lint_.macroR || (closer && words.firstOf(u'R') != kNowhere && macroValued(code, u'R'));
  const std::size_t start = blockStart(code);
  // Whatever follows the end of a program is a subprogram, run in an order the checker does not follow.
  if (!lint_.endSeen) lint_.endSeen = endsProgram(code, code.substr(start), words, lint_.moved);
  noteDialect(g, k, code, start, facts.closerLook);
  if (lint_.latheBlock == 0) noteLathe(g, k, code);
  if (settings_.decimalStandard) noteMissingPoints(g, k, code);
}

// A word evaluation left out for a value it could not know may well set F or R on the machine; the block
// may be read as plain text, having nothing else.
void kNcChecker::noteWordsLeftOut(int k) {
  const auto unknown = [this](char16_t letter) { return (unknownLetters_ >> (letter - u'A') & 1) != 0; };
  lint_.macroBlock = k;
  lint_.macroFeed = unknown(u'F');
  lint_.macroR = unknown(u'R');
  unknownLetters_ = 0;
  if (callLeftOut_) lint_.flowUncertain = true;
}

void kNcChecker::noteLintRecords(const kNcGeometry& g, int k, const BlockFacts& facts) {
  if (lint_.macroBlock != k && (unknownLetters_ != 0 || callLeftOut_)) noteWordsLeftOut(k);
  // The previous block's end point, kept rather than read back from the store.
  if (k == 1) lint_.last = {g.absX.get(0), g.absY.get(0), g.absZ.get(0)};
  const double sx = lint_.last[0], sy = lint_.last[1], sz = lint_.last[2];
  lint_.last = {facts.x, facts.y, facts.z};
  const bool xyMoves = facts.x != sx || facts.y != sy;
  // A block under G02/G03 without axis words or a centre makes no arc.
  const bool circle = facts.arc.isArc && (facts.wordsGiven & (kOffsetWords | wordBit(kWordR))) != 0;
  const bool moves = xyMoves || facts.z != sz || circle;
  lint_.moved = lint_.moved || moves;
  const int motion = facts.motion;
  const int cycle = facts.cycle;
  if (cycle != 80 || lint_.lastCycle != 80) noteCycle(g, k, cycle, facts);
  if (!facts.fixedPoint) {
    const bool feedMove = cycle != 80 ? (facts.wordsGiven & kAxisWords) != 0 : motion >= 1 && motion <= 3 && moves;
    // The usual block moves at the feed in force, which is set: nothing to note.
    const bool macroFeed = lint_.macroBlock == k && lint_.macroFeed;
    if (macroFeed || facts.feed != lint_.lastFeed || (feedMove && !(facts.feed > 0)))
      noteFeed(g, k, cycle != 80 ? cycle : motion, feedMove, facts);
    if (motion == 0 && cycle == 80 && moves) noteRapid(g, k, xyMoves, sz, facts);
  }
  if (facts.arc.isArc) noteArcWords(g, k, facts);
  if (lint_.latheBlock != 0 && facts.arc.isArc) noteLatheArc(k);
  if (lint_.dialectBlock == k && facts.arc.isArc) lint_.dialectArcs.push_back(k);
  // A plain line has no comment: its text is its code.
  if (settings_.decimalStandard && lint_.textBlock != k) notePlainMissingPoints(g, k);
}

void kNcChecker::notePlainMissingPoints(const kNcGeometry& g, int k) {
  std::u16string storage;
  noteMissingPoints(g, k, g.lineOf(k, storage));
}

void kNcChecker::noteFeed(const kNcGeometry& g, int k, int code, bool feedMove, const BlockFacts& facts) {
  const bool macro = lint_.macroBlock == k && lint_.macroFeed;
  if (facts.feed != lint_.lastFeed || macro) {
    lint_.lastFeed = facts.feed;
    lint_.feedNoted = false;
    lint_.feedByMacro = macro;
  }
  // A feed from a macro, a subprogram or code run after the end may well be set: only a certain fault counts.
  if (lint_.feedByMacro || lint_.flowUncertain || lint_.endSeen) return;
  if (!feedMove || facts.feed > 0 || lint_.feedNoted) return;
  lint_.feedNoted = true;
  Finding& f = add(g, k, Rule::feedUndefined, {}, kNowhere, codeName(code));
  // Before the first F the feed holds the no-value mark.
  f.detail = facts.feed == kNoValue ? 0 : 1;
  f.numbers[0] = facts.feed;
}

void kNcChecker::noteCycle(const kNcGeometry& g, int k, int cycle, const BlockFacts& facts) {
  const bool began = cycle != lint_.lastCycle;
  if (began && lint_.lastCycle == 80) {
    lint_.cycleHasR = false;
    lint_.cycleNoted = false;
  }
  lint_.lastCycle = cycle;
  if (cycle == 80) return;
  const bool macroR = lint_.macroBlock == k && lint_.macroR;
  if ((facts.wordsGiven & wordBit(kWordR)) != 0 || macroR || lint_.flowUncertain || lint_.endSeen) {
    lint_.cycleHasR = true;
  }
  const bool drills = began || (facts.wordsGiven & kAxisWords) != 0;
  if (lint_.cycleHasR || lint_.cycleNoted || !drills) return;
  lint_.cycleNoted = true;
  add(g, k, Rule::cycleWithoutR, {}, kNowhere, codeName(cycle));
}

void kNcChecker::noteRapid(const kNcGeometry& g, int k, bool xyMoves, double startZ, const BlockFacts& facts) {
  const Rule rule = xyMoves ? Rule::rapidInStock : Rule::rapidPlunge;
  if (!isOn(rule)) return;
  const double top = settings_.stockTop.value_or(0);
  const bool below = xyMoves ? std::min(startZ, facts.z) < top : facts.z < startZ && facts.z < top;
  if (!below) return;
  Finding& f = add(g, k, rule, {}, kNowhere, {});
  f.detail = !settings_.stockTop && !lint_.rapidNoted ? 1 : 0;
  lint_.rapidNoted = true;
  f.numbers[0] = startZ;
  f.numbers[1] = facts.z;
  f.numbers[2] = top;
}

void kNcChecker::noteArcWords(const kNcGeometry& g, int k, const BlockFacts& facts) {
  const std::uint16_t given = facts.wordsGiven;
  if (facts.arc.radiusWord != 0 && (given & kOffsetWords) != 0) {
    add(g, k, Rule::arcMixedRIjk, {}, kNowhere, {}).numbers[0] = facts.arc.radiusWord;
    return;
  }
  const int plane = g.groupPlane.get(k);
  const WordLetter outside = plane == 17 ? kWordK : (plane == 18 ? kWordJ : kWordI);
  if ((given & wordBit(outside)) == 0) return;
  const double value = outside == kWordK ? g.wordKAt(k) : (outside == kWordJ ? g.wordJAt(k) : g.wordIAt(k));
  // K0 in G17 changes nothing: CAM posts write it on helical arcs.
  if (value == 0) return;
  const char16_t letter[2] = {kWordLetterChars[outside], 0};
  Finding& f = add(g, k, Rule::arcOffsetOutsidePlane, {}, kNowhere, View(letter, 1));
  f.numbers[0] = value;
  f.numbers[1] = plane;
}

void kNcChecker::noteNestedComment(const kNcGeometry& g, int k) {
  std::u16string storage;
  const View line = g.lineOf(k, storage);
  const std::size_t first = line.find(u'(');
  if (first == kNowhere || line.find(u'(', first + 1) == kNowhere) return;
  const std::size_t at = nestedParenthesis(line);
  if (at == kNowhere) return;
  Finding& f = add(g, k, Rule::commentNested, {}, kNowhere, {});
  f.column = static_cast<int>(at) + 1;
}

bool kNcChecker::endMissing(const kNcGeometry& g) const {
  return !lint_.endSeen && g.blockCount > 1 && g.syntaxErrorBlock() == 0;
}

void kNcChecker::noteDialect(const kNcGeometry& g, int k, View code, std::size_t start, bool closerLook) {
  View token;
  bool heidenhain = false;
  // A ';' comment (Siemens, LinuxCNC) may hold "NAME=value" text.
  std::size_t at = closerLook ? siemensAssignment(code.substr(0, code.find(u';'))) : kNowhere;
  if (at != kNowhere) {
    token = code.substr(at, code.find(u'=', at) + 1 - at);
  } else {
    at = start;
    const DialectWord* word = mayOpenDialect(code.substr(at)) ? dialectWordAt(code, at) : nullptr;
    if (word == nullptr) return;
    token = word->word;
    if (token.back() == u' ') token.remove_suffix(1);
    heidenhain = word->heidenhain;
  }
  lint_.dialectBlock = k;
  if (lint_.dialectFinding >= 0) {
    findings_[static_cast<std::size_t>(lint_.dialectFinding)].numbers[0] += 1;
    return;
  }
  const std::size_t before = findings_.size();
  Finding& f = add(g, k, Rule::unsupportedDialect, code, at, token);
  if (findings_.size() == before) return;
  f.detail = heidenhain ? 1 : 0;
  f.numbers[0] = 1;
  lint_.dialectFinding = static_cast<int>(before);
}

// A stock removal cycle (G70, G71, G72 with P and Q) makes a lathe program: its X is a diameter, which the
// arc verdicts do not read.
void kNcChecker::noteLathe(const kNcGeometry& g, int k, View code) {
  std::size_t at = code.find(u"G7");
  while (at != kNowhere && !(at + 3 <= code.size() && code[at + 2] >= u'0' && code[at + 2] <= u'2' &&
                             (at + 3 == code.size() || !(isDigit(code[at + 3]) || code[at + 3] == u'.')))) {
    at = code.find(u"G7", at + 1);
  }
  if (at == kNowhere || code.find(u'P') == kNowhere || code.find(u'Q') == kNowhere) return;
  lint_.latheBlock = k;
  lint_.latheColumn = columnOf(g, k, code, at);
  lint_.latheCode = code.substr(at, 3);
}

// The first arc of a lathe program says so, at the cycle; the others are counted.
void kNcChecker::noteLatheArc(int k) {
  if (lint_.dialectBlock != k) lint_.dialectArcs.push_back(k);
  if (lint_.latheFinding < 0) {
    lint_.latheFinding = static_cast<int>(findings_.size());
    Finding& f = findings_.emplace_back();
    f.line = lint_.latheBlock;
    f.column = lint_.latheColumn;
    f.rule = Rule::unsupportedDialect;
    f.setToken(lint_.latheCode);
    f.detail = 2;
  }
  findings_[static_cast<std::size_t>(lint_.latheFinding)].numbers[0] += 1;
}

bool kNcChecker::withoutArcVerdict(int b) const {
  return !lint_.dialectArcs.empty() && std::binary_search(lint_.dialectArcs.begin(), lint_.dialectArcs.end(), b);
}

// Under standard decimal input a literal without a point is counted in least increments. Only the first
// word of a letter is read, as the reading does; names and macro values are no literals.
void kNcChecker::noteMissingPoints(const kNcGeometry& g, int k, View code) {
  for (std::size_t at = code.find(u'G'); at != kNowhere; at = code.find(u'G', at + 1)) {
    const View number = wordNumberAt(code, at + 1);
    const double value = number.empty() ? -1 : wordNumberValue(number);
    if (value == 20 || value == 21) lint_.inch = value == 20;
  }
  std::uint32_t seen = 0;
  for (std::size_t at = 0; at < code.size(); ++at) {
    const char16_t letter = upper(code[at]);
    if (letter == u'<') {
      const std::size_t close = code.find(u'>', at);
      if (close == kNowhere) return;
      at = close;
      continue;
    }
    if (!isScaledLetter(letter) || (at > 0 && isCapital(upper(code[at - 1])))) continue;
    // Outside a drilling cycle Q is no length (G71's Q is a block number).
    if (letter == u'Q' && g.groupCycle.get(k) == 80) continue;
    const std::uint32_t bit = 1u << (letter - u'A');
    if ((seen & bit) != 0) continue;
    seen |= bit;
    const View number = wordNumberAt(code, at + 1);
    if (number.empty() || number.find(u'.') != kNowhere || !isDigit(number.back())) continue;
    const double value = wordNumberValue(number);
    if (value == 0) continue;
    Finding& f = add(g, k, Rule::missingDecimalPoint, code, at, code.substr(at, 1 + number.size()));
    f.numbers[0] = value;
    f.detail = lint_.inch ? 1 : 0;
  }
}
