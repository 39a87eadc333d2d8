// What the benchmarks share: a deterministic CAM-style NC program (long G01 XYZ runs, G02/G03 arcs with I/J,
// G00 retracts, tool changes, a few G81 cycles and comments) and the process's resident memory.
#pragma once

#include <string>

std::string generateCamProgram(int lines);
long residentBytes();
