// Tests of the G-code modal state: which group each G word of a block lands in, and what repeats.
#include "nc/Ncgcode.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "util/Text.hpp"

namespace {

using std::u16string_view;

constexpr int kGroups = 10;

std::array<kNcWord*, kGroups> groupsOf(kNcGCode& g) {
  return {&g.groupOneShot,    &g.groupMotion, &g.groupPlane,  &g.groupDistance, &g.groupCutterComp,
          &g.groupToolLength, &g.groupCycle,  &g.groupReturn, &g.groupWork,     &g.groupSpare};
}

TEST(GCodes, InitialRecords) {
  kNcGCode g;
  EXPECT_EQ(g.recordCount, 1);
  const std::array<int, kGroups> numbers = {28, 0, 17, 90, 40, 49, 80, 98, 54, 1};
  const auto groups = groupsOf(g);
  for (int n = 0; n < kGroups; ++n) {
    EXPECT_EQ(groups[n]->count(), 1);
    EXPECT_EQ(groups[n]->lastValue(), numbers[n]) << n;
    if (n < kScannedGroups) {
      EXPECT_EQ(g.code(n), numbers[n]) << n;
    }
  }
}

TEST(GCodes, EachWordLandsInItsGroupAndTheRestRepeat) {
  struct Case {
    u16string_view before, block;
    // Group index and text of what the block records; every other group repeats the block before.
    std::array<std::pair<int, u16string_view>, 3> changed;
  };
  enum { OneShot, Motion, Plane, Distance, Comp, Length, Cycle, Return, Work };
  const Case cases[] = {
      {u"", u"G01X10.Y5.", {{{Motion, u"G01"}}}},
      {u"G01", u"G90G00X0Y0", {{{Distance, u"G90"}, {Motion, u"G00"}}}},
      {u"", u"G91G28Z0.", {{{OneShot, u"G28"}, {Distance, u"G91"}}}},
      {u"", u"G41D01G01X5.", {{{Comp, u"G41"}, {Motion, u"G01"}}}},
      {u"G01", u"G21G90G00", {{{Distance, u"G90"}, {Motion, u"G00"}}}},  // G21 stops nothing
      {u"", u"X10.G01", {{{Motion, u"G01"}}}},
      {u"", u"G 01", {{{Motion, u"G 01"}}}},  // the blank after the letter is skipped
      {u"", u"G\t2 X1", {{{Motion, u"G\t2"}}}},
      {u"G02", u"M06T02", {{{Motion, u"G02"}}}},
      {u"", u"G81G99Z-5.R2.", {{{Cycle, u"G81"}, {Return, u"G99"}}}},
      {u"G54", u"G55", {{{Work, u"G55"}}}},
      {u"", u"G17G90G40", {{{Plane, u"G17"}, {Distance, u"G90"}, {Comp, u"G40"}}}},
      {u"", u"G43.4H1", {}},  // a decimal code is its own, not G43
      {u"", u"G91.1G17", {{{Plane, u"G17"}}}},
      {u"", u"G92.1G90.1", {}},
      {u"", u"G1", {{{Motion, u"G1"}}}},
      {u"G01", u"G0Z5.", {{{Motion, u"G0"}}}},
      {u"", u"G19G03", {{{Plane, u"G19"}, {Motion, u"G03"}}}},
      {u"", u"G4P500", {{{OneShot, u"G4"}}}},
      {u"", u"G33Z-10.F1.5", {{{Motion, u"G33"}}}},
      {u"G01", u"X1.G", {}},  // a letter without a number: not the rapid code
      {u"", u"G91G65P1G01", {{{Distance, u"G91"}, {Motion, u"G01"}}}},  // G65 belongs to no group
      {u"", u"G20G64G18G2", {{{Plane, u"G18"}, {Motion, u"G2"}}}},
      {u"", u"G99999999999999999999X1.", {}},
      {u"G01", u"G-0.5", {}},
      // Two words of one group: both leave the block, the later one counts.
      {u"", u"G00G01X5.", {{{Motion, u"G01"}}}},
      {u"", u"G90G91", {{{Distance, u"G91"}}}},
      {u"", u"G02X1.G03G18", {{{Motion, u"G03"}, {Plane, u"G18"}}}},
      {u"", u"G01G01G02G17", {{{Motion, u"G02"}, {Plane, u"G17"}}}},
  };
  for (const auto& c : cases) {
    kNcGCode g;
    int blocks = 1;
    if (!c.before.empty()) blocks = g.readGCodes(c.before);
    std::array<double, kGroups> expected{};
    GWordsFound taken{};
    const auto groups = groupsOf(g);
    for (int n = 0; n < kGroups; ++n) expected[n] = groups[n]->lastValue();
    for (const auto& [group, text] : c.changed) {
      if (text.empty()) continue;
      expected[group] = wordTextValue(text);
      if (c.block.find(text) != u16string_view::npos) taken[group] = text;
    }
    EXPECT_EQ(g.readGCodes(c.block), blocks + 1) << toUtf8(c.block);
    for (int n = 0; n < kGroups; ++n) {
      EXPECT_EQ(groups[n]->lastValue(), expected[n]) << toUtf8(c.block) << " group " << n;
      EXPECT_EQ(groups[n]->count(), blocks + 1) << toUtf8(c.block) << ": one record per group and block";
      if (n < kScannedGroups) {
        EXPECT_EQ(g.gWordsRead()[n], taken[n]) << toUtf8(c.block) << " group " << n;
      }
    }
  }
}

TEST(GCodes, ValuesAreTheNumbersAsWrittenAndStayModal) {
  kNcGCode g;
  g.readGCodes(u"G02X1.");
  g.readGCodes(u"X5.");
  EXPECT_EQ(g.code(kGroupMotion), 2);
  EXPECT_TRUE(g.gWordsRead()[kGroupMotion].empty()) << "repeated, not taken from this block";
  g.readGCodes(u"G43.0");
  EXPECT_EQ(g.groupToolLength.lastValue(), 43);
  EXPECT_EQ(g.code(kGroupToolLength), 43);
  g.readGCodes(u"G00G01");
  EXPECT_EQ(g.code(kGroupMotion), 1);
  g.readGCodes(u"");
  EXPECT_EQ(g.code(kGroupMotion), 1);
  EXPECT_EQ(g.groupSpare.lastValue(), 1);
  EXPECT_EQ(g.recordCount, 6);
  EXPECT_EQ(g.gOutsideAt(), std::u16string_view::npos);
  g.readGCodes(u"G91G65P1G01");
  EXPECT_EQ(g.gOutsideAt(), 3u) << "G65 is in no slot";
  EXPECT_EQ(g.code(kGroupMotion), 1);
  const BlockGCodes codes = g.scanGCodes(u"G20 G90.1 G28.1 G33.1");
  EXPECT_EQ(codes.given, 1u << kUnitsWord | 1u << kArcCentreWord);
  EXPECT_EQ(codes.values[kArcCentreWord], kAbsoluteCentres);
  EXPECT_EQ(g.gOutsideAt(), 10u) << "G28.1 is its own code";
}

}  // namespace
