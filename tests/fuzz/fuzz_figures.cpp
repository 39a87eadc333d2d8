// Fuzz target: any bytes read as a program file and its figures taken as the status line and velmora-cli stats
// take them: the sums stay finite whatever the positions, and each tool is listed once, none below T1.
#include <algorithm>
#include <cmath>

#include "FuzzSupport.hpp"
#include "nc/Ncfigures.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kNcGeometry geometry;
  readProgramBytes(bytesOf(data, size), geometry);
  const ProgramFigures f = programFigures(geometry);
  require(std::isfinite(f.feedLength) && std::isfinite(f.rapidLength), "the lengths are finite");
  require(std::isfinite(f.totalSeconds()), "the time is finite");
  require(f.feedLength >= 0 && f.rapidLength >= 0 && f.overflowedMoves >= 0, "the sums are not negative");
  std::vector<int> tools = f.tools;
  std::sort(tools.begin(), tools.end());
  require(std::adjacent_find(tools.begin(), tools.end()) == tools.end(), "each tool is listed once");
  require(tools.empty() || tools.front() >= 1, "no tool below T1");
  return 0;
}
