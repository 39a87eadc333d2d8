// Coordinate, tool and feed word holders with the modal rules of NC programs.
#include "nc/Ncxyz.hpp"

#include "util/Text.hpp"

int recordModal(kNcWord& word, const ScannedBlock& block, bool hasPrevious) {
  const std::u16string_view number = word.extractNumberText(block);
  if (hasPrevious && number.empty()) return word.repeatLast();
  return word.recordNumberText(number);
}

namespace {

// Arc-centre offsets belong to one block only: a left-out I, J or K is 0.
void recordOffset(kNcWord& word, const ScannedBlock& block, std::u16string_view zeroText) {
  const std::u16string_view number = word.extractNumberText(block);
  if (number.empty() && word.count() > 0) {
    word.recordText(zeroText);
  } else {
    word.recordNumberText(number);
  }
}

}  // namespace

int kNcXY::readBlock(const ScannedBlock& block) {
  const bool hasPrevious = coordCount > 0;
  recordModal(x, block, hasPrevious);
  recordModal(y, block, hasPrevious);
  return ++coordCount;
}

int kNcXY::addBlock(double xValue, double yValue) {
  x.recordValue(xValue, 3);
  y.recordValue(yValue, 3);
  return ++coordCount;
}

void kNcXY::resetCoords() {
  x.reset();
  y.reset();
  coordCount = 0;
}

int kNcXYZ::readBlock(const ScannedBlock& block) {
  const bool hasPrevious = coordCount > 0;
  kNcXY::readBlock(block);
  recordModal(z, block, hasPrevious);
  return coordCount;
}

int kNcXYZ::addBlock(double xValue, double yValue, double zValue) {
  z.recordValue(zValue, 3);
  return kNcXY::addBlock(xValue, yValue);
}

void kNcXYZ::resetCoords() {
  kNcXY::resetCoords();
  z.reset();
}

int kNcXYZIJK::readBlock(const ScannedBlock& block) {
  kNcXYZ::readBlock(block);
  recordOffset(i, block, u"I0.000");
  recordOffset(j, block, u"J0.000");
  recordOffset(k, block, u"K0.000");
  return coordCount;
}

int kNcXYZIJK::addBlock(double xValue, double yValue, double zValue, double iValue, double jValue, double kValue) {
  i.recordValue(iValue, 3);
  j.recordValue(jValue, 3);
  k.recordValue(kValue, 3);
  return kNcXYZ::addBlock(xValue, yValue, zValue);
}

void kNcXYZIJK::resetCoords() {
  kNcXYZ::resetCoords();
  i.reset();
  j.reset();
  k.reset();
}

int kNcTool::readBlock(const ScannedBlock& block) {
  const bool hasPrevious = toolCount > 0;
  recordModal(t, block, hasPrevious);
  recordModal(h, block, hasPrevious);
  recordModal(d, block, hasPrevious);
  return ++toolCount;
}

int kNcTool::addBlock(int tValue, int hValue, int dValue, int digits) {
  t.recordValue(tValue, digits);
  h.recordValue(hValue, digits);
  d.recordValue(dValue, digits);
  return ++toolCount;
}

void kNcTool::resetTool() {
  t.reset();
  h.reset();
  d.reset();
  toolCount = 0;
}

int kNcFeed::readBlock(const ScannedBlock& block) {
  const std::u16string_view number = feedWord.extractNumberText(block);
  if (feedCount > 0 && number.empty()) {
    feedWord.repeatLast();
    feedTextIds.push_back(feedTextIds.back());
    return ++feedCount;
  }
  feedWord.recordNumberText(number);
  // Without blanks and without a "//" comment: a '$' feed may carry both.
  scratch = replaceFirst(removeEnclosed(stripBlanks(feedWord.lastText()), u"//", u""), u"F", u"");
  auto [entry, inserted] = feedTextIndex.try_emplace(scratch, static_cast<std::uint32_t>(feedTextPool.size()));
  if (inserted) feedTextPool.push_back(scratch);
  feedTextIds.push_back(entry->second);
  return ++feedCount;
}

const std::u16string& kNcFeed::feedValueText(int b) const {
  static const std::u16string none;
  if (b <= 0 || feedTextIds.empty()) return none;
  const std::size_t index = static_cast<std::size_t>(b - 1) < feedTextIds.size() ? b - 1 : feedTextIds.size() - 1;
  return feedTextPool[feedTextIds[index]];
}

void kNcFeed::resetFeed() {
  feedWord.reset();
  feedTextIds = decltype(feedTextIds)();
  feedTextPool.clear();
  feedTextIndex.clear();
  feedCount = 0;
}
