// Tests of the INI settings file: reading single keys and writing them in place.
#include "util/Ini.hpp"

#include <gtest/gtest.h>

#include "dxf/TempFolder.hpp"
#include "util/Text.hpp"

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
  // Several keys in one write: all, or none when one of them cannot be stored.
  ASSERT_TRUE(iniWriteStrings(u"FONT", {{u"Name", u"y"}, {u"Size", u"9"}}, path).ok);
  EXPECT_EQ(readBytes(path), "; mine\n[WINDOW]\nTop=1\nWidth=ab cd\n\n[FONT]\nName=y\nSize=9\n");
  EXPECT_FALSE(iniWriteStrings(u"FONT", {{u"Name", u"z"}, {u"[Size", u"1"}}, path).ok);
  EXPECT_EQ(iniReadString(u"FONT", u"Name", path), u"y");

  // Names are trimmed when read as when written; values read back exactly, blanks and quotes included.
  writeBytes(path, "");
  const std::u16string_view values[] = {u" 8 ", u"\"x\"", u"'", u"\t", u"a=b", u"[B]", u"\nx"};
  for (std::u16string_view value : values) {
    ASSERT_TRUE(iniWriteString(u" A ", u" Key ", value, path).ok);
    EXPECT_EQ(iniReadString(u" A ", u" Key ", path), value == u"\nx" ? u" x" : value) << toUtf8(value);
    EXPECT_EQ(iniReadString(u"A", u"KEY", path), iniReadString(u"\tA", u"Key\t", path));
  }
  EXPECT_EQ(readBytes(path), "[A]\nKey=\" x\"\n");
}

TEST(Ini, RefusesWritesThatWouldDamageTheFile) {
  TempFolder folder;
  const std::string path = folder / "prog.INI";
  writeBytes(path, "[A]\nk=v\n");
  EXPECT_FALSE(writeProfileString(u"A]", u"k", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A", u"k=x", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A", u"", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A\nB", u"k", u"v", path));
  EXPECT_FALSE(writeProfileString(u" ", u"k", u"v", path));
  // A key line beginning with '[' would read back as a section header.
  EXPECT_FALSE(writeProfileString(u"A", u" [B]", u"v", path));
  EXPECT_FALSE(writeProfileString(u"A", u"[k", u"]", path));
  const FileResult tooLong = iniWriteString(u"A", u"k", std::u16string(kIniValueLimit + 1, u'x'), path);
  EXPECT_FALSE(tooLong.ok);
  EXPECT_NE(tooLong.message.find("2047"), std::string::npos) << tooLong.message;
  EXPECT_EQ(readBytes(path), "[A]\nk=v\n");
  ASSERT_TRUE(writeProfileString(u"A", u"k", std::u16string(kIniValueLimit, u'x'), path));
  EXPECT_EQ(iniReadString(u"A", u"k", path).size(), kIniValueLimit);

  writeBytes(folder / "plain", "x");
  const FileResult failed = iniWriteString(u"A", u"k", u"v", folder / "plain/prog.INI");
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.message.find(folder / "plain/prog.INI"), std::string::npos) << failed.message;
  EXPECT_FALSE(writeProfileString(u"A", u"k", u"v", folder.path()));
}

}  // namespace
