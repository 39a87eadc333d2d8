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
  unsigned frame = 0;  // FrameCommand bits
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

// The frame command a G word's number starts with (G52 G68 G69 G16 G15), 0 for none: the whole code only.
unsigned frameCommandOf(View number) {
  while (number.size() > 2 && number[0] == u'0' && isDigit(number[1])) number.remove_prefix(1);
  if (number.size() < 2 || !isDigit(number[0]) || !isDigit(number[1])) return 0;
  if (number.size() > 2 &&
      (isDigit(number[2]) || (number[2] == u'.' && !isWholeCode(number, number.substr(0, 2)))))
    return 0;
  switch ((number[0] - u'0') * 10 + (number[1] - u'0')) {
    case 15:
      return kPolarOff;
    case 16:
      return kPolarOn;
    case 52:
      return kLocalShift;
    case 68:
      return kTurn;
    case 69:
      return kCancelTurn;
    default:
      return 0;
  }
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
        found.frame |= frameCommandOf(rest);
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

template <typename Point>
void appendPoint(std::u16string& work, const Point& at, int decimals) {
  appendWord(work, u'X', at.x, decimals);
  appendWord(work, u'Y', at.y, decimals);
  appendWord(work, u'Z', at.z, decimals);
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
  // The tool change and the reference return go to fixed points: never arcs, whatever motion is in force; a
  // block whose words set the frame goes nowhere.
  reading.fixedPoint = words.g28 || words.m6 || words.m06 || (words.frame & kWordTakingCommands) != 0;
  reading.toolChange = words.m6 || words.m06;
  reading.frame = words.frame;
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
  // The tool-change point is a machine position: no shift or turn ever moves it.
  if (words.m06 || words.m6) {
    appendPoint(work, programPointOf({toolChangeX, toolChangeY, toolChangeZ}), 3);
    words.x = words.y = words.z = true;
  }
  if (words.m99) appendReturnToStart(words);
  // G92 sets coordinates without moving and leaves the motion and distance modes alone; so do G52 and G68.
  if (words.g92 || words.g92Cancel) words.frame |= words.g92 ? kSetCoordinates : kCancelSetting;
  if (words.g90) {
    // Modal X, Y, Z words stay absolute after incremental blocks.
    const Point3 at = programPointOf(ends_[static_cast<std::size_t>(k - 1)]);
    if (!words.x) appendWord(work, u'X', at.x, 5);
    if (!words.y) appendWord(work, u'Y', at.y, 5);
    if (!words.z) appendWord(work, u'Z', at.z, 5);
    // In a shifted frame the words only restate where the tool is: the block moves the axes it names, under
    // the frame it sets (G90 G55 X10 leaves Y where it is).
    if (!frame_.moved()) words.x = words.y = words.z = true;
  }
  return replaced;
}

void kNcGeometry::appendReturnToStart(WorkWords& words) {
  if (!frame_.bent() && sameBits(programPointOf({0, 0, 500}), Point3{0, 0, 500})) {
    work += u"\nG90G00X0Y0Z500.";
  } else {
    work += u"\nG90G00";
    appendPoint(work, programPointOf({0, 0, 500}), 5);
  }
  words.g90 = words.x = words.y = words.z = true;
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

kNcGeometry::Point3 kNcGeometry::programPointOf(const Point3& drawing) const {
  if (!frame_.bent()) {
    const kNcFrame::Point& shift = frame_.shift();
    return {drawing.x - shift[0], drawing.y - shift[1], drawing.z - shift[2]};
  }
  const kNcFrame::Point p = frame_.toProgram({drawing.x, drawing.y, drawing.z});
  return {p[0], p[1], p[2]};
}

std::array<double, 3> kNcGeometry::workPosition() const {
  const Point3& end = ends_.back();
  return frame_.toProgram({end.x, end.y, end.z}, false);
}

void kNcGeometry::applyFrameCommands(const Point3& previous, int plane, const BlockReading& reading) {
  const kNcFrame::Point at{previous.x, previous.y, previous.z};
  const kNcFrame::Axes named{reading.x, reading.y, reading.z};
  const kNcFrame::Point words{coordState_.x.lastValue(), coordState_.y.lastValue(), coordState_.z.lastValue()};
  const unsigned commands = reading.frame;
  if ((commands & kCancelTurn) != 0) frame_.cancelTurn();
  if ((commands & kPolarOff) != 0) frame_.setPolar(false);
  if ((commands & kCancelSetting) != 0) frame_.cancelSetting();
  if ((commands & kSetCoordinates) != 0) frame_.setCoordinates(at, named, words);
  if ((commands & kLocalShift) != 0) frame_.setLocal(named, words);
  if ((commands & kTurn) != 0) {
    // The centre's axes left out are where the tool stands; R left out turns by nothing.
    kNcFrame::Point centre = frame_.toProgram(at, false);
    for (std::size_t i = 0; i < 3; ++i) {
      if (named[i]) centre[i] = words[i];
    }
    const double degrees = reading.words.has(kWordR) ? reading.words.value(kWordR) : 0;
    frame_.turn(plane, centre, degrees);
  }
  if ((commands & kPolarOn) != 0) frame_.setPolar(true);
}

kNcGeometry::Point3 kNcGeometry::framedEndPoint(const Point3& previous, int distance,
                                                const BlockReading& reading) const {
  if (reading.toolChange) return {toolChangeX, toolChangeY, toolChangeZ};
  const Point3 words{coordState_.x.lastValue(), coordState_.y.lastValue(), coordState_.z.lastValue()};
  if (!frame_.bent()) {
    // An axis the block does not name stays where it is.
    const kNcFrame::Point& shift = frame_.shift();
    return {reading.x ? words.x + shift[0] : previous.x, reading.y ? words.y + shift[1] : previous.y,
            reading.z ? words.z + shift[2] : previous.z};
  }
  if (!reading.x && !reading.y && !reading.z) return previous;
  const bool named[3] = {reading.x, reading.y, reading.z};
  const double given[3] = {words.x, words.y, words.z};
  kNcFrame::Point program = frame_.toProgram({previous.x, previous.y, previous.z});
  for (std::size_t i = 0; i < 3; ++i) {
    if (named[i]) program[i] = distance == 91 ? program[i] + given[i] : given[i];
  }
  const kNcFrame::Point drawn = frame_.toDrawing(program);
  return {drawn[0], drawn[1], drawn[2]};
}

kNcGeometry::Point3 kNcGeometry::framedOffsets(const Point3& offsets, int plane) const {
  if (!absoluteCentres_) {
    const kNcFrame::Point v = frame_.turnVector({offsets.x, offsets.y, offsets.z});
    return {v[0], v[1], v[2]};
  }
  // Under G90.1 the plane's two words are the centre's program coordinates.
  const kNcFrame::Point c = frame_.toDrawing({offsets.x, offsets.y, offsets.z}, false);
  return {plane == 19 ? offsets.x : c[0], plane == 18 ? offsets.y : c[1], plane == 17 ? offsets.z : c[2]};
}
