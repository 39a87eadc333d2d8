// Tests of the NC words and their holders: number extraction, records, and the modal carry-over rules.
#include "nc/Ncword.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "nc/Ncxyz.hpp"
#include "util/Text.hpp"

namespace {

using std::u16string;
using std::u16string_view;

TEST(NcWord, ExtractsAndRecordsTheNumberAfterItsLetter) {
  struct Case {
    u16string_view block, letter, number;
    double value;
    u16string_view text;
  };
  const Case cases[] = {
      {u"G01X10.Y20.", u"X", u"10.", 10.0, u"X10."},
      {u"G01X10.Y20.", u"Y", u"20.", 20.0, u"Y20."},
      {u"X-.5", u"X", u"-.5", -0.5, u"X-.5"},
      {u"X1.2.3", u"X", u"1.2", 1.2, u"X1.2"},
      {u"X+5-3", u"X", u"+5", 5.0, u"X+5"},
      {u"X 10", u"X", u"", kNoValue, u""},
      {u"G01Y5", u"X", u"", kNoValue, u""},
      {u"12345", u"X", u"", kNoValue, u""},
      {u"X$A Y2", u"X", u"$A Y2", 0.0, u"X$A Y2"},
      {u"X5(X7)", u"X", u"5", 5.0, u"X5"},
      {u"x5", u"X", u"", kNoValue, u""},
      {u"X-", u"X", u"-", 0.0, u"X-"},
      {u"X.", u"X", u".", 0.0, u"X."},
      {u"X.5.", u"X", u".5", 0.5, u"X.5"},
      {u"X0012", u"X", u"0012", 12.0, u"X0012"},
      {u"X12\n", u"X", u"12", 12.0, u"X12"},
      {u"Y1X2X3", u"X", u"2", 2.0, u"X2"},
      {u"X１２", u"X", u"", kNoValue, u""},  // full-width digits are not digits
      {u"X1E5", u"X", u"1", 1.0, u"X1"},
      // A dollar word runs to the end of its line, not into the next one.
      {u"F$FAST_FEED\n", u"F", u"$FAST_FEED", 0.0, u"F$FAST_FEED"},
      {u"F$FEED\nG90G00X0Y0Z500.", u"F", u"$FEED", 0.0, u"F$FEED"},
      {u"X$A\rY2", u"X", u"$A", 0.0, u"X$A"},
      {u"X$", u"X", u"$", 0.0, u"X$"},
  };
  for (const auto& c : cases) {
    kNcWord word(c.letter, 1);
    const std::string label = toUtf8(c.block) + " / " + toUtf8(c.letter);
    EXPECT_EQ(u16string(word.extractNumberText(c.block)), c.number) << label;
    EXPECT_EQ(word.recordText(c.block), 1) << label;
    EXPECT_EQ(word.get(0), c.value) << label;
    EXPECT_EQ(word.lastText(), c.text) << label;
  }
}

// Values must be the nearest doubles to the decimal texts, however the texts are parsed.
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
                         "1.0000000000000002"};
  for (const char* text : texts) {
    kNcWord word(u"X", 1);
    word.recordText(u"X" + fromUtf8(text));
    EXPECT_EQ(word.get(0), std::strtod(text, nullptr)) << text;
  }
}

TEST(NcWord, RecordsValuesAsFixedOrPaddedTexts) {
  struct Case {
    u16string_view letter;
    int isReal;
    double value;
    int digits;
    u16string_view text;
  };
  const Case cases[] = {
      {u"X", 1, 0.0, 3, u"X0.000"},    {u"X", 1, -2.25, 3, u"X-2.250"},  {u"X", 1, 12.5, 3, u"X12.500"},
      {u"X", 1, 0.0625, 3, u"X0.063"}, {u"X", 1, -0.0004, 3, u"X0.000"}, {u"Z", 1, 500, 3, u"Z500.000"},
      {u"T", 0, 7.9, 2, u"T07"},       {u"T", 0, 5.0, 2, u"T05"},        {u"G", 0, 28.0, 2, u"G28"},
      {u"G", 0, 1.0, 3, u"G001"},      {u"D", 0, 123.0, 2, u"D123"},
  };
  for (const auto& c : cases) {
    kNcWord word(c.letter, c.isReal);
    EXPECT_EQ(word.lastText(), u"") << "fresh word";
    EXPECT_EQ(word.recordValue(c.value, c.digits), 1);
    EXPECT_EQ(word.get(0), c.value) << "the value is kept exactly, not the rounded text";
    EXPECT_EQ(word.lastText(), c.text) << toUtf8(c.text);
  }
}

TEST(NcWord, CountsOneRecordPerCall) {
  kNcWord x(u"X", 1);
  EXPECT_EQ(x.count(), 0);
  EXPECT_EQ(x.get(0), kNoValue);
  EXPECT_EQ(x.recordText(u"X1."), 1);
  EXPECT_EQ(x.recordText(u"G01Y5"), 2);
  EXPECT_EQ(x.lastText(), u"") << "a block without the letter records an empty text";
  EXPECT_EQ(x.recordValue(3, 3), 3);
  EXPECT_EQ(x.count(), 3);
  EXPECT_EQ(x.get(0), 1.0);
  EXPECT_EQ(x.get(1), kNoValue);
  EXPECT_EQ(x.get(2), 3.0);
}

