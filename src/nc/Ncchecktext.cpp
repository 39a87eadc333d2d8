// The text of a block as the checker reads it: constructs it does not evaluate, G codes it ignores or
// misreads, blanks that cut numbers off, numbers too large to hold.
#include <algorithm>
#include <cmath>

#include "nc/Nccheck.hpp"
#include "nc/Ncgeometry.hpp"
#include "util/Number.hpp"

using View = std::u16string_view;

namespace {

constexpr std::size_t kNowhere = View::npos;

enum Action : unsigned char { kIgnore, kMacro, kGWord, kMWord, kBlank, kName };

constexpr std::array<Action, 128> kActions = [] {
  std::array<Action, 128> table{};
  table['#'] = kMacro;
  table['['] = kMacro;
  table['G'] = kGWord;
  table['M'] = kMWord;
  table[' '] = kBlank;
  table['\t'] = kBlank;
  table['<'] = kName;
  return table;
}();

// The letters whose numbers the interpreter reads.
bool isReadLetter(char16_t c) {
  switch (c) {
    case u'G':
    case u'X':
    case u'Y':
    case u'Z':
    case u'I':
    case u'J':
    case u'K':
    case u'R':
    case u'F':
    case u'D':
    case u'T':
    case u'H':
      return true;
    default:
      return false;
  }
}

bool isCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }

// The G codes outside the modal groups that never change the drawn path (units, work offsets, path, feed
// and spindle modes, cancels), in tenths: 541 is G54.1.
constexpr int kHarmlessTenths[] = {150, 200, 210, 500, 501, 540, 541, 550, 560, 570, 580, 590, 591,
                                   592, 593, 610, 611, 640, 670, 690, 930, 940, 950, 960, 970};

// The value in tenths when it is a whole number of tenths, else -1.
int tenthsOf(double value) {
  const double tenths = value * 10;
  const double whole = std::round(tenths);
  if (!(std::fabs(tenths - whole) < 1e-6) || std::fabs(whole) > 1e6) return -1;
  return static_cast<int>(whole);
}

bool isHarmless(double value) {
  const int tenths = tenthsOf(value);
  return std::find(std::begin(kHarmlessTenths), std::end(kHarmlessTenths), tenths) != std::end(kHarmlessTenths);
}

// The keywords of O-word program control.
constexpr View kOWordKeywords[] = {u"SUB",    u"ENDSUB", u"CALL",     u"RETURN", u"IF",
                                   u"ELSEIF", u"ELSE",   u"ENDIF",    u"WHILE",  u"ENDWHILE",
                                   u"DO",     u"BREAK",  u"CONTINUE", u"REPEAT", u"ENDREPEAT"};

Unsupported kindOf(Construct construct) {
  switch (construct) {
    case Construct::macroVariable:
    case Construct::expression:
      return Unsupported::macro;
    case Construct::subprogramCall:
    case Construct::macroCall:
    case Construct::jump:
    case Construct::oWordControl:
      return Unsupported::subprogram;
    case Construct::rotation:
    case Construct::scaling:
    case Construct::polar:
      return Unsupported::transform;
    case Construct::localShift:
    case Construct::coordinateSetting:
      return Unsupported::shift;
  }
  return Unsupported::macro;
}

// Sign, point and digits after a letter, as a word reads them ('$' words are not numbers).
View numberTextAt(View code, std::size_t from) { return wordNumberAt(code, from); }

// Integer digits of a number text, leading zeros left out.
std::size_t integerDigits(View number) {
  std::size_t i = 0;
  if (i < number.size() && (number[i] == u'+' || number[i] == u'-')) ++i;
  while (i < number.size() && number[i] == u'0') ++i;
  std::size_t digits = 0;
  while (i + digits < number.size() && isDigit(number[i + digits])) ++digits;
  return digits;
}

// The blank at `at` follows a letter whose number the interpreter reads, so it cuts the number off: the
// length of the letter, blanks and number; 0 when it does not. `firstOfLetter` is where that letter first
// stands in the code.
std::size_t blankEndsWord(View code, std::size_t at, std::size_t firstOfLetter) {
  const char16_t letter = code[at - 1];
  // A letter inside a longer word (GOTO 10, END 1) is no address.
  if (at >= 2 && isCapital(code[at - 2])) return 0;
  // Only the first X (Y, ...) of a line is read; every G is.
  if (letter != u'G' && firstOfLetter != at - 1) return 0;
  std::size_t next = at;
  while (next < code.size() && isBlank(code[next])) ++next;
  if (next == code.size() || !startsNumber(code[next])) return 0;
  return next + numberTextAt(code, next).size() - (at - 1);
}

}  // namespace

