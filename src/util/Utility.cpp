// Text and number helpers: searching, cutting, number reading and writing.
// (toUtf8 and fromUtf8 live with the other encodings in Encoding.cpp, upper-casing in UpperCase.cpp.)
#include "util/Utility.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>

namespace {

// 1-based position of the first occurrence, 0 when absent.
int positionOf(std::u16string_view text, std::u16string_view pattern) { return findText(text, pattern) + 1; }

bool isNumberStart(char16_t c) { return c == u'+' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t skipDigits(std::u16string_view s, size_t i) {
  while (i < s.size() && isDigit(s[i])) ++i;
  return i;
}

// Length of the longest prefix of `s` in the form [sign] digits [. digits] [e [sign] digits]; 0 without a digit.
size_t numberPrefixLength(std::u16string_view s) {
  size_t i = (!s.empty() && (s[0] == u'+' || s[0] == u'-')) ? 1 : 0;
  const size_t intStart = i;
  i = skipDigits(s, i);
  size_t digits = i - intStart;
  if (i < s.size() && s[i] == u'.') {
    const size_t fracEnd = skipDigits(s, i + 1);
    digits += fracEnd - (i + 1);
    i = fracEnd;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) ++j;
    const size_t expEnd = skipDigits(s, j);
    if (expEnd > j) i = expEnd;
  }
  return i;
}

// Reads the decimal number at the start of `s`; 0.0 when there is none or it is out of range.
double parseNumber(std::u16string_view s) {
  const size_t length = numberPrefixLength(s);
  if (length == 0) return 0.0;
  std::array<char, 128> small;
  std::string large;
  char* chars = small.data();
  if (length > small.size()) {
    large.resize(length);
    chars = large.data();
  }
  size_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    if (s[i] != u'+') chars[n++] = static_cast<char>(s[i]);  // from_chars takes no plus sign
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(chars, chars + n, value);
  (void)end;
  return error == std::errc() ? value : 0.0;
}

bool hasBlank(std::u16string_view text) { return std::any_of(text.begin(), text.end(), isBlank); }

// Adds one unit in the last digit of the decimal text in buf[0, length); returns the new length.
size_t incrementLastDigit(char* buf, size_t length) {
  for (size_t i = length; i-- > 0;) {
    if (buf[i] == '.') continue;
    if (buf[i] != '9') {
      ++buf[i];
      return length;
    }
    buf[i] = '0';
  }
  std::copy_backward(buf, buf + length, buf + length + 1);
  buf[0] = '1';
  return length + 1;
}

// A finite, non-negative double as mantissa * 2^exponent with an integer mantissa below 2^53.
struct BinaryParts {
  std::uint64_t mantissa;
  int exponent;
};

BinaryParts partsOf(double magnitude) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased = static_cast<int>(bits >> 52);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0) return {fraction, -1074};  // subnormal
  return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

constexpr int kMaxDecimals = 100;
constexpr int kMaxExactDecimals = 17;  // 10^17 * 2^53 still fits in 128 bits

// Writes `digits` as a fixed-point number with `decimals` places (at least one digit before the point).
size_t writeScaled(char* buf, std::uint64_t digits, int decimals) {
  char reversed[24];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  } while (digits != 0);
  while (count < decimals + 1) reversed[count++] = '0';
  size_t length = 0;
  for (int i = count; i-- > 0;) {
    buf[length++] = reversed[i];
    if (i == decimals && decimals > 0) buf[length++] = '.';
  }
  return length;
}

// The common case in integer arithmetic: magnitude * 10^decimals = mantissa * 10^decimals * 2^exponent is
// rounded exactly, halves up. Fails (returns 0) for large values, where the general path takes over.
size_t writeMagnitudeFast(char* buf, BinaryParts parts, int decimals) {
  static constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, kMaxExactDecimals + 1> powers{1};
    for (size_t k = 1; k < powers.size(); ++k) powers[k] = powers[k - 1] * 10;
    return powers;
  }();
  if (decimals > kMaxExactDecimals || parts.exponent >= 0) return 0;
  using Wide = unsigned __int128;
  const Wide scaled = Wide{parts.mantissa} * kPowersOfTen[decimals];
  const int shift = -parts.exponent;
  Wide rounded = 0;  // a shift of 128 or more leaves less than half a unit
  if (shift < 128) {
    rounded = scaled >> shift;
    const Wide remainder = scaled - (rounded << shift);
    if (remainder >= (Wide{1} << (shift - 1))) ++rounded;
  }
  if (rounded > Wide{UINT64_MAX}) return 0;
  return writeScaled(buf, static_cast<std::uint64_t>(rounded), decimals);
}

