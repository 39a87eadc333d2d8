// Coordinate, tool and feed word holders with the modal rules of NC programs.
#include "nc/Ncxyz.hpp"

#include "util/Text.hpp"

namespace {

// The modal carry-over: a word left out of the block repeats the previous block's value.
void recordModal(kNcWord& word, const BlockWords& words, WordLetter letter, bool hasPrevious) {
  if (words.has(letter)) {
    word.recordValue(words.value(letter));
  } else if (hasPrevious) {
    word.repeatLast();
  } else {
    word.recordValue(kNoValue);
  }
}

// Arc-centre offsets belong to one block only: a left-out I, J or K is 0.
void recordOffset(kNcWord& word, const BlockWords& words, WordLetter letter) {
  if (words.has(letter)) {
    word.recordValue(words.value(letter));
  } else {
    word.recordValue(word.count() > 0 ? 0.0 : kNoValue);
  }
}

}  // namespace

int kNcXY::readBlock(const BlockWords& words) {
  const bool hasPrevious = coordCount > 0;
  recordModal(x, words, kWordX, hasPrevious);
  recordModal(y, words, kWordY, hasPrevious);
  return ++coordCount;
}

int kNcXY::addBlock(double xValue, double yValue) {
  x.recordValue(xValue);
  y.recordValue(yValue);
  return ++coordCount;
}

void kNcXY::resetCoords() {
  x.reset();
  y.reset();
  coordCount = 0;
}

int kNcXYZ::readBlock(const BlockWords& words) {
  const bool hasPrevious = coordCount > 0;
  kNcXY::readBlock(words);
  recordModal(z, words, kWordZ, hasPrevious);
  return coordCount;
}

int kNcXYZ::addBlock(double xValue, double yValue, double zValue) {
  z.recordValue(zValue);
  return kNcXY::addBlock(xValue, yValue);
}

void kNcXYZ::resetCoords() {
  kNcXY::resetCoords();
  z.reset();
}

int kNcXYZIJK::readBlock(const BlockWords& words) {
  kNcXYZ::readBlock(words);
  recordOffset(i, words, kWordI);
  recordOffset(j, words, kWordJ);
  recordOffset(k, words, kWordK);
  return coordCount;
}

int kNcXYZIJK::addBlock(double xValue, double yValue, double zValue, double iValue, double jValue, double kValue) {
  i.recordValue(iValue);
  j.recordValue(jValue);
  k.recordValue(kValue);
  return kNcXYZ::addBlock(xValue, yValue, zValue);
}

void kNcXYZIJK::resetCoords() {
  kNcXYZ::resetCoords();
  i.reset();
  j.reset();
  k.reset();
}

int kNcTool::readBlock(const BlockWords& words) {
  const bool hasPrevious = toolCount > 0;
  recordModal(t, words, kWordT, hasPrevious);
  recordModal(h, words, kWordH, hasPrevious);
  recordModal(d, words, kWordD, hasPrevious);
  return ++toolCount;
}

int kNcTool::addBlock(int tValue, int hValue, int dValue) {
  t.recordValue(tValue);
  h.recordValue(hValue);
  d.recordValue(dValue);
  return ++toolCount;
}

void kNcTool::reset() {
  t.reset();
  h.reset();
  d.reset();
  toolCount = 0;
}

int kNcFeed::readBlock(const BlockWords& words) {
  textChanged_ = false;
  if (feedCount > 0 && !words.has(kWordF)) {
    feedWord.repeatLast();
    return ++feedCount;
  }
  recordModal(feedWord, words, kWordF, false);
  const std::u16string_view number = words.feedNumber;
  std::u16string text;
  if (!number.empty() && number[0] == u'$') {
    // Without blanks and without a "//" comment: a '$' feed may carry both.
    text = removeEnclosed(stripBlanks(number), u"//", u"");
  } else {
    // A number text has no blank, comment or letter to remove.
    text = number;
  }
  textChanged_ = feedCount == 0 || text != valueText_;
  valueText_ = std::move(text);
  return ++feedCount;
}

void kNcFeed::reset() {
  feedWord.reset();
  valueText_.clear();
  textChanged_ = false;
  feedCount = 0;
}