std::size_t kNcChecker::LineState::firstOf(char16_t capital) {
  constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  if (!firstKnown) {
    first.fill(kAbsent);
    const std::size_t end = std::min<std::size_t>(code.size(), kAbsent);
    for (std::size_t i = 0; i < end; ++i) {
      if (isCapital(code[i]) && first[code[i] - u'A'] == kAbsent)
        first[code[i] - u'A'] = static_cast<std::uint32_t>(i);
    }
    firstKnown = true;
  }
  const std::uint32_t at = first[capital - u'A'];
  return at == kAbsent ? kNowhere : at;
}

void kNcChecker::noteOrdinaryText(const kNcGeometry& g, int k, View code, const ScannedBlock& words) {
  LineState line(code);
  if (words.firstOf(u'O') != kNowhere) noteOWord(g, k, code, line);
  const GWordsFound& read = g.gWordsRead();
  for (int group = kGroupOneShot; group <= kGroupDistance; ++group) {
    const View word = read[group];
    if (word.empty() || (group != kGroupOneShot && word.find(u'.') == kNowhere)) continue;
    const std::size_t at = static_cast<std::size_t>(word.data() - words.text.data());
    if (at < code.size()) noteReadGWord(g, k, code, at, word, group, wordNumberValue(word.substr(1)), line);
  }
  if (words.firstOf(u'M') == kNowhere) return;
  for (std::size_t at = code.find(u'M'); at != kNowhere; at = code.find(u'M', at + 1))
    noteMWord(g, k, code, at, line);
}

void kNcChecker::scanCode(const kNcGeometry& g, int k, View code, LineState& line) {
  if (code.size() > kLongestReadableNumber) noteOverflows(g, k, code, line);
  std::size_t nameEnd = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char16_t c = code[i];
    if (c >= 128) {
      if (c == 0x3000) noteBlank(g, k, code, i, line);
      continue;
    }
    switch (kActions[c]) {
      case kIgnore:
        break;
      case kMacro:
        noteUnsupported(g, k, code, i, code.substr(i, 1),
                        c == u'#' ? Construct::macroVariable : Construct::expression, line);
        break;
      case kGWord:
        noteGWord(g, k, code, i, line);
        break;
      case kMWord:
        noteMWord(g, k, code, i, line);
        break;
      case kBlank:
        noteBlank(g, k, code, i, line);
        break;
      case kName:
        // A name in angle brackets (O<POCKET>, #<_DEPTH>) holds letters that are no words. The search for
        // its end is kept, so that a line of unclosed brackets costs one pass.
        if (nameEnd != kNowhere && nameEnd <= i) nameEnd = code.find(u'>', i);
        if (nameEnd != kNowhere) i = nameEnd;
        break;
    }
  }
}

void kNcChecker::noteGWord(const kNcGeometry& g, int k, View code, std::size_t at, LineState& line) {
  const View number = numberTextAt(code, at + 1);
  const View word = code.substr(at, 1 + number.size());
  if (number.empty()) {
    if (code.substr(at + 1).starts_with(u"OTO"))
      noteUnsupported(g, k, code, at, code.substr(at, 4), Construct::jump, line);
    // A G without a number ends the reading of the line's G codes.
    if (!line.gStopped) line.stopWord = word;
    line.gStopped = true;
    return;
  }
  const int group = gCodeGroupOf(number);
  const double value = wordNumberValue(number);
  if (group < 0) {
    noteUnknownG(g, k, code, at, word, value, line);
  } else if (line.gStopped) {
    // The rewrites of the one-shot group look for their words anywhere in the line.
    if (group == kGroupOneShot) noteReadGWord(g, k, code, at, word, group, value, line);
    const kNcGroupColumn read(g, static_cast<GroupIndex>(group));
    if (group != kGroupOneShot && gNumberAt(read, k) != truncToInt(value)) {
      add(g, k, Rule::gCodeNotRead, code, at, word).appendToken(line.stopWord);
    }
  } else {
    noteReadGWord(g, k, code, at, word, group, value, line);
  }
}

