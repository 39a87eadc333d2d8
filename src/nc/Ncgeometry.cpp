// The block store and the block interpreter: one line in, one block of records out.
#include "nc/Ncgeometry.hpp"

#include <algorithm>
#include <initializer_list>

#include "util/Format.hpp"

namespace {

using View = std::u16string_view;

}  // namespace

kNcGeometry::kNcGeometry(View open0, View close0, View open1, View close1, View open2, View close2) {
  setCommentDelimiters(open0, close0, open1, close1, open2, close2);
  recordInitialBlock();
}

void kNcGeometry::setCommentDelimiters(View open0, View close0, View open1, View close1, View open2, View close2) {
  commentOpen = {std::u16string(open0), std::u16string(open1), std::u16string(open2)};
  commentClose = {std::u16string(close0), std::u16string(close1), std::u16string(close2)};
  delimiterStarts.clear();
  characterTable.fill(0);
  for (const char c : {'#', '[', '<'}) characterTable[c] = kMarkCloserLook;
  for (View d : {open0, close0, open1, close1, open2, close2}) {
    if (d.empty()) continue;
    if (delimiterStarts.find(d[0]) == std::u16string::npos) delimiterStarts += d[0];
    if (d[0] < 128) characterTable[d[0]] |= kMarkDelimiterStart;
  }
}

void kNcGeometry::restart() {
  resetCoords();
  resetGroups();
  resetTool();
  resetFeed();
  for (kDoubleList* list : {&absX, &absY, &absZ, &centreX, &centreY, &arcRadius, &toolDiameter}) {
    *list = kDoubleList();
  }
  commentStates.clear();
  // A restart gives the memory of a long program back.
  textBuffer = decltype(textBuffer)();
  textStarts = decltype(textStarts)();
  openPairs = decltype(openPairs)();
  blockCount = 0;
  syntaxErrorBlock_ = 0;
  checker_.reset();
  setCommentDelimiters(u"(", u")", u"", u"", u"", u"");
  recordInitialBlock();
}

void kNcGeometry::reserveBlocks(int blocks, std::size_t textChars) {
  const int total = blockCount + blocks;
  const auto reserveAll = [total](std::initializer_list<kDoubleList*> lists) {
    for (kDoubleList* list : lists) list->reserve(total);
  };
  reserveAll({&x, &y, &z, &i, &j, &k, &t, &h, &d});
  reserveAll({&groupOneShot, &groupMotion, &groupPlane, &groupDistance, &groupCutterComp, &groupToolLength,
              &groupCycle, &groupReturn, &groupWork, &groupSpare});
  reserveAll({&absX, &absY, &absZ, &centreX, &centreY, &arcRadius, &toolDiameter});
  reserveFeed(total);
  commentStates.reserve(total);
  textStarts.reserve(total);
  openPairs.reserve(total);
  textBuffer.reserve(textBuffer.size() + textChars);
}

void kNcGeometry::resetExtents() {
  maxX = maxY = maxZ = -9999;
  minX = minY = minZ = 9999;
}

void kNcGeometry::recordInitialBlock() {
  kNcXYZIJK::addBlock(0, 0, 500, 0, 0, 0);
  kNcTool::addBlock(0, 0, 0, 2);
  absX.add(0);
  absY.add(0);
  absZ.add(500);
  centreX.add(0);
  centreY.add(0);
  arcRadius.add(0);
  toolDiameter.add(10);
  appendBlockText(u"G90G00G17");
  commentStates.add(0);
  openPairs.push_back(0);
  resetExtents();
  toolChangeX = 0;
  toolChangeY = 0;
  toolChangeZ = 500;
  seenX = seenY = seenZ = false;
  blockCount += 1;
}

void kNcGeometry::appendBlockText(View line) {
  textStarts.push_back(textBuffer.size());
  textBuffer.insert(textBuffer.end(), line.begin(), line.end());
}

View kNcGeometry::blockTextAt(int i) const {
  const std::size_t begin = textStarts[i];
  const std::size_t end =
      static_cast<std::size_t>(i) + 1 < textStarts.size() ? textStarts[i + 1] : textBuffer.size();
  return View(textBuffer.data() + begin, end - begin);
}

std::u16string kNcGeometry::xTextAt(int i) const { return u"X" + formatReal(xAt(i), 3); }
std::u16string kNcGeometry::yTextAt(int i) const { return u"Y" + formatReal(yAt(i), 3); }
std::u16string kNcGeometry::zTextAt(int i) const { return u"Z" + formatReal(zAt(i), 3); }

int kNcGeometry::cutterCompAt(int i) const {
  const int code = gNumberAt(groupCutterComp, latest(i));
  return code == 40 ? 0 : code;
}

void kNcGeometry::widen(double& lo, double& hi, double low, double high, bool seen) {
  if (!seen) return;
  hi = std::max(hi, high);
  lo = std::min(lo, low);
}
