// Reading numbers out of NC text: one reader for address words, comments and the window's number fields, on
// decoded text and on the plain bytes of a file alike.
#pragma once

#include <cstddef>
#include <string_view>

#include "util/Text.hpp"

template <typename Char>
constexpr bool startsNumber(Char c) {
  return isDigit(c) || c == Char('+') || c == Char('-') || c == Char('.');
}

// The number text of an address word starting at `from`: an optional sign or point, then digits with at most
// one point in all ("1.2" of "1.2.3"). Empty when none of these follows.
template <typename Char>
std::basic_string_view<Char> wordNumberAt(std::basic_string_view<Char> text, std::size_t from) {
  if (from > text.size()) from = text.size();
  std::size_t i = from;
  bool point = false;
  if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-') || text[i] == Char('.'))) {
    point = text[i] == Char('.');
    ++i;
  }
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) continue;
    if (text[i] != Char('.') || point) break;
    point = true;
  }
  return text.substr(from, i - from);
}

// The number text of an address word at `from`, as wordNumberAt gives it, and its value, as readNumber gives
// it, in one pass over the text.
template <typename Char>
std::basic_string_view<Char> readWordNumberAt(std::basic_string_view<Char> text, std::size_t from, double& value);

// The value of the longest beginning of `text` in the form [sign] digits [. digits] [e [sign] digits], as the
// nearest double; 0.0 when it has no digit or its value is too large to hold.
double readNumber(std::string_view text);
double readNumber(std::u16string_view text);

// The number written at position `start` (blanks left out), 0.0 unless it starts with a sign, point or digit.
double toNumber(std::u16string_view text, int start);
// The first number after the first occurrence of `key` (blanks left out), 0.0 if none.
double numberAfter(std::u16string_view text, std::u16string_view key);
// A real truncated toward zero to an int, saturating (NaN gives 0): numbers from texts may be of any size.
int truncToInt(double value);
