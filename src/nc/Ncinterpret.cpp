// The block interpreter: comments split off, special blocks rewritten into plain moves, words and G codes
// recorded, then the absolute end point, the tool diameter, the extents and the arc record.
#include "nc/Ncgeometry.hpp"
#include "util/Format.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

// The words the special-block rules look for, found in one pass over the working text and kept up to date
// by the rewrites.
struct WorkWords {
  bool x = false, y = false, z = false;
  bool g04 = false, g4 = false, g28 = false, g90 = false, g92 = false, g92Cancel = false;
  bool m06 = false, m6 = false, m99 = false;
};

namespace {

using View = std::u16string_view;

bool contains(View text, View piece) { return text.find(piece) != View::npos; }

constexpr double kDwellFactor = 1000;  // seconds to milliseconds
constexpr double kMillimetresPerInch = 25.4;
constexpr double kDefaultToolDiameter = 10;  // mm

// The number of a word begins with `digits` and has no decimal part beyond them: G28.1 is no G28.
bool isWholeCode(View number, View digits) {
  if (!number.starts_with(digits)) return false;
  std::size_t i = digits.size();
  if (i == number.size() || number[i] != u'.') return true;
  while (++i < number.size() && number[i] == u'0') {
  }
  return i == number.size() || !isDigit(number[i]);
}

WorkWords scanWork(View work) {
  WorkWords found;
  for (std::size_t i = 0; i < work.size(); ++i) {
    const char16_t c = work[i];
    if (c != u'X' && c != u'Y' && c != u'Z' && c != u'G' && c != u'M') continue;
    View rest = work.substr(i + 1);
    while (!rest.empty() && isBlank(rest[0])) rest.remove_prefix(1);
    switch (c) {
      case u'X':
        found.x = true;
        break;
      case u'Y':
        found.y = true;
        break;
      case u'Z':
        found.z = true;
        break;
      case u'G':
        found.g4 = found.g4 || rest.starts_with(u"4");
        found.g04 = found.g04 || rest.starts_with(u"04");
        found.g28 = found.g28 || isWholeCode(rest, u"28");
        found.g90 = found.g90 || isWholeCode(rest, u"90");
        found.g92 = found.g92 || isWholeCode(rest, u"92");
        found.g92Cancel = found.g92Cancel || rest.starts_with(u"92.1") || rest.starts_with(u"92.2");
        break;
      case u'M':
        found.m6 = found.m6 || rest.starts_with(u"6");
        found.m06 = found.m06 || rest.starts_with(u"06");
        found.m99 = found.m99 || rest.starts_with(u"99");
        break;
      default:
        break;
    }
  }
  return found;
}

// Appended words start on a line of their own, so that a '$' word before them ends where it was written.
void appendWord(std::u16string& work, char16_t letter, double value, int decimals) {
  work += u'\n';
  work += letter;
  appendFormatReal(work, value, decimals);
}

// Forgets that a number has no point where its word was not written in the line.
void keepWrittenOnly(BlockWords& words, const ScannedBlock& scanned, std::size_t codeLength) {
  for (int w = 0; words.withoutPoint != 0 && w < kWordLetters; ++w) {
    const std::size_t at = scanned.firstOf(kWordLetterChars[w]);
    if (at != View::npos && at >= codeLength) words.withoutPoint &= static_cast<std::uint16_t>(~(1u << w));
  }
}

}  // namespace

int kNcGeometry::interpretBlock(View line) {
  texts_.addOwn(line);
  return interpretText(line);
}

int kNcGeometry::interpretLine(View line, std::size_t lineEnd) {
  texts_.addLine(lineEnd);
  return interpretText(line);
}

