// What cutter radius compensation adds to reading a compensated program.
//   velmora_comp_bench [LINES]   a generated contour of LINES blocks (1M) under G41 with lines, tangent arcs,
//                                convex and concave corners and Z steps: the best of 5 readings (the program and
//                                its problems) without and with compensation, in seconds, and the share added
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
      "G1 X0 Y50",        "G1 X40 Y50",       "G1 X50 Y40",       "G1 X60 Y50",  "G1 X90 Y50",
      "G2 X100 Y40 J-10", "G1 X100 Y10",      "G2 X90 Y0 I-10",   "G1 X20 Y0",   "G3 X10 Y-10 J-10",
      "G1 X0 Y-10",
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

double bestOf5(const std::string& path, bool compensated, std::size_t& pieces) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    kNcGeometry geometry;
    const Clock::time_point start = Clock::now();
    readNcFile(path, geometry);
    std::vector<NcProblem> problems;
    if (compensated) {
      const CompensatedPath path = compensate(geometry, ControlProfile{});
      pieces = path.pieces.size();
      problems = programProblems(geometry, path.findings);
    } else {
      problems = programProblems(geometry);
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const std::string path = "/tmp/velmora_comp_bench.nc";
  std::ofstream(path) << compensatedProgram(lines);
  std::size_t pieces = 0;
  const double plain = bestOf5(path, false, pieces);
  const double compensated = bestOf5(path, true, pieces);
  std::printf("%d blocks, %zu compensated pieces: reading %.3f s, with compensation %.3f s (+%.1f %%)\n", lines,
              pieces, plain, compensated, 100 * (compensated - plain) / plain);
  std::remove(path.c_str());
  return 0;
}
