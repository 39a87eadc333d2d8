// Text helpers shared by every part of the program: searching, cutting, blanks, upper case and UTF-8.
// Positions are 1-based except findText's.
#pragma once

#include <string>
#include <string_view>

int findText(std::u16string_view text, std::u16string_view pattern);
std::u16string replaceFirst(std::u16string_view text, std::u16string_view from, std::u16string_view to);
std::u16string replaceAll(std::u16string_view text, std::u16string_view from, std::u16string_view to);
// Removes spaces, ideographic spaces (U+3000) and tabs.
std::u16string stripBlanks(std::u16string_view text);
std::u16string subText(std::u16string_view text, int start, int count);
std::u16string textThrough(std::u16string_view text, int start, std::u16string_view marker);
std::u16string textUpTo(std::u16string_view text, std::u16string_view marker);
std::u16string textBefore(std::u16string_view text, std::u16string_view marker);
// An empty close (or "\n") removes from open to the end of the text, once.
std::u16string removeEnclosed(std::u16string_view text, std::u16string_view open, std::u16string_view close);

// Upper case: every character by Unicode's simple upper-case mapping (µ gives Μ, ǅ gives Ǆ); one whose
// upper case is several characters (ß), or an ASCII letter (ı, ſ: no new address letters), stays. Surrogate
// pairs are mapped as one character; the length stays.
void upperCaseInPlace(std::u16string& text);

// A space, an ideographic space or a tab.
constexpr bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }
// ASCII digits only: full-width digits are no part of a number.
template <typename Char>
constexpr bool isDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
