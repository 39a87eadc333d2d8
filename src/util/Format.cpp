// The fixed number formats: zero-padded integers, and fixed-point reals rounded on the exact value of the double
// with halves away from zero.
#include "util/Format.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

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

std::string shortestReal(double value) {
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  return std::string(buf, end);
}
