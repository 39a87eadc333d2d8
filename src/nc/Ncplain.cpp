// Plain lines in one pass: each byte looked at once, each number read where it stands.
#include "nc/Ncplain.hpp"

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "nc/Ncgeometry.hpp"
#include "util/Number.hpp"

namespace {

// Longer lines are looked at closely by the checker (a number may overflow): they are read as text.
constexpr std::size_t kLongestPlainLine = 300;

// The word each letter is, or -1: G and the letters the interpreter ignores are handled apart.
constexpr std::array<std::int8_t, 26> kWordOfLetter = [] {
  std::array<std::int8_t, 26> words{};
  words.fill(-1);
  for (int w = 0; w < kWordLetters; ++w) words[kWordLetterChars[w] - u'A'] = static_cast<std::int8_t>(w);
  return words;
}();

// The G codes a plain line may hold: those of the motion, plane, incremental, cycle, return and work groups
// that the interpreter does not rewrite (G90 is) and the checker need not look at (no decimal point).
template <typename Char>
bool isPlainGCode(std::basic_string_view<Char> number, int group, int code) {
  if (number.find(Char('.')) != number.npos) return false;
  switch (group) {
    case kGroupMotion:
    case kGroupPlane:
    case kGroupCycle:
    case kGroupReturn:
    case kGroupWork:
      return true;
    case kGroupDistance:
      return code == 91;
    default:
      return false;
  }
}

// The line without its line feed and a CR before it (a text-mode read drops that one CR), or false when it is
// too long to be plain.
template <typename Char>
bool lineBody(std::basic_string_view<Char> line, std::basic_string_view<Char>& body) {
  const bool lf = !line.empty() && line.back() == Char('\n');
  if (lf) line.remove_suffix(1);
  if (lf && !line.empty() && line.back() == Char('\r')) line.remove_suffix(1);
  body = line;
  return line.size() <= kLongestPlainLine;
}

// A line starting with "VAR" is cut to a variable name before it is read.
template <typename Char>
bool startsWithVar(std::basic_string_view<Char> body) {
  return body.size() >= 3 && (body[0] | 0x20) == 'v' && (body[1] | 0x20) == 'a' && (body[2] | 0x20) == 'r';
}

template <typename Char>
bool readG(std::basic_string_view<Char> body, std::size_t& i, PlainLine& out) {
  double value = 0;
  const std::basic_string_view<Char> number = readWordNumberAt(body, i + 1, value);
  if (number.empty()) return false;
  const int group = gCodeGroupOf(value, false);
  if (group < 0 || !isPlainGCode(number, group, truncToInt(value))) return false;
  // The later of two words of one group counts.
  out.gcodes.set(group, value);
  i += number.size();
  return true;
}

template <typename Char>
bool readWord(std::basic_string_view<Char> body, std::size_t& i, int word, PlainLine& out) {
  double value = 0;
  const std::basic_string_view<Char> number = readWordNumberAt(body, i + 1, value);
  if (number.empty()) return true;
  out.words.set(static_cast<WordLetter>(word), value);
  // Standard decimal input reads these in least increments: the scan that reads the number tells.
  if ((kIncrementWords >> word & 1) != 0 && hasNoPoint(number)) {
    out.words.withoutPoint = static_cast<std::uint16_t>(out.words.withoutPoint | 1u << word);
  }
  if (word == kWordF) {
    if (number.size() > PlainLine::kLongestFeed) return false;
    std::copy(number.begin(), number.end(), out.feed.begin());
    out.feedLength = static_cast<std::uint8_t>(number.size());
  }
  i += number.size();
  return true;
}

template <typename Char>
bool scanLine(std::basic_string_view<Char> line, const std::array<bool, 128>& textOnly, PlainLine& out) {
  std::basic_string_view<Char> body;
  if (!lineBody(line, body) || startsWithVar(body)) return false;
  out.words = BlockWords();
  out.gcodes = BlockGCodes();
  out.feedLength = 0;
  out.endComment = false;
  std::uint32_t seen = 0;  // the letters met so far: only a letter's first occurrence gives its word
  for (std::size_t i = 0; i < body.size(); ++i) {
    const auto c = static_cast<std::make_unsigned_t<Char>>(body[i]);
    // A ';' that ends the line (a control's end of block) is an empty comment, with no diameter in it.
    if (c == ';' && i + 1 == body.size()) {
      out.endComment = true;
      break;
    }
    if (c >= 128 || textOnly[c]) return false;
    const unsigned letter = static_cast<unsigned>((c & ~0x20u) - 'A');
    if (letter >= 26 || (c & 0x40) == 0) continue;
    if (letter == 'G' - 'A') {
      if (!readG(body, i, out)) return false;
      continue;
    }
    const std::uint32_t bit = 1u << letter;
    if ((seen & bit) != 0) continue;
    seen |= bit;
    if (kWordOfLetter[letter] >= 0 && !readWord(body, i, kWordOfLetter[letter], out)) return false;
  }
  out.x = (seen & 1u << ('X' - 'A')) != 0;
  out.y = (seen & 1u << ('Y' - 'A')) != 0;
  out.z = (seen & 1u << ('Z' - 'A')) != 0;
  return true;
}

}  // namespace

bool scanPlainLine(std::string_view line, const std::array<bool, 128>& textOnly, PlainLine& out) {
  return scanLine(line, textOnly, out);
}

bool scanPlainLine(std::u16string_view line, const std::array<bool, 128>& textOnly, PlainLine& out) {
  return scanLine(line, textOnly, out);
}

bool kNcGeometry::readPlainLine(const PlainLine& line, std::size_t lineEnd) {
  if (!readsPlain()) return false;
  texts_.addLine(lineEnd);
  readPlainWords(line);
  return true;
}

int kNcGeometry::interpretPlainBlock(std::u16string_view block) {
  PlainLine line;
  if (!readsPlain() || !scanPlainLine(block, textOnlyBytes_, line)) return interpretBlock(block);
  texts_.addOwn(block);
  readPlainWords(line);
  return blockCount;
}

// A line inside a comment left open, or after a syntax error, is read as text.
bool kNcGeometry::readsPlain() const {
  const int previous = previousState(blockCount);
  return previous == 0 || previous == 1;
}

void kNcGeometry::readPlainWords(const PlainLine& line) {
  const int k = blockCount;
  seenX = seenX || line.x;
  seenY = seenY || line.y;
  seenZ = seenZ || line.z;
  BlockReading reading;
  reading.words = line.words;
  reading.words.feedNumber = line.feedNumber();
  reading.gcodes = line.gcodes;
  reading.x = line.x;
  reading.y = line.y;
  reading.z = line.z;
  reading.commentState = line.endComment ? 1 : 0;
  noteUnits(reading.gcodes);
  reading.toolDiameter = commentDiameter_ ? diameters_.last() : uncommentedDiameter();
  applyDecimalInput(reading.words);
  BlockFacts facts;
  RadiusArc radiusArc{};
  recordBlock(reading, facts, radiusArc);
  checker_.noteRecords(*this, k, {}, line.words.has(kWordD), facts);
}
