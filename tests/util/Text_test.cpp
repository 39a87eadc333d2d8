// Tests of the text helpers: searching, replacing, cutting, removing enclosed pieces, case and UTF-8.
#include "util/Text.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// replaceAll as literally defined: the leftmost occurrence replaced until the text stops changing.
std::u16string replaceRepeatedly(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::u16string previous; s != previous;) {
    previous = s;
    s = replaceFirst(previous, from, to);
  }
  return s;
}

TEST(FindText, FirstOccurrenceZeroBased) {
  struct Case {
    std::u16string_view text, pattern;
    int expected;
  };
  const Case cases[] = {
      {u"abc", u"", 0},       {u"", u"", 0},         {u"", u"a", -1},    {u"abcabc", u"ca", 2},
      {u"abcabc", u"abc", 0}, {u"abc", u"abcd", -1}, {u"ABC", u"b", -1}, {u"G01Ｘ1", u"Ｘ", 3},
  };
  for (const auto& c : cases) EXPECT_EQ(findText(c.text, c.pattern), c.expected) << toUtf8(c.text);
}

TEST(Replace, FirstAndRepeated) {
  struct Case {
    std::u16string_view text, from, to, first, all;
  };
  const Case cases[] = {
      {u"a-b-c", u"-", u"+", u"a+b-c", u"a+b+c"},
      {u"a-b-c", u"-", u"", u"ab-c", u"abc"},
      {u"aaaa", u"aa", u"a", u"aaa", u"a"},  // occurrences made by a replacement are replaced too
      {u"aabb", u"ab", u"", u"ab", u""},
      {u"abc", u"x", u"y", u"abc", u"abc"},
      {u"", u"a", u"b", u"", u""},
      {u"abc", u"", u"x", u"xabc", u"xabc"},    // an empty `from` is found in front, once
      {u"a-b", u"-", u"--", u"a--b", u"a--b"},  // a `to` containing `from` is applied once per occurrence
      {u"VAR #1=2", u"VAR", u"", u" #1=2", u" #1=2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replaceFirst(c.text, c.from, c.to), c.first) << toUtf8(c.text);
    EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.all) << toUtf8(c.text);
  }
}

TEST(Replace, AllMatchesLiteralRepetitionOnRandomTexts) {
  struct Rule {
    std::u16string_view from, to;
  };
  const Rule rules[] = {{u"ab", u""},  {u"aba", u""},  {u"aa", u"a"},
                        {u"ab", u"b"}, {u"ab", u"ba"}, {u"abb", u"ba"}};
  std::mt19937 random(7);
  for (const auto& rule : rules) {
    for (int n = 0; n < 300; ++n) {
      std::u16string text(random() % 14, u'a');
      for (auto& c : text) c = random() % 2 ? u'a' : u'b';
      EXPECT_EQ(replaceAll(text, rule.from, rule.to), replaceRepeatedly(text, rule.from, rule.to))
          << toUtf8(text) << " " << toUtf8(rule.from) << "->" << toUtf8(rule.to);
    }
  }
}

TEST(StripBlanks, RemovesSpaceIdeographicSpaceAndTabOnly) {
  EXPECT_EQ(stripBlanks(u"G01 X1.\u3000 Y2\t"), u"G01X1.Y2");
  EXPECT_EQ(stripBlanks(u" \t\u3000"), u"");
  EXPECT_EQ(stripBlanks(u"A\nB\r\u00A0C"), u"A\nB\r\u00A0C");
  EXPECT_TRUE(isBlank(u' ') && isBlank(u'\t') && isBlank(u'\u3000'));
  EXPECT_FALSE(isBlank(u'\n') || isBlank(u'\u00A0') || isBlank(u'_'));
}

