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
  bool g04 = false, g4 = false, g28 = false, g90 = false, g92 = false;
  bool m06 = false, m6 = false, m99 = false;
};

namespace {

using View = std::u16string_view;

bool contains(View text, View piece) { return text.find(piece) != View::npos; }

constexpr double kDwellFactor = 1000;  // seconds to milliseconds

WorkWords scanWork(View work) {
  WorkWords found;
  for (std::size_t i = 0; i < work.size(); ++i) {
    const char16_t c = work[i];
    if (c != u'X' && c != u'Y' && c != u'Z' && c != u'G' && c != u'M') continue;
    const View rest = work.substr(i + 1);
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
        found.g28 = found.g28 || rest.starts_with(u"28");
        found.g90 = found.g90 || rest.starts_with(u"90");
        found.g92 = found.g92 || rest.starts_with(u"92");
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

}  // namespace

int kNcGeometry::interpretBlock(View line) {
  const int k = blockCount;
  appendBlockText(line);
  splitComments(blockTextAt(k), previousState(k), previousOpenPair(k), split);
  work.swap(split.code);
  const std::size_t codeLength = work.size();
  WorkWords words = scanWork(work);
  if (!words.g28) {
    seenX = seenX || words.x;
    seenY = seenY || words.y;
    seenZ = seenZ || words.z;
  }
  BlockFacts facts;
  facts.rewritten = rewriteSpecialBlocks(k, words);

  const ScannedBlock scanned(work);
  facts.closerLook = split.closerLook || scanned.hasLetterBeforeBlank() || codeLength > kLongestReadableNumber;
  kNcXYZIJK::readBlock(scanned);
  kNcTool::readBlock(scanned);
  kNcFeed::readBlock(scanned);
  readGCodes(work);
  const int motion = gNumberAt(groupMotion, k);
  const int plane = gNumberAt(groupPlane, k);
  const int distance = gNumberAt(groupDistance, k);

  toolDiameter.add(toolDiameterFor(k, split.state, split.comment));
  recordEndPoint(k, distance, words);
  ArcFacts& arc = facts.arc;
  RadiusArc radiusArc{};
  if (motion == 2 || motion == 3) {
    arc.isArc = true;
    // R is not modal: only the block's own R word gives the centre, and R0 gives none.
    arc.radiusWord = wordNumberValue(radiusWord.extractNumberText(scanned));
    if (arc.radiusWord != 0) {
      radiusArc = recordRadiusArc(plane, k, arc.radiusWord);
      arc.byRadius = &radiusArc;
    } else {
      recordArc(plane, k);
    }
  } else {
    centreX.add(0);
    centreY.add(0);
    arcRadius.add(0);
  }
  commentStates.add(split.state);
  openPairs.push_back(static_cast<unsigned char>(split.openPair));
  if (split.state == -1 && syntaxErrorBlock_ == 0) syntaxErrorBlock_ = k;
  ++blockCount;
  // The rewrites only add to the code text, unless they replaced it.
  const View code = facts.rewritten ? View(replacedCode) : View(work).substr(0, codeLength);
  checker_.noteBlock(*this, k, code, scanned, facts);
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
    const View oneShot = scanGWords(work)[0];
    const bool dwell = !oneShot.empty() && truncToInt(wordNumberValue(oneShot.substr(1))) == 4;
    if (dwell && words.x) {
      // The dwell time given with X is no coordinate: the block keeps only the time, in milliseconds.
      const int time = truncToInt(numberAfter(work, u"X") * kDwellFactor);
      replace(u"G04P" + formatInt(time, 1));
    }
  }
  if (words.g28) replace(u"G28");
  if (words.m06 || words.m6) {
    appendWord(work, u'X', toolChangeX, 3);
    appendWord(work, u'Y', toolChangeY, 3);
    appendWord(work, u'Z', toolChangeZ, 3);
    words.x = words.y = words.z = true;
  }
  if (words.m99) {
    work += u"\nG90G00X0Y0Z500.";
    words.g90 = words.x = words.y = words.z = true;
  }
  if (words.g92) {
    work += u"\nG91G00X0Y0Z0.";
    words.x = words.y = words.z = true;
  }
  if (words.g90) {
    // Modal X, Y, Z words stay absolute after incremental blocks.
    if (!words.x) appendWord(work, u'X', absX.at(k - 1), 5);
    if (!words.y) appendWord(work, u'Y', absY.at(k - 1), 5);
    if (!words.z) appendWord(work, u'Z', absZ.at(k - 1), 5);
    words.x = words.y = words.z = true;
  }
  return replaced;
}

double kNcGeometry::toolDiameterFor(int k, int state, View comment) const {
  const double previous = toolDiameter.at(k - 1);
  if (state == 0) return previous;
  std::u16string upper(comment);
  upperCaseInPlace(upper);
  const std::u16string text = stripBlanks(upper);
  double value = 0;
  // The later key wins when a comment holds both.
  for (int key = 0; key < 2; ++key) {
    if (contains(text, diameterKeys[key])) value = numberAfter(text, diameterKeys[key]);
  }
  return value == 0 ? previous : value;
}

void kNcGeometry::recordEndPoint(int k, int distance, const WorkWords& words) {
  const double x0 = absX.at(k - 1), y0 = absY.at(k - 1), z0 = absZ.at(k - 1);
  double xEnd = x0, yEnd = y0, zEnd = z0;
  if (distance == 91) {
    if (words.x) xEnd += x.at(k);
    if (words.y) yEnd += y.at(k);
    if (words.z) zEnd += z.at(k);
  } else if (gNumberAt(groupDistance, k - 1) != 91) {
    xEnd = x.at(k);
    yEnd = y.at(k);
    zEnd = z.at(k);
  }
  // The block in which G90 returns keeps the previous end point; its words act from the next block on.
  absX.add(xEnd);
  absY.add(yEnd);
  absZ.add(zEnd);
  widen(minX, maxX, xEnd, xEnd, seenX);
  widen(minY, maxY, yEnd, yEnd, seenY);
  widen(minZ, maxZ, zEnd, zEnd, seenZ);
}
