// Tests of reading and writing NC program bytes: code page 932 and the byte-order-mark encodings.
#include "util/Encoding.hpp"

#include <gtest/gtest.h>

#include <string>

#include "util/Text.hpp"

namespace {

std::string bytesOf(int lead, int trail) { return {static_cast<char>(lead), static_cast<char>(trail)}; }

TEST(DecodeShiftJis, CharactersOfEveryKind) {
  struct Case {
    std::string_view bytes;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"", u""},
      {"G01 X1.5\r\n\t\\~\x7F", u"G01 X1.5\r\n\t\\~\x7F"},
      {"\x83\x65\x83\x58\x83\x67", u"テスト"},
      {"\x82\xA0\x88\x9F\x8A\xBF", u"あ亜漢"},
      {"\xB1\xDF\xA1", u"ｱﾟ｡"},  // half-width katakana are single bytes
      {"\x81\x40\x81\x5C\x81\x60", u"\u3000\u2015\uFF5E"},
      {"\x87\x40\x87\x54", u"①Ⅰ"},   // NEC row 13
      {"\xFA\x40\xED\x40", u"ⅰ纊"},  // IBM extensions and their NEC selection
      {"\xF0\x40", u"\uE000"},       // user-defined area
  };
  for (const auto& c : cases) EXPECT_EQ(decodeShiftJis(c.bytes), c.expected) << c.bytes;
}

TEST(DecodeShiftJis, InvalidBytesBecomeReplacementWithoutSwallowingText) {
  struct Case {
    std::string_view bytes;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"\x80\xA0\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"X\x83", u"X\uFFFD"},      // lead byte at the end
      {"\x83\nX", u"\uFFFD\nX"},  // a line feed is never a trail byte
      {"\x83\r\n", u"\uFFFD\r\n"},
      {"\x83 X", u"\uFFFD X"},
      {"\x83\xFDX", u"\uFFFD\uFFFDX"},
      {"\x83\x83\x65", u"ャe"},    // a lead byte is a fine trail byte
      {"\x85\x40X", u"\uFFFD@X"},  // unassigned code with an ASCII trail byte: the letter stays
      {"\x85\x82X", u"\uFFFDX"},   // unassigned code with a non-ASCII trail byte: one bad character
  };
  for (const auto& c : cases) EXPECT_EQ(decodeShiftJis(c.bytes), c.expected) << c.bytes;
}

TEST(DecodeShiftJis, AsciiRunsOfAnyLengthAroundOtherBytes) {
  for (size_t before = 0; before < 20; ++before) {
    for (size_t after : {0, 1, 7, 8, 9, 17}) {
      const std::string bytes = std::string(before, 'A') + "\x83\x65" + std::string(after, 'B') + "\xB1";
      const std::u16string expected = std::u16string(before, u'A') + u"テ" + std::u16string(after, u'B') + u"ｱ";
      ASSERT_EQ(decodeShiftJis(bytes), expected) << before << "," << after;
    }
  }
}