TEST(SubText, OneBasedAndClamped) {
  struct Case {
    int start, count;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {1, 2, u"AB"}, {0, 2, u"AB"}, {-5, 3, u"ABC"}, {4, 10, u"DE"},   {5, 1, u"E"},
      {6, 1, u""},   {2, 0, u""},   {2, -1, u""},    {1, 5, u"ABCDE"}, {3, 2147483647, u"CDE"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(subText(u"ABCDE", c.start, c.count), c.expected) << c.start << "," << c.count;
  EXPECT_EQ(subText(u"", 1, 1), u"");
}

TEST(TextPieces, ThroughUpToAndBeforeMarker) {
  EXPECT_EQ(textThrough(u"abcabc", 1, u"a"), u"abca");  // an occurrence at the start position is skipped
  EXPECT_EQ(textThrough(u"abcabc", 2, u"c"), u"bc");
  EXPECT_EQ(textThrough(u"abcabc", 3, u"c"), u"cabc");
  EXPECT_EQ(textThrough(u"abcabc", 2, u"x"), u"bcabc");
  EXPECT_EQ(textThrough(u"abc", 4, u"a"), u"");
  EXPECT_EQ(textUpTo(u"a=b=c", u"="), u"a=");
  EXPECT_EQ(textUpTo(u"=b", u"="), u"=");
  EXPECT_EQ(textUpTo(u"abc", u"="), u"abc");
  EXPECT_EQ(textUpTo(u"", u"="), u"");
  EXPECT_EQ(textBefore(u"VAR#1=10.5", u"="), u"VAR#1");
  EXPECT_EQ(textBefore(u"ABC", u"="), u"ABC");
  EXPECT_EQ(textBefore(u"=5", u"="), u"");
  EXPECT_EQ(textBefore(u"#12==3", u"=="), u"#12");
}

TEST(RemoveEnclosed, PiecesBetweenOpenAndClose) {
  struct Case {
    std::u16string_view text, open, close, expected;
  };
  const Case cases[] = {
      {u"G01X1.F100//fast", u"//", u"", u"G01X1.F100"},
      {u"G01X1.F100//a//b", u"//", u"", u"G01X1.F100"},
      {u"G01X1.F100", u"//", u"", u"G01X1.F100"},
      {u"G01X1.F100", u"//", u"\n", u"G01X1.F100"},  // no open: nothing up to the line end either
      {u"G01//x\n", u"//", u"\n", u"G01"},
      {u"A(1)B(2)C", u"(", u")", u"ABC"},
      {u"A/*x*/B/*y*/", u"/*", u"*/", u"AB"},
      {u"A(1)B(2", u"(", u")", u"AB"},  // an open without a close runs to the end
      {u"A)B(C)", u"(", u")", u"B"},    // a close before any open removes from the beginning
      {u"A1)B", u"(", u")", u"B"},
      {u"ABC", u"(", u")", u"ABC"},
      {u"", u"(", u")", u""},
      {u"(((x)))", u"(", u")", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(removeEnclosed(c.text, c.open, c.close), c.expected) << toUtf8(c.text) << " " << toUtf8(c.open);
}

TEST(UpperCase, EveryLetterByItsSimpleUpperCase) {
  struct Case {
    std::u16string_view text, expected;
  };
  const Case cases[] = {
      {u"g01 x1.5 (abc-xyz) dia=6", u"G01 X1.5 (ABC-XYZ) DIA=6"},
      {u"ａｂｚ ＡＺ", u"ＡＢＺ ＡＺ"},
      {u"αβγωσ", u"ΑΒΓΩΣ"},
      {u"жяёђ", u"ЖЯЁЂ"},
      {u"éàÿāœ", u"ÉÀŸĀŒ"},
      {u"テスト漢字ｱ①ⓐⅰ", u"テスト漢字ｱ①ⒶⅠ"},
      // Letters that share their upper case with another letter, and titlecase letters.
      {u"µςϐǅǈ", u"ΜΣΒǄǇ"},
      // Letters whose upper case is an ASCII letter stay: they must not become address letters.
      {u"ıſ", u"ıſ"},
      // Letters whose upper case is several letters stay; those with a one-letter simple form take it.
      {u"ßŉǰﬀᾳᾀ", u"ßŉǰﬀᾼᾈ"},
      // Pairs of surrogates are one letter; lone surrogates and letters outside any mapping stay.
      {u"\U00010428\U0001E922\U0001D41A", u"\U00010400\U0001E900\U0001D41A"},
      {u"a\xD801"
       u"b\xDC28"
       u"c\xDC28\xD801",
       u"A\xD801"
       u"B\xDC28"
       u"C\xDC28\xD801"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    std::u16string text(c.text);
    upperCaseInPlace(text);
    EXPECT_EQ(text, c.expected) << toUtf8(c.text);
  }
}

// Over every character: the length stays, upper case is final, and only a-z give ASCII letters.
TEST(UpperCase, IsFinalAndKeepsTheLength) {
  const auto upperOf = [](char32_t c) {
    std::u16string text;
    if (c < 0x10000) {
      text = std::u16string(1, static_cast<char16_t>(c));
    } else {
      text = {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    }
    const std::size_t length = text.size();
    upperCaseInPlace(text);
    EXPECT_EQ(text.size(), length) << std::hex << unsigned(c);
    return length == 1 ? char32_t{text[0]} : 0x10000 + ((char32_t{text[0]} - 0xD800) << 10) + (text[1] - 0xDC00);
  };
  int mapped = 0;
  for (char32_t c = 0; c < 0x110000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const char32_t u = upperOf(c);
    if (u == c) continue;
    ++mapped;
    ASSERT_EQ(upperOf(u), u) << std::hex << unsigned(c);
    EXPECT_TRUE(u >= 0x80 || c < 0x80) << std::hex << unsigned(c);
  }
  EXPECT_EQ(mapped, 1448);  // Unicode 14, without ı and ſ
}

TEST(Utf8, ConvertsBothWaysAndReplacesInvalidInput) {
  EXPECT_EQ(toUtf8(u"G01 テスト é 😀"), "G01 \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(fromUtf8("G01 \xE3\x83\x86 \xC3\xA9 \xF0\x9F\x98\x80"), u"G01 テ é 😀");
  EXPECT_EQ(toUtf8(u"a\xD800"
                   u"b\xDC00"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");  // lone surrogates
  struct Case {
    std::string_view bytes;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"", u""},
      {"a\xFFz", u"a\uFFFDz"},
      {"\xC0\x80", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE3\x83", u"\uFFFD"},                            // truncated at the end
      {"\xE3\x83"
       "A",
       u"\uFFFDA"},  // truncated before an ASCII letter
      {"\x80\xBF", u"\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.expected);
}

}  // namespace
