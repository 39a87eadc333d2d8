// Tests of reading numbers out of NC text and of the two fixed number formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "util/Format.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

namespace {

// |value| rounded to `decimals` places, halves away from zero, from the exact decimal expansion printf gives.
std::string referenceFormat(double value, int decimals) {
  std::vector<char> exact(1500);
  std::snprintf(exact.data(), exact.size(), "%.1100f", std::fabs(value));
  std::string digits(exact.data());
  const size_t point = digits.find('.');
  const bool up = digits[point + 1 + decimals] >= '5';
  std::string kept = digits.substr(0, point) + digits.substr(point + 1, decimals);
  if (up) {
    size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0)
      kept.insert(kept.begin(), '1');
    else
      ++kept[i - 1];
  }
  std::string result = decimals == 0 ? kept : kept.insert(kept.size() - decimals, ".");
  const bool zero = result.find_first_not_of("0.") == std::string::npos;
  return (value < 0 && !zero ? "-" : "") + result;
}

TEST(ToNumber, ReadsTheNumberAtTheStartOnly) {
  struct Case {
    std::u16string_view text;
    int start;
    double expected;
  };
  const Case cases[] = {
      {u"", 1, 0.0},     {u"ABC", 1, 0.0},    {u"-", 1, 0.0},       {u"+", 1, 0.0},
      {u".", 1, 0.0},    {u"  7.5", 1, 7.5},  {u"-12.5", 1, -12.5}, {u"-.5", 1, -0.5},
      {u"+3", 1, 3.0},   {u"1e3", 1, 1000.0}, {u"X1.5", 1, 0.0},    {u"X1.5", 2, 1.5},
      {u"X1.5", 0, 0.0}, {u"12", 5, 0.0},     {u"1 2. 5", 1, 12.5}, {u"\u3000\t-4", 1, -4.0},
      {u"１２", 1, 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(toNumber(c.text, c.start), c.expected) << toUtf8(c.text);
}

TEST(NumberAfter, LongestDecimalPrefixAfterKey) {
  struct Case {
    std::u16string_view text, key;
    double expected;
  };
  const Case cases[] = {
      {u"DIA=6.5", u"DIA=", 6.5},
      {u"(DIA = 6.5 MM)", u"DIA=", 6.5},
      {u"D=10.", u"D=", 10.0},
      {u"X1.5Y2", u"", 1.5},
      {u"X1.5Y2", u"Y", 2.0},
      {u"D=A", u"D=", 0.0},
      {u"", u"", 0.0},
      {u"X", u"", 0.0},
      {u"X-", u"", 0.0},
      {u"X--5", u"", 0.0},
      {u"X.5", u"", 0.5},
      {u"X5.", u"", 5.0},
      {u"X1e3", u"", 1000.0},
      {u"X1E-2", u"", 0.01},
      {u"X1e+2Y", u"", 100.0},
      {u"X1e", u"", 1.0},
      {u"X1e+", u"", 1.0},
      {u"X1.2.3", u"", 1.2},
      {u"X+.25", u"", 0.25},
      {u"F1,5", u"", 1.0},
      {u"X0x10", u"", 0.0},
      {u"XINF", u"", 0.0},
      {u"X1e999", u"", 0.0},
      {u"X1e-999", u"", 0.0},
      {u"KEY=1", u"MISSING", 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(numberAfter(c.text, c.key), c.expected) << toUtf8(c.text);
  const std::u16string longDigits = u"X" + std::u16string(300, u'0') + u"1.25";
  EXPECT_EQ(numberAfter(longDigits, u""), 1.25);
}

// A word's number read while it is found gives the number text and the value of reading that text, from
// decoded text and from bytes: random texts of signs, points, digits and letters, and long runs of digits.
TEST(ReadNumber, WordNumbersReadWhereTheyStand) {
  std::mt19937 random(7);
  const std::string alphabet = "0000123456789..+-eX";
  std::vector<std::string> texts = {"1.",
                                    ".5",
                                    "-.",
                                    "+",
                                    "-0",
                                    "0.0000000000000000000000001",
                                    "9999999999999999",
                                    "999999999999999",
                                    "1000000000000000.5",
                                    "00000000000000000000000000001.25",
                                    "123456789012345678901234567890"};
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    const int length = static_cast<int>(random() % 24);
    for (int c = 0; c < length; ++c) text += alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    for (std::size_t from = 0; from <= std::min<std::size_t>(text.size(), 2); ++from) {
      double bytesValue = -1;
      const std::string_view bytes = readWordNumberAt(std::string_view(text), from, bytesValue);
      ASSERT_EQ(bytes, wordNumberAt(std::string_view(text), from)) << text;
      const double expected = readNumber(bytes);
      ASSERT_EQ(std::signbit(bytesValue), std::signbit(expected)) << text;
      ASSERT_EQ(bytesValue, expected) << text;
      const std::u16string wide = fromUtf8(text);
      double wideValue = -1;
      readWordNumberAt(std::u16string_view(wide), from, wideValue);
      ASSERT_EQ(std::signbit(wideValue), std::signbit(expected)) << text;
      ASSERT_EQ(wideValue, expected) << text;
    }
  }
}

TEST(TruncToInt, TowardZeroAndSaturatingForNumbersOfAnySize) {
  EXPECT_EQ(truncToInt(4.7), 4);
  EXPECT_EQ(truncToInt(-0.5), 0);
  EXPECT_EQ(truncToInt(-99991.999), -99991);
  EXPECT_EQ(truncToInt(1e30), 2147483647);
  EXPECT_EQ(truncToInt(-1e30), -2147483647 - 1);
  EXPECT_EQ(truncToInt(std::nan("")), 0);
  EXPECT_EQ(truncToInt(toNumber(u"99999999999", 1)), 2147483647);
}

TEST(FormatInt, ZeroPaddedWithWidthOneToNine) {
  struct Case {
    int value, width;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {5, 2, u"05"},          {5, 1, u"5"},
      {5, 0, u"000000005"},   {5, -3, u"000000005"},
      {7, 12, u"000000007"},  {7, 9, u"000000007"},
      {123456, 3, u"123456"}, {-42, 5, u"-0042"},
      {0, 3, u"000"},         {-2147483647 - 1, 4, u"-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatInt(c.value, c.width), c.expected) << c.value << "," << c.width;
}

TEST(FormatReal, FixedDecimalsWithHalvesAwayFromZero) {
  struct Case {
    double value;
    int decimals;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {12.5, 3, u"12.500"},
      {1234567.891, 4, u"1234567.8910"},
      {-0.25, 3, u"-0.250"},
      {0.0005, 3, u"0.001"},
      {-1.5, 3, u"-1.500"},
      {100000, 3, u"100000.000"},
      {0.0, 3, u"0.000"},
      {0.2, 5, u"0.20000"},
      // Exact halves go away from zero, where printf would go to the even neighbour.
      {0.0625, 3, u"0.063"},
      {-0.0625, 3, u"-0.063"},
      {0.125, 2, u"0.13"},
      {-0.125, 2, u"-0.13"},
      {0.375, 2, u"0.38"},
      {2.5, 0, u"3"},
      {-2.5, 0, u"-3"},
      {9.5, 0, u"10"},
      {99.5, 0, u"100"},
      {1e15 + 0.5, 0, u"1000000000000001"},
      // Values just below a half (the double of 2.675 is 2.67499999...) go down.
      {2.675, 2, u"2.67"},
      {-2.675, 2, u"-2.67"},
      {1.0005, 3, u"1.000"},
      // No minus sign on a value that rounds to zero.
      {-0.0004, 3, u"0.000"},
      {-0.0, 3, u"0.000"},
      {-1e-300, 4, u"0.0000"},
      {-0.0005, 3, u"-0.001"},
      {123456789012.345, 3, u"123456789012.345"},
      {-9007199254740993.0, 1, u"-9007199254740992.0"},
      {1.25, -2, u"1"},
      {0x1p-21, 20, u"0.00000047683715820313"},  // a half with more places than 64-bit arithmetic covers
      {0x1p-21, 21, u"0.000000476837158203125"},
      {0x1p60, 2, u"1152921504606846976.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatReal(c.value, c.decimals), c.expected) << c.value << "," << c.decimals;
  const std::u16string huge = formatReal(1e300, 3);
  EXPECT_EQ(huge.size(), 305u);
  EXPECT_EQ(huge.substr(0, 4), u"1000");
  EXPECT_EQ(huge.substr(301), u".000");
}

TEST(FormatReal, AgreesWithExactDecimalExpansion) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> spread(-20000.0, 20000.0);
  int halves = 0;
  for (int n = 0; n < 6000; ++n) {
    const int decimals = 3 + n % 3;
    double value = spread(random);
    if (n % 5 == 0) value /= 1e4;
    if (n % 11 == 0) value *= 1e12;  // beyond 64-bit integer arithmetic at 5 places
    // Every other value is a multiple of 2^-(decimals+1), half of which lie exactly between two results.
    const double step = std::ldexp(1.0, -(decimals + 1));
    if (n % 2 == 1) value = std::round(value / step) * step;
    halves += std::fmod(std::fabs(value) / step, 2.0) == 1.0;
    ASSERT_EQ(toUtf8(formatReal(value, decimals)), referenceFormat(value, decimals)) << value << "," << decimals;
  }
  EXPECT_GT(halves, 1000);
}

TEST(FormatReal, AppendsWithoutTouchingWhatIsThere) {
  std::u16string out = u"X";
  appendFormatReal(out, -1.5, 3);
  out += u'Y';
  appendFormatReal(out, 0.0625, 4);
  EXPECT_EQ(out, u"X-1.500Y0.0625");
  EXPECT_EQ(formatReal(NAN, 3), u"nan");
  EXPECT_EQ(formatReal(-INFINITY, 3), u"-inf");
}

TEST(ShortestReal, ShortestTextThatReadsBack) {
  struct Case {
    double value;
    std::string_view expected;
  };
  const Case cases[] = {
      {10, "10"},
      {-0.5, "-0.5"},
      {0.1, "0.1"},
      {1e21, "1e+21"},
      {0.0, "0"},
      {-99991.999, "-99991.999"},
      {1.0 / 3.0, "0.3333333333333333"},
  };
  for (const auto& c : cases) EXPECT_EQ(shortestReal(c.value), c.expected);
}

}  // namespace
