// The block interpreter: comments split off, special blocks rewritten into plain moves, words and G codes
// recorded, then the absolute end point, the tool diameter, the extents and the arc record.
#include "nc/Ncgeometry.hpp"

#include "util/Utility.hpp"

namespace {

using View = std::u16string_view;

bool contains(View text, View piece) { return text.find(piece) != View::npos; }

constexpr double kDwellFactor = 1000;  // seconds to milliseconds

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
  work.assign(split.code);
  if (!contains(work, u"G28")) {
    seenX = seenX || contains(work, u"X");
    seenY = seenY || contains(work, u"Y");
    seenZ = seenZ || contains(work, u"Z");
  }
  rewriteSpecialBlocks(k);

  kNcXYZIJK::readBlock(work);
  kNcTool::readBlock(work);
  kNcFeed::readBlock(work);
  readGCodes(work);
  const int motion = gNumberAt(groupMotion, k);
  const int plane = gNumberAt(groupPlane, k);
  const int distance = gNumberAt(groupDistance, k);

  toolDiameter.add(toolDiameterFor(k, split.state, split.comment));
  recordEndPoint(k, distance);
  if (motion == 2 || motion == 3) {
    recordArc(plane, k);
  } else {
    centreX.add(0);
    centreY.add(0);
    arcRadius.add(0);
  }
  commentStates.add(split.state);
  openPairs.push_back(static_cast<unsigned char>(split.openPair));
  if (split.state == -1 && syntaxErrorBlock_ == 0) syntaxErrorBlock_ = k;
  return ++blockCount;
}

void kNcGeometry::rewriteSpecialBlocks(int k) {
  if (contains(work, u"G04") || contains(work, u"G4")) {
    const View oneShot = scanGWords(work)[0];
    const bool dwell = !oneShot.empty() && truncToInt(wordNumberValue(oneShot.substr(1))) == 4;
    if (dwell && contains(work, u"X")) {
      // The dwell time given with X is no coordinate: the block keeps only the time, in milliseconds.
      const int time = truncToInt(numberAfter(work, u"X") * kDwellFactor);
      work = u"G04P" + formatInt(time, 1);
    }
  }
  if (contains(work, u"G28")) work = u"G28";
  if (contains(work, u"M06") || contains(work, u"M6")) {
    appendWord(work, u'X', toolChangeX, 3);
    appendWord(work, u'Y', toolChangeY, 3);
    appendWord(work, u'Z', toolChangeZ, 3);
  }
  if (contains(work, u"M99")) work += u"\nG90G00X0Y0Z500.";
  if (contains(work, u"G92")) work += u"\nG91G00X0Y0Z0.";
  if (contains(work, u"G90")) {
    // Modal X, Y, Z words stay absolute after incremental blocks.
    const bool hasX = contains(work, u"X");
    const bool hasY = contains(work, u"Y");
    const bool hasZ = contains(work, u"Z");
    if (!hasX) appendWord(work, u'X', absX.at(k - 1), 5);
    if (!hasY) appendWord(work, u'Y', absY.at(k - 1), 5);
    if (!hasZ) appendWord(work, u'Z', absZ.at(k - 1), 5);
  }
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

void kNcGeometry::recordEndPoint(int k, int distance) {
  const double x0 = absX.at(k - 1), y0 = absY.at(k - 1), z0 = absZ.at(k - 1);
  double xEnd = x0, yEnd = y0, zEnd = z0;
  if (distance == 91) {
    if (contains(work, u"X")) xEnd += x.at(k);
    if (contains(work, u"Y")) yEnd += y.at(k);
    if (contains(work, u"Z")) zEnd += z.at(k);
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