// A G word of a modal group that the reading took.
void kNcChecker::noteReadGWord(const kNcGeometry& g, int k, View code, std::size_t at, View word, int group,
                               double value, LineState& line) {
  const int whole = truncToInt(value);
  if (group == kGroupOneShot && whole == 52) noteUnsupported(g, k, code, at, word, Construct::localShift, line);
  const bool pathGroup = group == kGroupMotion || group == kGroupPlane || group == kGroupDistance;
  if (value != whole && !line.gStopped && (pathGroup || (group == kGroupOneShot && whole == 92))) {
    add(g, k, Rule::gCodeReadAs, code, at, word).numbers[0] = whole;
  }
}

void kNcChecker::noteUnknownG(const kNcGeometry& g, int k, View code, std::size_t at, View word, double value,
                              LineState& line) {
  if (!line.gStopped) line.stopWord = word;
  line.gStopped = true;
  if (isHarmless(value)) return;
  switch (truncToInt(value)) {
    case 68:
      noteUnsupported(g, k, code, at, word, Construct::rotation, line);
      return;
    case 51:
      noteUnsupported(g, k, code, at, word, Construct::scaling, line);
      return;
    case 16:
      noteUnsupported(g, k, code, at, word, Construct::polar, line);
      return;
    case 65:
    case 66:
      noteUnsupported(g, k, code, at, word, Construct::macroCall, line);
      return;
    default:
      add(g, k, Rule::unknownGCode, code, at, word);
  }
}

void kNcChecker::noteMWord(const kNcGeometry& g, int k, View code, std::size_t at, LineState& line) {
  const View number = numberTextAt(code, at + 1);
  const double value = number.empty() ? -1 : wordNumberValue(number);
  const View word = code.substr(at, 1 + number.size());
  if (value == 98) noteUnsupported(g, k, code, at, word, Construct::subprogramCall, line);
  // M99 alone ends a subprogram, which the interpreter follows; with P it jumps.
  if (value == 99 && line.firstOf(u'P') != kNowhere) noteUnsupported(g, k, code, at, word, Construct::jump, line);
}

void kNcChecker::noteBlank(const kNcGeometry& g, int k, View code, std::size_t at, LineState& line) {
  if (line.blankNoted || at == 0 || !isReadLetter(code[at - 1])) return;
  const std::size_t length = blankEndsWord(code, at, line.firstOf(code[at - 1]));
  if (length == 0) return;
  line.blankNoted = true;
  add(g, k, Rule::blankAfterLetter, code, at - 1, code.substr(at - 1, length));
}

void kNcChecker::noteOWord(const kNcGeometry& g, int k, View code, LineState& line) {
  std::size_t i = 0;
  while (i < code.size() && (isBlank(code[i]) || code[i] == u'/')) ++i;
  if (i == code.size() || code[i] != u'O') return;
  const std::size_t at = i++;
  if (i < code.size() && code[i] == u'<') {
    const std::size_t close = code.find(u'>', i);
    if (close == kNowhere) return;
    i = close + 1;
  } else {
    while (i < code.size() && isDigit(code[i])) ++i;
  }
  while (i < code.size() && isBlank(code[i])) ++i;
  std::size_t end = i;
  while (end < code.size() && isCapital(code[end])) ++end;
  const View keyword = code.substr(i, end - i);
  // A program number (O1001) alone is no control.
  if (std::find(std::begin(kOWordKeywords), std::end(kOWordKeywords), keyword) == std::end(kOWordKeywords)) return;
  noteUnsupported(g, k, code, at, keyword, Construct::oWordControl, line);
}

void kNcChecker::noteOverflows(const kNcGeometry& g, int k, View code, LineState& line) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char16_t letter = code[i];
    if (!isReadLetter(letter) || (letter != u'G' && line.firstOf(letter) != i)) continue;
    const View number = numberTextAt(code, i + 1);
    const std::size_t digits = integerDigits(number);
    // Read as 0: a value that does not overflow is at least 10^308.
    if (digits <= kLongestReadableNumber || wordNumberValue(number) != 0) continue;
    add(g, k, Rule::numberOverflow, code, i, code.substr(i, 1)).numbers[0] = static_cast<double>(digits);
  }
}

void kNcChecker::noteUnsupported(const kNcGeometry& g, int k, View code, std::size_t at, View token,
                                 Construct construct, LineState& line) {
  const unsigned bit = 1u << static_cast<unsigned>(kindOf(construct));
  if ((line.kindsNoted & bit) != 0) return;
  line.kindsNoted |= bit;
  add(g, k, Rule::unsupported, code, at, token).detail = static_cast<std::uint8_t>(construct);
}
