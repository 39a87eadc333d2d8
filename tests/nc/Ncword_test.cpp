// Tests of the NC words and their holders: number extraction, records, and the modal carry-over rules.
#include "nc/Ncword.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "nc/Ncxyz.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

namespace {

using std::u16string;
using std::u16string_view;

TEST(NcWord, ExtractsAndRecordsTheNumberAfterItsLetter) {
  struct Case {
    u16string_view block;
    char16_t letter;
    u16string_view number;
    double value;
  };
  const Case cases[] = {
      {u"G01X10.Y20.", u'X', u"10.", 10.0},
      {u"G01X10.Y20.", u'Y', u"20.", 20.0},
      {u"X-.5", u'X', u"-.5", -0.5},
      {u"X1.2.3", u'X', u"1.2", 1.2},
      {u"X+5-3", u'X', u"+5", 5.0},
      {u"X 10", u'X', u"10", 10.0},       // blanks between the letter and its number are skipped
      {u"X \t-4 5.", u'X', u"-4", -4.0},  // but not inside the number
      {u"X  ", u'X', u"", kNoValue},
      {u"G01Y5", u'X', u"", kNoValue},
      {u"12345", u'X', u"", kNoValue},
      {u"X$A Y2", u'X', u"$A Y2", 0.0},
      {u"X5(X7)", u'X', u"5", 5.0},
      {u"x5", u'X', u"", kNoValue},
      {u"X-", u'X', u"-", 0.0},
      {u"X.", u'X', u".", 0.0},
      {u"X.5.", u'X', u".5", 0.5},
      {u"X0012", u'X', u"0012", 12.0},
      {u"X12\n", u'X', u"12", 12.0},
      {u"Y1X2X3", u'X', u"2", 2.0},
      {u"X１２", u'X', u"", kNoValue},  // full-width digits are not digits
      {u"X1E5", u'X', u"1", 1.0},
      {u"X-0", u'X', u"-0", -0.0},
      // A dollar word runs to the end of its line, not into the next one.
      {u"F$FAST_FEED\n", u'F', u"$FAST_FEED", 0.0},
      {u"F$FEED\nG90G00X0Y0Z500.", u'F', u"$FEED", 0.0},
      {u"X$A\rY2", u'X', u"$A", 0.0},
      {u"X$", u'X', u"$", 0.0},
  };
  for (const auto& c : cases) {
    kNcWord word(c.letter);
    const std::string label = toUtf8(c.block) + " / " + toUtf8(u16string(1, c.letter));
    EXPECT_EQ(u16string(word.extractNumberText(c.block)), c.number) << label;
    EXPECT_EQ(word.recordText(c.block), 1) << label;
    EXPECT_EQ(std::signbit(word.lastValue()), std::signbit(c.value)) << label;
    EXPECT_EQ(word.lastValue(), c.value) << label;
    // The words of the block as a whole read the same.
    const BlockWords words = wordsOf(ScannedBlock(c.block));
    const int w = static_cast<int>(u16string_view(kWordLetterChars).find(c.letter));
    EXPECT_EQ(words.has(static_cast<WordLetter>(w)), !c.number.empty()) << label;
    if (!c.number.empty()) {
      EXPECT_EQ(words.value(static_cast<WordLetter>(w)), c.value) << label;
    }
  }
}

// Values must be the nearest doubles to the decimal texts, however the texts are parsed, from decoded text
// and from the bytes of a file alike.
TEST(NcWord, DecimalTextsReadAsTheNearestDouble) {
  const char* texts[] = {"0.1",
                         "0.3",
                         "-2.675",
                         "123.456",
                         "10.1",
                         "1234567.891",
                         ".000001",
                         "99999.9999",
                         "-0.0001",
                         "3.14159265358979",
                         "0.30000000000000004",
                         "12345678901234567890",
                         "4.35",
                         "-.7",
                         "1.0000000000000002",
                         "0.0000000000000000000001",
                         "+9007199254740993",
                         "000000000000000000000000000000000000000000000000000000000000000000001.5"};
  for (const char* text : texts) {
    kNcWord word(u'X');
    word.recordText(u"X" + fromUtf8(text));
    EXPECT_EQ(word.lastValue(), std::strtod(text, nullptr)) << text;
    EXPECT_EQ(readNumber(std::string_view(text)), std::strtod(text, nullptr)) << text;
  }
}

TEST(NcWord, CountsOneRecordPerCall) {
  kNcWord x(u'X');
  EXPECT_EQ(x.count(), 0);
  EXPECT_EQ(x.lastValue(), kNoValue);
  EXPECT_EQ(x.recordText(u"X1."), 1);
  EXPECT_EQ(x.lastValue(), 1.0);
  EXPECT_EQ(x.recordText(u"G01Y5"), 2);
  EXPECT_EQ(x.lastValue(), kNoValue) << "a block without the letter records no value";
  EXPECT_EQ(x.recordValue(3), 3);
  EXPECT_EQ(x.repeatLast(), 4);
  EXPECT_EQ(x.lastValue(), 3.0);
}

TEST(CoordinateWords, PositionsCarryOverAndArcOffsetsDoNot) {
  kNcXYZIJK words;
  EXPECT_EQ(words.addBlock(0, 0, 500, 0, 0, 0), 1);
  EXPECT_EQ(words.readBlock(u"G01X10."), 2);
  EXPECT_EQ(words.x.lastValue(), 10.0);
  EXPECT_EQ(words.y.lastValue(), 0.0);
  EXPECT_EQ(words.z.lastValue(), 500.0);
  for (kNcWord* w : {&words.i, &words.j, &words.k}) EXPECT_EQ(w->lastValue(), 0.0);

  EXPECT_EQ(words.readBlock(u"G02X5.Y5.I2.5"), 3);
  EXPECT_EQ(words.i.lastValue(), 2.5);
  EXPECT_EQ(words.readBlock(u"X10."), 4);
  EXPECT_EQ(words.y.lastValue(), 5.0) << "Y repeats";
  EXPECT_EQ(words.i.lastValue(), 0.0) << "I is not modal";
  EXPECT_EQ(words.j.lastValue(), 0.0);
  EXPECT_EQ(words.k.lastValue(), 0.0);
  for (kNcWord* w : {&words.x, &words.y, &words.z, &words.i, &words.j, &words.k}) EXPECT_EQ(w->count(), 4);
}

TEST(CoordinateWords, AHolderWithoutRecordsRecordsNoValue) {
  kNcXYZIJK words;
  EXPECT_EQ(words.readBlock(u"Y2."), 1);
  EXPECT_EQ(words.x.lastValue(), kNoValue);
  EXPECT_EQ(words.y.lastValue(), 2.0);
  EXPECT_EQ(words.i.lastValue(), kNoValue) << "only a holder with a record substitutes 0";
  EXPECT_EQ(words.readBlock(u"Z1."), 2);
  EXPECT_EQ(words.x.lastValue(), kNoValue) << "carrying over nothing found records nothing found";
  EXPECT_EQ(words.y.lastValue(), 2.0);
  EXPECT_EQ(words.i.lastValue(), 0.0);
}

TEST(ToolWords, ToolHeightAndDiameterNumbersCarryOver) {
  kNcTool tool;
  EXPECT_EQ(tool.addBlock(0, 0, 0), 1);
  EXPECT_EQ(tool.readBlock(u"T5M6"), 2);
  EXPECT_EQ(tool.t.lastValue(), 5.0);
  EXPECT_EQ(tool.h.lastValue(), 0.0);
  EXPECT_EQ(tool.d.lastValue(), 0.0);
  EXPECT_EQ(tool.readBlock(u"G43H05D12"), 3);
  EXPECT_EQ(tool.t.lastValue(), 5.0);
  EXPECT_EQ(tool.h.lastValue(), 5.0);
  EXPECT_EQ(tool.d.lastValue(), 12.0);
  EXPECT_EQ(tool.toolCount, 3);
}

TEST(FeedWord, ValueTextsCarryOverAndLoseBlanksAndComments) {
  struct Step {
    u16string_view block, valueText;
    double value;
    bool changed;
  };
  const Step steps[] = {
      {u"G00X0", u"", kNoValue, true}, {u"G01X1.F200", u"200", 200.0, true},
      {u"X2.", u"200", 200.0, false},  {u"F200.", u"200.", 200.0, true},
      {u"F300", u"300", 300.0, true},  {u"F$FEED // SLOW", u"$FEED", 0.0, true},
      {u"X3.", u"$FEED", 0.0, false},  {u"F$FAST_FEED\n", u"$FAST_FEED", 0.0, true},
      {u"F1.5\n", u"1.5", 1.5, true},  {u"F1.5", u"1.5", 1.5, false},
  };
  kNcFeed feed;
  int b = 0;
  for (const auto& s : steps) {
    ++b;
    EXPECT_EQ(feed.readBlock(s.block), b);
    EXPECT_EQ(feed.valueText(), s.valueText) << toUtf8(s.block);
    EXPECT_EQ(feed.feedWord.lastValue(), s.value) << toUtf8(s.block);
    EXPECT_EQ(feed.textChanged(), s.changed) << toUtf8(s.block);
  }
}

}  // namespace
