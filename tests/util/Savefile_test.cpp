// Tests of the bytes an edited NC text is saved as: line breaks kept from the replaced file, encodings.
#include "util/Savefile.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::string tempFile(const std::string& name, const std::string& bytes) {
  const auto path = std::filesystem::temp_directory_path() / ("velmora-savefile-" + name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

TEST(Savefile, LineBreakComesFromTheFirstBreakOfTheReplacedFile) {
  struct Case {
    const char* name;
    std::string bytes;
    LineBreak expected;
  };
  const Case cases[] = {
      {"crlf", "G00X1.\r\nG01X2.\n", LineBreak::CrLf},
      {"lf", "G00X1.\nG01X2.\r\n", LineBreak::Lf},
      {"none", "G00X1.", LineBreak::Lf},
      {"lone-cr", "G00X1.\rG01\r", LineBreak::Lf},
      {"utf16le", std::string("\xFF\xFEG\0\r\0\n\0", 8), LineBreak::CrLf},
      {"late", std::string(10000, 'G') + "\r\n", LineBreak::CrLf},
  };
  for (const Case& c : cases) {
    const std::string path = tempFile(c.name, c.bytes);
    EXPECT_EQ(lineBreakOfFile(path), c.expected) << c.name;
    std::remove(path.c_str());
  }
  EXPECT_EQ(lineBreakOfFile("/nonexistent/velmora/part.nc"), LineBreak::Lf);
}

TEST(Savefile, EncodesWithTheChosenBreaksAndTellsWhatWasLost) {
  const EncodedText crlf = encodeNcText(u"G00X1.(工具)\nM30?\n", TextEncoding::ShiftJis, LineBreak::CrLf);
  EXPECT_EQ(crlf.bytes, "G00X1.(\x8D\x48\x8B\xEF)\r\nM30?\r\n");
  EXPECT_TRUE(crlf.lossless);

  const EncodedText lossy = encodeNcText(u"(\u00e9)\n", TextEncoding::ShiftJis, LineBreak::Lf);
  EXPECT_EQ(lossy.bytes, "(?)\n");
  EXPECT_FALSE(lossy.lossless);

  const EncodedText utf8 = encodeNcText(u"(\u00e9)\n", TextEncoding::Utf8Bom, LineBreak::Lf);
  EXPECT_EQ(utf8.bytes, "\xEF\xBB\xBF(\xC3\xA9)\n");
  EXPECT_TRUE(utf8.lossless);
}

}  // namespace
