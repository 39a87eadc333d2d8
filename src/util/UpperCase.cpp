// Upper-casing of program lines: a pass for ASCII on every line, the Unicode table only for lines that need it.
#include <algorithm>
#include <iterator>

#include "util/Text.hpp"
#include "util/UpperCaseTable.hpp"

namespace {

constexpr char32_t kFirstSupplementary = 0x10000;

// A UTF-16 text keeps its length only if no mapping leaves the plane it starts in.
constexpr bool mappingsStayInTheirPlane() {
  for (const uppercase::Range& r : uppercase::kRanges) {
    const auto mapped = [&r](char32_t c) { return static_cast<char32_t>(static_cast<std::int32_t>(c) + r.delta); };
    if ((r.first >= kFirstSupplementary) != (mapped(r.first) >= kFirstSupplementary)) return false;
    if ((r.last >= kFirstSupplementary) != (mapped(r.last) >= kFirstSupplementary)) return false;
  }
  return true;
}
static_assert(mappingsStayInTheirPlane(), "the upper-case table would change the length of a text");

char32_t upperOf(char32_t c) {
  if (c >= uppercase::kGapFirst && c <= uppercase::kGapLast) return c;
  const auto* range = std::upper_bound(std::begin(uppercase::kRanges), std::end(uppercase::kRanges), c,
                                       [](char32_t value, const uppercase::Range& r) { return value < r.first; });
  if (range == std::begin(uppercase::kRanges)) return c;
  --range;
  if (c > range->last || (c - range->first) % range->stride != 0) return c;
  return static_cast<char32_t>(static_cast<std::int32_t>(c) + range->delta);
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A surrogate pair is mapped as one character; a lone surrogate stays.
void upperCaseNonAscii(std::u16string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) continue;
    if (!isHighSurrogate(c) || i + 1 == text.size() || !isLowSurrogate(text[i + 1])) {
      text[i] = static_cast<char16_t>(upperOf(c));
      continue;
    }
    const char32_t pair = kFirstSupplementary + ((char32_t{c} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
    const char32_t upper = upperOf(pair) - kFirstSupplementary;
    text[i] = static_cast<char16_t>(0xD800 + (upper >> 10));
    text[++i] = static_cast<char16_t>(0xDC00 + (upper & 0x3FF));
  }
}

}  // namespace

void upperCaseInPlace(std::u16string& text) {
  // A branch-free ASCII pass (vectorised by the compiler): million-line programs are almost all ASCII.
  bool nonAscii = false;
  for (char16_t& c : text) {
    nonAscii |= c >= 0x80;
    c = static_cast<char16_t>(static_cast<unsigned>(c - u'a') < 26u ? c - 32 : c);
  }
  if (nonAscii) upperCaseNonAscii(text);
}