TEST(DecodeText, ByteOrderMarkChoosesTheEncoding) {
  struct Case {
    std::string_view bytes;
    std::u16string_view text;
    TextEncoding encoding;
  };
  const Case cases[] = {
      {"", u"", TextEncoding::ShiftJis},
      {"G01\n\x83\x65", u"G01\nテ", TextEncoding::ShiftJis},
      {"\xEF\xBB\xBF", u"", TextEncoding::Utf8Bom},
      {"\xEF\xBB\xBFG1 \xE3\x83\x86\xFF", u"G1 テ\uFFFD", TextEncoding::Utf8Bom},
      {"\xEF\xBB", u"\uFFFD", TextEncoding::ShiftJis},  // an incomplete mark is no mark
      {std::string_view("\xFF\xFEG\0\xC6\x30", 6), u"Gテ", TextEncoding::Utf16LeBom},
      {std::string_view("\xFE\xFF\0G\x30\xC6", 6), u"Gテ", TextEncoding::Utf16BeBom},
      {std::string_view("\xFF\xFEG\0X", 5), u"G\uFFFD", TextEncoding::Utf16LeBom},  // odd trailing byte
      {std::string_view("\xFF\xFE\x3D\xD8\x00\xDE", 6), u"😀", TextEncoding::Utf16LeBom},
      {std::string_view("\xFF\xFE\x3D\xD8G\0\x00\xDE", 8), u"\uFFFDG\uFFFD", TextEncoding::Utf16LeBom},
  };
  for (const auto& c : cases) {
    const DecodedText decoded = decodeText(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.bytes;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes;
  }
}

TEST(EncodeShiftJis, CharactersWithoutACodeBecomeQuestionMarks) {
  struct Case {
    std::u16string_view text;
    std::string_view expected;
  };
  const Case cases[] = {
      {u"", ""},
      {u"G01 X1.5\r\n\\~", "G01 X1.5\r\n\\~"},
      {u"テスト", "\x83\x65\x83\x58\x83\x67"},
      {u"ｱﾟ", "\xB1\xDF"},
      {u"é\uFFFD😀X", "???X"},  // a character outside the BMP is one question mark
      {u"\xD800X", "?X"},
      // Characters with two codes take one: JIS X 0208 first, then NEC row 13, then the IBM rows.
      {u"\uFFE2\u2235\u2160\u2170\u7E8A", "\x81\xCA\x81\xE6\x87\x54\xFA\x40\xFA\x5C"},
  };
  for (const auto& c : cases) EXPECT_EQ(encodeShiftJis(c.text), c.expected) << toUtf8(c.text);
}

TEST(EncodeShiftJis, EveryDoubleByteCodeRoundTripsAsTheSameCharacter) {
  int assigned = 0;
  int duplicates = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string bytes = bytesOf(lead, trail);
      const std::u16string text = decodeShiftJis(bytes);
      if (text.size() != 1 || text[0] == 0xFFFD) continue;
      ++assigned;
      const std::string encoded = encodeShiftJis(text);
      ASSERT_EQ(decodeShiftJis(encoded), text) << std::hex << lead << " " << trail;
      if (encoded == bytes) continue;
      ++duplicates;
      // Only the NEC row 13 and the IBM rows hold codes that stand for a character coded elsewhere.
      EXPECT_TRUE(lead == 0x87 || (lead >= 0xED && lead <= 0xEE) || lead >= 0xFA)
          << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(assigned, 9000);
  EXPECT_LT(duplicates, 420);
  for (int b = 0; b < 0x100; ++b) {
    const std::string bytes(1, static_cast<char>(b));
    const std::u16string text = decodeShiftJis(bytes);
    if (text[0] != 0xFFFD) {
      EXPECT_EQ(encodeShiftJis(text), bytes) << b;
    }
  }
}

TEST(EncodeText, WritesTheByteOrderMarkAgainAndRoundTrips) {
  const std::u16string text = u"G01 X1.5 (テスト ｱ 😀)\r\n";
  struct Case {
    TextEncoding encoding;
    std::string_view start;
  };
  const Case cases[] = {
      {TextEncoding::ShiftJis, "G01"},
      {TextEncoding::Utf8Bom, "\xEF\xBB\xBFG01"},
      {TextEncoding::Utf16LeBom, std::string_view("\xFF\xFEG\0", 4)},
      {TextEncoding::Utf16BeBom, std::string_view("\xFE\xFF\0G", 4)},
  };
  for (const auto& c : cases) {
    const std::string bytes = encodeText(text, c.encoding);
    EXPECT_TRUE(bytes.starts_with(c.start)) << static_cast<int>(c.encoding);
    const DecodedText back = decodeText(bytes);
    EXPECT_EQ(back.encoding, c.encoding);
    if (c.encoding == TextEncoding::ShiftJis) {
      EXPECT_EQ(back.text, u"G01 X1.5 (テスト ｱ ?)\r\n");
    } else {
      EXPECT_EQ(back.text, text) << static_cast<int>(c.encoding);
    }
  }
}

}  // namespace
