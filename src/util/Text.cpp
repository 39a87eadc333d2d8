// Text helpers: searching, replacing, cutting, removing enclosed pieces, and UTF-8.
#include "util/Text.hpp"

#include <algorithm>
#include <cstdint>

namespace {

// 1-based position of the first occurrence, 0 when absent.
int positionOf(std::u16string_view text, std::u16string_view pattern) { return findText(text, pattern) + 1; }

constexpr char16_t kReplacement = 0xFFFD;
bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes one UTF-8 sequence at bytes[i]; advances i past it, or past its longest valid beginning when it is
// broken (one U+FFFD per broken piece).
char32_t decodeUtf8At(std::string_view bytes, size_t& i) {
  const auto lead = static_cast<unsigned char>(bytes[i++]);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t code = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return kReplacement;
  }
  for (int k = 1; k < length; ++k) {
    if (i >= bytes.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(bytes[i]);
    if (next < low || next > high) return kReplacement;
    low = 0x80, high = 0xBF;
    code = (code << 6) | (next & 0x3F);
    ++i;
  }
  return code;
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

std::string toUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, isHighSurrogate(c) || isLowSurrogate(c) ? kReplacement : c);
    }
  }
  return out;
}

std::u16string fromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t code = decodeUtf8At(text, i);
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}
