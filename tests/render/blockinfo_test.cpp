// The top panel's view of a block: the code shown (cycle before motion), the compensation, the arc fields in
// the arc plane's own axes with their labels, and the arc verdict that marks them, for the block asked for
// only.
#include "render/Blockinfo.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "nc/Ncgeometry.hpp"

namespace {

std::string utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(BlockInfo, ShowsTheCurrentBlockInItsPlanesAxes) {
  kNcGeometry geometry(u"(", u")", u"", u"", u"", u"");
  geometry.setCommentDelimiters(u"/*", u"*/", u"//", u"", u"(", u")");
  for (std::u16string_view line : {u"G00X10Y0Z5",         // 1
                                   u"G03X0Y10I-10J0",     // 2 fits
                                   u"G03X-10Y0I0J-10.1",  // 3 the end point misses by 0.1
                                   u"G01X10Y10",          // 4
                                   u"G18G02X0Z15I-10K0",  // 5 centre X 0, Z 5
                                   u"G17G00X0Y10Z5",      // 6
                                   u"G19G03Y0Z15J-10K0",  // 7 centre Y 0, Z 5
                                   u"G17G00X20Y20Z5",     // 8
                                   u"G81X30Y20Z-5R2",     // 9 in a drilling cycle
                                   u"G91G80X5",           // 10
                                   u"G41D05G01X5",        // 11
                                   u"G00X10",             // 12 a rapid move under compensation
                                   u"G40X10"})            // 13
    geometry.interpretBlock(line);

  struct Case {
    int line;
    int block;
    std::u16string code, distance, comp, x;
    std::array<std::u16string, 3> labels, texts;
    bool faulty;
  };
  const Case cases[] = {
      {2, 2, u"G03", u"G90", u"G40", u"X0.000", {u"CX", u"CY", u"R"}, {u"0.0000", u"0.0000", u"10.0000"}, false},
      {3, 3, u"G03", u"G90", u"G40", u"X-10.000", {u"CX", u"CY", u"R"}, {u"0.0000", u"-0.1000", u"10.1000"}, true},
      // The block after a faulty arc is not marked, and a line move shows no arc fields.
      {4, 4, u"G01", u"G90", u"G40", u"X10.000", {u"CX", u"CY", u"R"}, {}, false},
      {5, 5, u"G02", u"G90", u"G40", u"X0.000", {u"CX", u"CZ", u"R"}, {u"0.0000", u"5.0000", u"10.0000"}, false},
      {7, 7, u"G03", u"G90", u"G40", u"X0.000", {u"CY", u"CZ", u"R"}, {u"0.0000", u"5.0000", u"10.0000"}, false},
      {9, 9, u"G81", u"G90", u"G40", u"X30.000", {u"CX", u"CY", u"R"}, {}, false},
      {10, 10, u"G00", u"G91", u"G40", u"X35.000", {u"CX", u"CY", u"R"}, {}, false},
      {11, 11, u"G01", u"G91", u"G41 D05 ", u"X40.000", {u"CX", u"CY", u"R"}, {}, false},
      {12, 12, u"G00", u"G91", u"G41 D05 ", u"X50.000", {u"CX", u"CY", u"R"}, {}, false},
      // The line after the last break has no block of its own: it shows the last one.
      {14, 13, u"G00", u"G91", u"G40", u"X60.000", {u"CX", u"CY", u"R"}, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const BlockInfo info = blockInfoAt(geometry, c.line);
    EXPECT_EQ(info.block, c.block);
    EXPECT_EQ(utf8(info.codeText), utf8(c.code));
    EXPECT_EQ(utf8(info.distanceText), utf8(c.distance));
    EXPECT_EQ(utf8(info.compText), utf8(c.comp));
    EXPECT_EQ(info.compensated, c.comp != u"G40");
    EXPECT_EQ(utf8(info.xText), utf8(c.x));
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(utf8(info.arcLabels[k]), utf8(c.labels[k]));
      EXPECT_EQ(utf8(info.arcTexts[k]), utf8(c.texts[k]));
    }
    EXPECT_EQ(info.faultyArc, c.faulty);
  }
  // A tool change under G02 keeps the code but is no arc: no arc fields, no verdict.
  kNcGeometry toolChange;
  for (const std::u16string_view line : {u"G02X10.Y0I5.", u"T1M6"}) toolChange.interpretBlock(line);
  const BlockInfo info = blockInfoAt(toolChange, 2);
  EXPECT_EQ(utf8(info.codeText), "G02");
  EXPECT_FALSE(info.isArc);
  EXPECT_FALSE(info.faultyArc);
}

}  // namespace
