// A deterministic CAM-style NC program for benchmarks.
#include "ProgramGenerator.hpp"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace {

class Random {
 public:
  double next(double low, double high) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return low + (high - low) * static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_ = 42;
};

void line(std::string& out, const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  out += text;
  out += "\r\n";
}

}  // namespace

std::string generateCamProgram(int lines) {
  std::string out;
  out.reserve(static_cast<std::size_t>(lines) * 32);
  Random random;
  double x = 0, y = 0, z = 5;
  int written = 0, tool = 1;
  bool restateG01 = false;  // after an arc or a cycle, whose G80 leaves no motion mode
  auto emit = [&](const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
    line(out, format, a, b, c, d);
    ++written;
  };
  // The last line ends the program.
  while (written < lines - 1) {
    const int phase = written % 100000;
    if (phase == 0) {
      // A rapid retract before the tool change, which moves in the motion mode in force; three tools, the
      // ones a bare tool table knows.
      if (written > 0) emit("G00Z%.3f", z = 50);
      emit("(T%02.0f D=%.1f END MILL)", tool, 4 + tool % 6);
      emit("T%02.0fM06", tool);
      // G80 cancels the motion mode: the move comes on a line of its own.
      emit("G90G17G40G80");
      emit("G00X%.3fY%.3f", x = 0, y = 0);
      emit("G43Z%.3fH%02.0f", z = 50, tool);
      tool = tool % 3 + 1;
    } else if (phase % 5000 == 10) {
      // A retract first, which also ends an arc's motion mode; the holes move the tool: the program goes on
      // from the last one.
      emit("G00Z%.3f", z = 5);
      emit("G81X%.3fY%.3fZ-5.R2.F100", random.next(-50, 50), random.next(-50, 50));
      x = random.next(-50, 50);
      y = random.next(-50, 50);
      emit("X%.3fY%.3f", x, y);
      emit("G80");
      restateG01 = true;
    } else if (phase % 1000 == 500) {
      emit("G00Z%.3f", z = 5);
      emit("(PASS %.0f)", written / 1000);
      emit("G00X%.3fY%.3f", x = random.next(-80, 80), y = random.next(-80, 80));
      emit("G01Z%.3fF300", z = random.next(-10, -1));
    } else if (written % 17 == 0) {
      // A quarter arc about a centre beside the current point.
      const double r = random.next(1, 10);
      const double cx = x + r, cy = y;
      x = cx;
      y = cy + r;
      emit(written % 2 ? "G02X%.3fY%.3fI%.3fJ%.3f" : "G03X%.3fY%.3fI%.3fJ%.3f", x, y, r, 0);
      restateG01 = true;
    } else {
      x += random.next(-2, 2);
      y += random.next(-2, 2);
      z = random.next(-10, -1);
      // Straight moves go back to G01 after an arc or a cycle, as a CAM system writes them.
      const bool restate = restateG01 || written % 7 == 0;
      emit(restate ? "G01X%.3fY%.3fZ%.3fF1200" : "X%.3fY%.3fZ%.3f", x, y, z);
      restateG01 = false;
    }
  }
  if (written < lines) emit("M30");
  return out;
}

std::string generateHandWrittenProgram(int lines) {
  std::string out;
  out.reserve(static_cast<std::size_t>(lines) * 24);
  int written = 0;
  auto emit = [&](const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
    line(out, format, a, b, c, d);
    ++written;
  };
  emit("%%");
  emit("O1001 (POCKET WITH CORNER RADII)");
  emit("(T1 D=10. FLAT END MILL)");
  emit("G21 G90 G17 G40 G80");
  emit("G54");
  emit("T01 M06");
  emit("S3000 M03");
  for (int pass = 0; written < lines - 1; ++pass) {
    // A rectangle with rounded corners, a little larger on every pass.
    const double w = 40 + pass % 50, h = 30 + pass % 40, r = 2 + pass % 7;
    emit("G00 X-10. Y-10.");
    emit("G43 Z50. H01");
    emit("G00 Z2.");
    emit("G01 Z-%.1f F200", 1 + pass % 5);
    emit("G41 D01 G01 X0 Y0 F400");
    emit("G01 X%.3f", w - r);
    emit("G03 X%.3f Y%.3f R%.3f", w, r, r);
    emit("G01 Y%.3f", h - r);
    emit("G03 X%.3f Y%.3f R%.3f", w - r, h, r);
    emit("G01 X%.3f", r);
    emit("G03 X0 Y%.3f R%.3f", h - r, r);
    emit("G01 Y%.3f", r);
    emit("G03 X%.3f Y0 R%.3f", r, r);
    emit("G40 G01 X-10. Y-10.");
    emit("G00 Z50.");
  }
  // The program is enclosed in percent signs.
  emit("%%");
  return out;
}

long residentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}
