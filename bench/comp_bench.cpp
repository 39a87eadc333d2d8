// What cutter radius compensation adds to reading a compensated program.
//   velmora_comp_bench [LINES]   a generated contour of LINES blocks (1M) under G41 with lines, tangent arcs,
//                                convex and concave corners and Z steps: the best of 5 readings (the program and
//                                its problems) and of 5 compensations of it, in seconds, and the share added
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncproblems.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// A closed contour walked clockwise again and again, the tool left of it (outside), one step down a lap.
std::string compensatedProgram(int lines) {
  static const char* const kLap[] = {
      "G1 X0 Y50",   "G1 X40 Y50",     "G1 X50 Y40", "G1 X60 Y50",       "G1 X90 Y50", "G2 X100 Y40 J-10",
      "G1 X100 Y10", "G2 X90 Y0 I-10", "G1 X20 Y0",  "G3 X10 Y-10 J-10", "G1 X0 Y-10",
  };
  std::string text = "G90\nG17\nG0 X-30 Y-30 Z5\nG41.1 D10\nG1 X0 Y-10 Z0 F500\n";
  int lap = 0;
  for (int n = 5; n < lines - 2;) {
    for (const char* block : kLap) {
      text += block;
      text += '\n';
      ++n;
    }
    text += "G1 Z" + std::to_string(-0.01 * ++lap) + "\n";
    ++n;
  }
  text += "G40 G1 X-30 Y-30\nM30\n";
  return text;
}

// The best of 5 readings (the program and its problems), and the best of 5 compensations of the program read
// with their problems (and of the compensation pass alone).
void bestOf5(const std::string& path, double& reading, double& compensating, double& alone, std::size_t& pieces) {
  reading = compensating = alone = 1e9;
  kNcGeometry geometry;
  for (int run = 0; run < 5; ++run) {
    Clock::time_point start = Clock::now();
    readNcFile(path, geometry);
    programProblems(geometry);
    reading = std::min(reading, std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    const CompensatedPath compensated = compensate(geometry, ControlProfile{});
    alone = std::min(alone, std::chrono::duration<double>(Clock::now() - start).count());
    programProblems(geometry, compensated.findings);
    compensating = std::min(compensating, std::chrono::duration<double>(Clock::now() - start).count());
    pieces = compensated.pieces.size();
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const std::string path = "/tmp/velmora_comp_bench.nc";
  std::ofstream(path) << compensatedProgram(lines);
  std::size_t pieces = 0;
  double reading = 0, compensating = 0, alone = 0;
  bestOf5(path, reading, compensating, alone, pieces);
  std::printf(
      "%d blocks, %zu compensated pieces: reading %.3f s, compensating %.3f s (+%.1f %%; the pass alone "
      "%.3f s)\n",
      lines, pieces, reading, compensating, 100 * compensating / reading, alone);
  std::remove(path.c_str());
  return 0;
}