// Writes |value| with `decimals` places, halves rounded away from zero; returns the length.
size_t writeMagnitude(char* buf, size_t size, double magnitude, int decimals) {
  const BinaryParts parts = partsOf(magnitude);
  if (const size_t length = writeMagnitudeFast(buf, parts, decimals)) return length;
  // Fixed conversion is correctly rounded, but sends exact halves to the even neighbour. A half at `decimals`
  // places needs magnitude * 10^(decimals+1) = mantissa * 5^(decimals+1) * 2^(exponent+decimals+1) to be an
  // integer ending in 5.
  const bool halfPossible =
      parts.mantissa != 0 && parts.exponent + std::countr_zero(parts.mantissa) + decimals + 1 >= 0;
  if (halfPossible) {
    const char* end = std::to_chars(buf, buf + size, magnitude, std::chars_format::fixed, decimals + 1).ptr;
    const auto longer = static_cast<size_t>(end - buf);
    if (buf[longer - 1] == '5') return incrementLastDigit(buf, decimals == 0 ? longer - 2 : longer - 1);
  }
  const char* end = std::to_chars(buf, buf + size, magnitude, std::chars_format::fixed, decimals).ptr;
  return static_cast<size_t>(end - buf);
}

void appendAscii(std::u16string& out, const char* text, size_t length) {
  const size_t start = out.size();
  out.resize(start + length);
  std::copy(text, text + length, out.begin() + static_cast<std::ptrdiff_t>(start));
}

}  // namespace

int findText(std::u16string_view text, std::u16string_view pattern) {
  const size_t index = text.find(pattern);
  return index == std::u16string_view::npos ? -1 : static_cast<int>(index);
}

std::u16string replaceFirst(std::u16string_view text, std::u16string_view from, std::u16string_view to) {
  std::u16string result(text);
  const size_t index = text.find(from);
  if (index != std::u16string_view::npos) result.replace(index, from.size(), to);
  return result;
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to) {
  if (text.empty()) return {};
  if (from.empty()) return replaceFirst(text, from, to);  // repeating would prepend `to` forever
  std::u16string result;
  result.reserve(text.size());
  if (to.find(from) != std::u16string_view::npos) {
    // Repeating would never end: replace each occurrence of the original text once.
    size_t start = 0;
    for (size_t index; (index = text.find(from, start)) != std::u16string_view::npos; start = index + from.size())
      result.append(text.substr(start, index - start)).append(to);
    return result.append(text.substr(start));
  }
  // Same result as replacing the leftmost occurrence until none is left, in one pass: `result` never holds an
  // occurrence, so the next leftmost one ends at the first character that completes `from` at its end, and
  // a replacement is fed back through the same check because it can combine with what precedes it.
  std::u16string pending;  // replacement characters still to be fed, last one first
  size_t next = 0;
  while (!pending.empty() || next < text.size()) {
    if (pending.empty()) {
      result += text[next++];
    } else {
      result += pending.back();
      pending.pop_back();
    }
    if (result.size() >= from.size() && result.back() == from.back() &&
        std::u16string_view(result).substr(result.size() - from.size()) == from) {
      result.resize(result.size() - from.size());
      pending.append(to.rbegin(), to.rend());
    }
  }
  return result;
}

std::u16string stripBlanks(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (char16_t c : text) {
    if (!isBlank(c)) result += c;
  }
  return result;
}

