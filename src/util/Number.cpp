// The one number reader: exact for the short decimals NC programs are made of, the standard library's
// correctly rounded conversion for everything else.
#include "util/Number.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace {

template <typename Char>
std::size_t skipDigits(std::basic_string_view<Char> s, std::size_t i) {
  while (i < s.size() && isDigit(s[i])) ++i;
  return i;
}

// Length of the longest prefix of `s` in the form [sign] digits [. digits] [e [sign] digits]; 0 without a
// digit. `exponent` tells whether the prefix has one.
template <typename Char>
std::size_t numberPrefixLength(std::basic_string_view<Char> s, bool& exponent) {
  std::size_t i = (!s.empty() && (s[0] == Char('+') || s[0] == Char('-'))) ? 1 : 0;
  const std::size_t intStart = i;
  i = skipDigits(s, i);
  std::size_t digits = i - intStart;
  if (i < s.size() && s[i] == Char('.')) {
    const std::size_t fracEnd = skipDigits(s, i + 1);
    digits += fracEnd - (i + 1);
    i = fracEnd;
  }
  exponent = false;
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == Char('e') || s[i] == Char('E'))) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == Char('+') || s[j] == Char('-'))) ++j;
    const std::size_t expEnd = skipDigits(s, j);
    if (expEnd > j) {
      i = expEnd;
      exponent = true;
    }
  }
  return i;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// [sign] digits with at most one point, up to 15 significant digits and 22 decimals: then
// mantissa / 10^decimals divides two exact doubles and rounds once, which is what a correct reader gives.
template <typename Char>
bool readShortDecimal(std::basic_string_view<Char> text, double& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) negative = text[i++] == Char('-');
  std::uint64_t mantissa = 0;
  int significant = 0, decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const Char c = text[i];
    if (c == Char('.')) {
      point = true;
      continue;
    }
    if (point) ++decimals;
    if (mantissa == 0 && c == Char('0')) continue;
    if (++significant > 15) return false;
    mantissa = mantissa * 10 + static_cast<unsigned>(c - Char('0'));
  }
  if (decimals > 22) return false;
  value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  if (negative) value = -value;
  return true;
}

template <typename Char>
double readPrefix(std::basic_string_view<Char> text) {
  bool exponent = false;
  const std::size_t length = numberPrefixLength(text, exponent);
  if (length == 0) return 0.0;
  const std::basic_string_view<Char> number = text.substr(0, length);
  double value = 0.0;
  if (!exponent && readShortDecimal(number, value)) return value;
  std::array<char, 128> small;
  std::string large;
  char* chars = small.data();
  if (length > small.size()) {
    large.resize(length);
    chars = large.data();
  }
  std::size_t n = 0;
  for (const Char c : number) {
    if (c != Char('+')) chars[n++] = static_cast<char>(c);  // from_chars takes no plus sign
  }
  const auto [end, error] = std::from_chars(chars, chars + n, value);
  (void)end;
  return error == std::errc() ? value : 0.0;
}

}  // namespace

template <typename Char>
std::basic_string_view<Char> readWordNumberAt(std::basic_string_view<Char> text, std::size_t from, double& value) {
  // 10^15: a mantissa below it has at most 15 significant digits, which readShortDecimal reads exactly.
  constexpr std::uint64_t kSignificantLimit = 1000000000000000ULL;
  const std::size_t n = text.size();
  if (from > n) from = n;
  std::size_t i = from;
  bool negative = false, point = false;
  if (i < n && (text[i] == Char('+') || text[i] == Char('-'))) {
    negative = text[i++] == Char('-');
  } else if (i < n && text[i] == Char('.')) {
    point = true;
    ++i;
  }
  const std::size_t signEnd = i;
  std::uint64_t mantissa = 0;
  bool tooLong = false;
  const auto take = [&](Char c) {
    if (mantissa < kSignificantLimit) {
      mantissa = mantissa * 10 + static_cast<unsigned>(c - Char('0'));
    } else {
      tooLong = true;
    }
  };
  if (!point) {
    while (i < n && isDigit(text[i])) take(text[i++]);
    if (i < n && text[i] == Char('.')) {
      point = true;
      ++i;
    }
  }
  const std::size_t fractionStart = i;
  if (point) {
    while (i < n && isDigit(text[i])) take(text[i++]);
  }
  const auto decimals = static_cast<int>(i - fractionStart);
  const std::basic_string_view<Char> number = text.substr(from, i - from);
  const bool anyDigit = i - signEnd > (point && fractionStart > signEnd ? 1u : 0u);
  if (!anyDigit) {
    value = 0.0;
  } else if (!tooLong && mantissa < kSignificantLimit && decimals <= 22) {
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (negative) value = -value;
  } else {
    value = readPrefix(number);
  }
  return number;
}

template std::string_view readWordNumberAt(std::string_view, std::size_t, double&);
template std::u16string_view readWordNumberAt(std::u16string_view, std::size_t, double&);

double readNumber(std::string_view text) { return readPrefix(text); }
double readNumber(std::u16string_view text) { return readPrefix(text); }

namespace {
// `text` without its blanks, copied into `storage` only when it has any.
std::u16string_view withoutBlanks(std::u16string_view text, std::u16string& storage) {
  if (std::none_of(text.begin(), text.end(), [](char16_t c) { return isBlank(c); })) return text;
  storage = stripBlanks(text);
  return storage;
}
}  // namespace

double toNumber(std::u16string_view text, int start) {
  if (text.empty()) return 0.0;
  const auto from = static_cast<std::size_t>(start < 1 ? 0 : start - 1);
  if (from >= text.size()) return 0.0;
  text = text.substr(from);
  std::u16string stripped;
  text = withoutBlanks(text, stripped);
  if (text.empty() || !startsNumber(text[0])) return 0.0;
  return readPrefix(text);
}

double numberAfter(std::u16string_view text, std::u16string_view key) {
  if (text.empty()) return 0.0;
  std::u16string stripped;
  text = withoutBlanks(text, stripped);
  const std::size_t keyAt = text.find(key);
  if (keyAt == std::u16string_view::npos) return 0.0;
  const std::u16string_view rest = text.substr(keyAt + key.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (startsNumber(rest[i])) return readPrefix(rest.substr(i));
  }
  return 0.0;
}

int truncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}