TEST(CoordinateWords, PositionsCarryOverAndArcOffsetsDoNot) {
  kNcXYZIJK words;
  EXPECT_EQ(words.addBlock(0, 0, 500, 0, 0, 0), 1);
  EXPECT_EQ(words.z.lastText(), u"Z500.000");
  EXPECT_EQ(words.readBlock(u"G01X10."), 2);
  EXPECT_EQ(words.x.get(1), 10.0);
  EXPECT_EQ(words.x.lastText(), u"X10.");
  EXPECT_EQ(words.y.get(1), 0.0);
  EXPECT_EQ(words.y.lastText(), u"Y0.000");
  EXPECT_EQ(words.z.get(1), 500.0);
  EXPECT_EQ(words.z.lastText(), u"Z500.000");
  for (kNcWord* w : {&words.i, &words.j, &words.k}) EXPECT_EQ(w->get(1), 0.0);
  EXPECT_EQ(words.i.lastText(), u"I0.000");

  EXPECT_EQ(words.readBlock(u"G02X5.Y5.I2.5"), 3);
  EXPECT_EQ(words.i.get(2), 2.5);
  EXPECT_EQ(words.readBlock(u"X10."), 4);
  EXPECT_EQ(words.y.get(3), 5.0) << "Y repeats";
  EXPECT_EQ(words.y.lastText(), u"Y5.");
  EXPECT_EQ(words.i.get(3), 0.0) << "I is not modal";
  EXPECT_EQ(words.i.lastText(), u"I0.000");
  EXPECT_EQ(words.j.get(3), 0.0);
  EXPECT_EQ(words.k.get(3), 0.0);
  for (kNcWord* w : {&words.x, &words.y, &words.z, &words.i, &words.j, &words.k}) EXPECT_EQ(w->count(), 4);
}

TEST(CoordinateWords, AHolderWithoutRecordsRecordsNoValue) {
  kNcXYZIJK words;
  EXPECT_EQ(words.readBlock(u"Y2."), 1);
  EXPECT_EQ(words.x.get(0), kNoValue);
  EXPECT_EQ(words.x.lastText(), u"");
  EXPECT_EQ(words.y.get(0), 2.0);
  EXPECT_EQ(words.i.get(0), kNoValue) << "only a holder with a record substitutes I0.000";
  EXPECT_EQ(words.readBlock(u"Z1."), 2);
  EXPECT_EQ(words.x.get(1), kNoValue) << "carrying over an empty text records nothing found";
  EXPECT_EQ(words.y.get(1), 2.0);
  EXPECT_EQ(words.i.get(1), 0.0);
}

TEST(ToolWords, ToolHeightAndDiameterNumbersCarryOver) {
  kNcTool tool;
  EXPECT_EQ(tool.addBlock(0, 0, 0, 2), 1);
  EXPECT_EQ(tool.t.lastText(), u"T00");
  EXPECT_EQ(tool.readBlock(u"T5M6"), 2);
  EXPECT_EQ(tool.t.get(1), 5.0);
  EXPECT_EQ(tool.t.lastText(), u"T5");
  EXPECT_EQ(tool.h.lastText(), u"H00");
  EXPECT_EQ(tool.d.lastText(), u"D00");
  EXPECT_EQ(tool.readBlock(u"G43H05D12"), 3);
  EXPECT_EQ(tool.t.lastText(), u"T5");
  EXPECT_EQ(tool.h.get(2), 5.0);
  EXPECT_EQ(tool.d.get(2), 12.0);
  EXPECT_EQ(tool.toolCount, 3);
}

TEST(FeedWord, ValueTextsCarryOverAndLoseBlanksAndComments) {
  struct Step {
    u16string_view block, valueText;
    double value;
  };
  const Step steps[] = {
      {u"G00X0", u"", kNoValue},
      {u"G01X1.F200", u"200", 200.0},
      {u"X2.", u"200", 200.0},
      {u"F300", u"300", 300.0},
      {u"F$FEED // SLOW", u"$FEED", 0.0},
      {u"X3.", u"$FEED", 0.0},
      {u"F$FAST_FEED\n", u"$FAST_FEED", 0.0},
      {u"F1.5\n", u"1.5", 1.5},
  };
  kNcFeed feed;
  int b = 0;
  for (const auto& s : steps) {
    ++b;
    EXPECT_EQ(feed.readBlock(s.block), b);
    EXPECT_EQ(feed.feedValueText(b), s.valueText) << toUtf8(s.block);
    EXPECT_EQ(feed.feedWord.get(b - 1), s.value) << toUtf8(s.block);
  }
  EXPECT_EQ(feed.feedValueText(0), u"");
  EXPECT_EQ(feed.feedValueText(2), u"200") << "earlier blocks keep their own texts";
}

}  // namespace
