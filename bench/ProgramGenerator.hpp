// What the benchmarks share: deterministic NC programs and the process's resident memory. The CAM-style
// program has long G01 XYZ runs, G02/G03 arcs with I/J, G00 retracts, tool changes, a few G81 cycles and
// comments; the hand-written one has blanks between words, a program number, G21/G54 and corners given by R.
// Both run through LinuxCNC's rs274 without an error, so that the two can be timed on them side by side.
#pragma once

#include <string>

std::string generateCamProgram(int lines);
std::string generateHandWrittenProgram(int lines);
long residentBytes();