int kNcGeometry::interpretText(View line) {
  const int k = blockCount;
  lineInHand_ = line;
  lineInHandBlock_ = k;
  splitComments(line, previousState(k), previousOpenPair(k), split);
  work.swap(split.code);
  const std::size_t codeLength = work.size();
  WorkWords words = scanWork(work);
  if (!words.g28) {
    seenX = seenX || words.x;
    seenY = seenY || words.y;
    seenZ = seenZ || words.z;
  }
  BlockFacts facts;
  facts.fixedPoint = words.g28 || words.m6 || words.m06;
  facts.comment = split.comment;
  facts.rewritten = rewriteSpecialBlocks(k, words);

  const ScannedBlock scanned(work);
  facts.closerLook = split.closerLook || codeLength > kLongestReadableNumber;
  BlockReading reading;
  reading.words = wordsOf(scanned);
  // Words the rewrites added carry values already in program units.
  keepWrittenOnly(reading.words, scanned, facts.rewritten ? 0 : codeLength);
  reading.gcodes = gcodes_.scanGCodes(work);
  noteUnits(reading.gcodes);
  applyDecimalInput(reading.words);
  reading.x = words.x;
  reading.y = words.y;
  reading.z = words.z;
  reading.commentState = split.state;
  reading.openPair = split.openPair;
  // The tool change and the reference return go to fixed points: never arcs, whatever motion is in force.
  reading.fixedPoint = words.g28 || words.m6 || words.m06;
  reading.toolDiameter = toolDiameterFor(split.state, split.comment);
  RadiusArc radiusArc{};
  recordBlock(reading, facts, radiusArc);
  // The rewrites only add to the code text, unless they replaced it.
  const View code = facts.rewritten ? View(replacedCode) : View(work).substr(0, codeLength);
  checker_.noteText(*this, k, code, scanned, facts);
  checker_.noteRecords(*this, k, code, reading.words.has(kWordD), facts);
  lineInHandBlock_ = -1;
  return blockCount;
}

bool kNcGeometry::rewriteSpecialBlocks(int k, WorkWords& words) {
  bool replaced = false;
  const auto replace = [&](std::u16string text) {
    if (!replaced) replacedCode.swap(work);
    replaced = true;
    work = std::move(text);
    words = scanWork(work);
  };
  if (words.g04 || words.g4) {
    const View oneShot = scanGWords(work)[kGroupOneShot];
    const bool dwell = !oneShot.empty() && truncToInt(wordTextValue(oneShot)) == 4;
    if (dwell && words.x) {
      // The dwell time given with X is no coordinate: the block keeps only the time, in milliseconds.
      const int time = truncToInt(numberAfter(work, u"X") * kDwellFactor);
      replace(u"G04P" + formatInt(time, 1));
    }
  }
  if (words.g28) replace(u"G28");
  // The tool-change point is a machine position: a G92 shift never moves it.
  if (words.m06 || words.m6) {
    appendWord(work, u'X', toolChangeX - shift_.x, 3);
    appendWord(work, u'Y', toolChangeY - shift_.y, 3);
    appendWord(work, u'Z', toolChangeZ - shift_.z, 3);
    words.x = words.y = words.z = true;
  }
  if (words.m99) {
    if (sameBits(shift_, Point3{0, 0, 0})) {
      work += u"\nG90G00X0Y0Z500.";
    } else {
      work += u"\nG90G00";
      appendWord(work, u'X', -shift_.x, 5);
      appendWord(work, u'Y', -shift_.y, 5);
      appendWord(work, u'Z', 500 - shift_.z, 5);
    }
    words.g90 = words.x = words.y = words.z = true;
  }
  // G92 sets coordinates without moving and leaves the motion and distance modes alone.
  if (words.g92 || words.g92Cancel) coordinateSetting_ = words.g92 ? 1 : 2;
  if (words.g90) {
    // Modal X, Y, Z words stay absolute after incremental blocks.
    if (!words.x) appendWord(work, u'X', endX(k - 1) - shift_.x, 5);
    if (!words.y) appendWord(work, u'Y', endY(k - 1) - shift_.y, 5);
    if (!words.z) appendWord(work, u'Z', endZ(k - 1) - shift_.z, 5);
    words.x = words.y = words.z = true;
  }
  return replaced;
}

double kNcGeometry::uncommentedDiameter() const {
  return inch_ ? kDefaultToolDiameter / kMillimetresPerInch : kDefaultToolDiameter;
}

double kNcGeometry::toolDiameterFor(int state, View comment) {
  // Until a comment gives a diameter, the tool is 10 mm in the units in force.
  const double previous = commentDiameter_ ? diameters_.last() : uncommentedDiameter();
  if (state == 0) return previous;
  std::u16string upper(comment);
  upperCaseInPlace(upper);
  const std::u16string text = stripBlanks(upper);
  double value = 0;
  // The later key wins when a comment holds both.
  for (int key = 0; key < 2; ++key) {
    if (contains(text, diameterKeys[key])) value = numberAfter(text, diameterKeys[key]);
  }
  if (value == 0) return previous;
  if (!commentDiameter_) commentDiameterFrom_ = blockCount;
  commentDiameter_ = true;
  return value;
}
