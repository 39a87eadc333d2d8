// The text of a block as the checker reads it: constructs it does not evaluate, G codes it ignores, numbers
// too large to hold.
#include <algorithm>
#include <cmath>

#include "nc/Nccheck.hpp"
#include "nc/Ncgeometry.hpp"
#include "util/Number.hpp"

using View = std::u16string_view;

namespace {

constexpr std::size_t kNowhere = View::npos;

enum Action : unsigned char { kIgnore, kMacro, kGWord, kMWord, kName };

constexpr std::array<Action, 128> kActions = [] {
  std::array<Action, 128> table{};
  table['#'] = kMacro;
  table['['] = kMacro;
  table['G'] = kGWord;
  table['M'] = kMWord;
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

// The G codes outside the modal groups that the reading follows (polar words, the turn of G68) or that never
// change the drawn path (work offsets, path, feed and spindle modes, cancels, the G92 offset resets,
// spindle-synchronised tapping), in tenths: 541 is G54.1.
constexpr int kHarmlessTenths[] = {150, 160, 331, 500, 501, 540, 541, 550, 560, 570, 580, 590, 591, 592, 593,
                                   610, 611, 640, 670, 680, 690, 921, 922, 923, 930, 940, 950, 960, 970};

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

// Sign, point and digits after a letter and any blanks, as a word reads them ('$' words are not numbers).
View numberTextAt(View code, std::size_t from) {
  while (from < code.size() && isBlank(code[from])) ++from;
  return wordNumberAt(code, from);
}

// The word at `at` through the end of its number text.
View wordAt(View code, std::size_t at, View number) {
  return number.empty() ? code.substr(at, 1) : code.substr(at, number.data() + number.size() - (code.data() + at));
}

// Integer digits of a number text, leading zeros left out.
std::size_t integerDigits(View number) {
  std::size_t i = 0;
  if (i < number.size() && (number[i] == u'+' || number[i] == u'-')) ++i;
  while (i < number.size() && number[i] == u'0') ++i;
  std::size_t digits = 0;
  while (i + digits < number.size() && isDigit(number[i + digits])) ++digits;
  return digits;
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
  if (words.firstOf(u'M') == kNowhere) return;
  for (std::size_t at = code.find(u'M'); at != kNowhere; at = code.find(u'M', at + 1))
    noteMWord(g, k, code, at, line);
}

void kNcChecker::scanCode(const kNcGeometry& g, int k, View code, LineState& line) {
  if (code.size() > kLongestReadableNumber) noteOverflows(g, k, code, line);
  std::size_t nameEnd = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char16_t c = code[i];
    if (c >= 128) continue;
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
  const View word = wordAt(code, at, number);
  if (number.empty()) {
    if (code.substr(at + 1).starts_with(u"OTO"))
      noteUnsupported(g, k, code, at, code.substr(at, 4), Construct::jump, line);
    return;
  }
  const int group = gCodeGroupOf(number);
  const double value = wordNumberValue(number);
  if (group < 0) {
    noteUnknownG(g, k, code, at, word, value, line);
  }
}

void kNcChecker::noteUnknownG(const kNcGeometry& g, int k, View code, std::size_t at, View word, double value,
                              LineState& line) {
  if (isHarmless(value)) return;
  // A decimal code is its own: G68.2 is no G68.
  if (value != truncToInt(value)) {
    add(g, k, Rule::unknownGCode, code, at, word);
    return;
  }
  switch (truncToInt(value)) {
    case 51:
      noteUnsupported(g, k, code, at, word, Construct::scaling, line);
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
  const View word = wordAt(code, at, number);
  if (value == 98) noteUnsupported(g, k, code, at, word, Construct::subprogramCall, line);
  // M99 alone ends a subprogram, which the interpreter follows; with P it jumps.
  if (value == 99 && line.firstOf(u'P') != kNowhere) noteUnsupported(g, k, code, at, word, Construct::jump, line);
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
