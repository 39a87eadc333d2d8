// The fixed number formats of block texts, the screen and DXF files, and the shortest form for machine output.
#pragma once

#include <string>

std::u16string formatInt(int value, int width);
// Fixed point with exactly `decimals` digits; halves round away from zero on the exact value of the double.
std::u16string formatReal(double value, int decimals);
// formatReal appended to `out`, for loops that must not allocate.
void appendFormatReal(std::u16string& out, double value, int decimals);
// Shortest text that reads back as the same double (for machine-readable output).
std::string shortestReal(double value);