std::u16string subText(std::u16string_view text, int start, int count) {
  if (start > static_cast<int>(text.size()) || count < 1) return {};
  start = std::max(start, 1);
  return std::u16string(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

std::u16string textThrough(std::u16string_view text, int start, std::u16string_view marker) {
  if (start > static_cast<int>(text.size())) return {};
  const auto from = static_cast<size_t>(std::max(start, 1) - 1);
  // An occurrence beginning exactly at `start` does not count.
  const size_t found = text.find(marker, from + 1);
  if (found == std::u16string_view::npos) return std::u16string(text.substr(from));
  return std::u16string(text.substr(from, found + marker.size() - from));
}

std::u16string textUpTo(std::u16string_view text, std::u16string_view marker) {
  if (text.starts_with(marker)) return std::u16string(marker);
  return textThrough(text, 1, marker);
}

std::u16string textBefore(std::u16string_view text, std::u16string_view marker) {
  return replaceFirst(textUpTo(text, marker), marker, u"");
}

std::u16string removeEnclosed(std::u16string_view text, std::u16string_view open, std::u16string_view close) {
  if (text.empty()) return {};
  const bool toLineEnd = close.empty() || close == u"\n";
  std::u16string s(text);
  int a = open.empty() ? 1 : positionOf(s, open);
  // Without an open there is nothing to remove up to the line end (also when the close is a line feed).
  if (a == 0 && toLineEnd) return s;
  int b = toLineEnd ? static_cast<int>(s.size()) : positionOf(s, close);
  const int markLength = static_cast<int>(std::max(open.size(), close.size()));
  while (!s.empty()) {
    if (a == 0 && b != 0) a = 1;                           // a close without an open removes from the beginning
    if (a != 0 && b == 0) b = static_cast<int>(s.size());  // an open without a close removes to the end
    if (a == 0 && b == 0) return s;
    if (b < a) a = 1;
    const int count = toLineEnd ? static_cast<int>(s.size()) : b - a + markLength;
    s = replaceFirst(s, subText(s, a, count), u"");
    if (toLineEnd) break;
    a = positionOf(s, open);
    b = positionOf(s, close);
  }
  return s;
}

double toNumber(std::u16string_view text, int start) {
  if (text.empty()) return 0.0;
  const std::u16string s = stripBlanks(subText(text, start, static_cast<int>(text.size())));
  if (s.empty() || !isNumberStart(s[0])) return 0.0;
  return numberAfter(s, u"");
}

double numberAfter(std::u16string_view text, std::u16string_view key) {
  if (text.empty()) return 0.0;
  std::u16string stripped;
  if (hasBlank(text)) {
    stripped = stripBlanks(text);
    text = stripped;
  }
  const size_t keyAt = text.find(key);
  if (keyAt == std::u16string_view::npos) return 0.0;
  std::u16string_view rest = text.substr(keyAt + key.size());
  const auto first = std::find_if(rest.begin(), rest.end(), isNumberStart);
  if (first == rest.end()) return 0.0;
  return parseNumber(rest.substr(static_cast<size_t>(first - rest.begin())));
}

int truncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

std::u16string formatInt(int value, int width) {
  if (width > 9 || width < 1) width = 9;
  char buf[32];
  const int length = std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return std::u16string(buf, buf + length);
}

std::u16string formatReal(double value, int decimals) {
  std::u16string out;
  appendFormatReal(out, value, decimals);
  return out;
}

void appendFormatReal(std::u16string& out, double value, int decimals) {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  char buf[512];  // the largest double has 309 integer digits
  if (!std::isfinite(value)) {
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    appendAscii(out, buf, static_cast<size_t>(end - buf));
    return;
  }
  const size_t length = writeMagnitude(buf + 1, sizeof buf - 2, std::fabs(value), decimals);
  // A negative value that rounds to zero is written without a sign.
  const bool negative =
      std::signbit(value) && std::any_of(buf + 1, buf + 1 + length, [](char c) { return c >= '1' && c <= '9'; });
  buf[0] = '-';
  appendAscii(out, negative ? buf : buf + 1, negative ? length + 1 : length);
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

std::string shortestReal(double value) {
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  return std::string(buf, end);
}
