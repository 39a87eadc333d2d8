// Tests of the INI settings file: reading single keys and writing them in place.
#include "util/Ini.hpp"

#include <gtest/gtest.h>

#include "dxf/TempFolder.hpp"

namespace {

TEST(Ini, ReadsKeysOfSectionsIgnoringCaseAndBlanks) {
  TempFolder folder;
  const std::string path = folder / "prog.INI";
  EXPECT_EQ(iniReadString(u"WINDOW", u"Top", path), u"");  // no file
  writeBytes(
      path,
      "\xEF\xBB\xBF; settings\r\n[WINDOW]\r\n  Top = 120 \r\nLeft=\"  8 \"\r\n\r\n[FONT]\r\nName=ＭＳ ゴシック\r\n"
      "Top=no\r\n");
  EXPECT_EQ(iniReadString(u"WINDOW", u"Top", path), u"120");
  EXPECT_EQ(iniReadString(u"window", u"TOP", path), u"120");
  EXPECT_EQ(iniReadString(u"WINDOW", u"Left", path), u"  8 ");
  EXPECT_EQ(iniReadString(u"FONT", u"Name", path), u"ＭＳ ゴシック");
  EXPECT_EQ(iniReadString(u"FONT", u"Top", path), u"no");
  EXPECT_EQ(iniReadString(u"WINDOW", u"Name", path), u"");
  EXPECT_EQ(iniReadString(u"OTHER", u"Top", path), u"");

  writeBytes(path, "[A]\nLong=" + std::string(3000, 'x') + "\n");
  EXPECT_EQ(iniReadString(u"A", u"Long", path).size(), kIniValueLimit);
}

TEST(Ini, WritesKeysInPlaceKeepingTheRestOfTheFile) {
  TempFolder folder;
  const std::string path = folder / "prog.INI";
  ASSERT_TRUE(iniWriteString(u"WINDOW", u"Top", u"10", path).ok);
  ASSERT_TRUE(writeProfileString(u"FONT", u"Size", u"12", path));
  ASSERT_TRUE(writeProfileString(u"WINDOW", u"Left", u"20", path));
  ASSERT_TRUE(writeProfileString(u"window", u"TOP", u"11", path));
  EXPECT_EQ(readBytes(path), "[WINDOW]\nTop=11\nLeft=20\n\n[FONT]\nSize=12\n");

  writeBytes(path, "; mine\n[WINDOW]\nTop=1\n\n[FONT]\nName=x\n");
  ASSERT_TRUE(writeProfileString(u"WINDOW", u"Width", u"ab\ncd", path));
  EXPECT_EQ(readBytes(path), "; mine\n[WINDOW]\nTop=1\nWidth=ab cd\n\n[FONT]\nName=x\n");
  EXPECT_EQ(iniReadString(u"WINDOW", u"Width", path), u"ab cd");
  EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(Ini, RefusesWritesThatWouldDamageTheFile) {
  TempFolder folder;
  const std::string path = folder / "prog.INI";
  writeBytes(path, "[A]\nk=v\n");
  EXPECT_FALSE(writeProfileString(u"A]", u"k", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A", u"k=x", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A", u"", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A\nB", u"k", u"v", path));
  EXPECT_EQ(readBytes(path), "[A]\nk=v\n");

  writeBytes(folder / "plain", "x");
  const FileResult failed = iniWriteString(u"A", u"k", u"v", folder / "plain/prog.INI");
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.message.find(folder / "plain/prog.INI"), std::string::npos) << failed.message;
  EXPECT_FALSE(writeProfileString(u"A", u"k", u"v", folder.path()));
}

}  // namespace
