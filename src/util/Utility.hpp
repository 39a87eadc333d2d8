// Text and number helpers shared by every part of the program: searching, cutting, number reading and the
// two fixed number formats of block texts, the screen and DXF files. Positions are 1-based except findText.
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
double toNumber(std::u16string_view text, int start);
// A real truncated toward zero to an int, saturating (NaN gives 0): numbers from texts may be of any size.
int truncToInt(double value);
double numberAfter(std::u16string_view text, std::u16string_view key);
std::u16string formatInt(int value, int width);
// Fixed point with exactly `decimals` digits; halves round away from zero on the exact value of the double.
std::u16string formatReal(double value, int decimals);
// formatReal appended to `out`, for loops that must not allocate.
void appendFormatReal(std::u16string& out, double value, int decimals);

// Upper case: every character by Unicode's simple upper-case mapping (µ gives Μ, ǅ gives Ǆ); one whose
// upper case is several characters (ß), or an ASCII letter (ı, ſ: no new address letters), stays. Surrogate
// pairs are mapped as one character; the length stays.
void upperCaseInPlace(std::u16string& text);
bool isBlank(char16_t c);

std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);
// Shortest text that reads back as the same double (for machine-readable output).
std::string shortestReal(double value);
