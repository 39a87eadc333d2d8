// Drawing speed and memory for generated CAM-style programs and for drilling programs (a hole on every line):
// building the shapes once per reading, the full redraw at 808 x 625 from the built shapes, and cursor steps,
// whose cost must not grow with the program.
//   velmora_render_bench [LINES...]   (default 10000 1000000)
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ProgramGenerator.hpp"
#include "nc/Ncreader.hpp"
#include "qtsurface/QPainterSurface.hpp"
#include "render/Toolpath.hpp"
#include "util/Text.hpp"

namespace {

constexpr int kWidth = 808;
constexpr int kHeight = 625;

double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

class NullSurface : public DrawingSurface {
 public:
  void fillRect(int, int, int, int, std::uint32_t) override {}
  void setPen(std::uint32_t, int, int) override {}
  void moveTo(int, int) override {}
  void lineTo(int, int) override {}
  void angleArc(int, int, int, float, float) override {}
};

// A hole grid in one G81 cycle: every line after the first two is a hole.
std::string drillingProgram(int lines) {
  std::string text = "G90G00G17X0Y0\nG81X0Y0Z-5.R2.F100\n";
  char line[64];
  for (int i = 2; i < lines; ++i) {
    std::snprintf(line, sizeof line, "X%d.Y%d.\n", i % 1000, i / 1000);
    text += line;
  }
  return text;
}

void benchProgram(const char* name, const std::string& program) {
  kNcGeometry geometry(u"(", u")", u"", u"", u"", u"");
  readNcText(fromUtf8(program), geometry);
  kCanvas canvas;
  ToolPathIndicators indicators;
  kToolPath path(geometry, canvas, indicators);
  path.fitToExtents(kWidth, kHeight);
  path.curLine = geometry.blockCount;
  std::printf("%s: %d blocks\n", name, geometry.blockCount);

  const long before = residentBytes();
  const double build = seconds([&] { path.buildShapes(); });
  const long markBytes = residentBytes() - before;
  std::printf("  classify the blocks (once per reading): %.3f s, %.1f MB (%.1f bytes per block)\n", build,
              markBytes / 1e6, static_cast<double>(markBytes) / geometry.blockCount);

  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  std::vector<double> painted, canvasOnly;
  for (int run = 0; run < 5; ++run) {
    QPainterSurface surface(image);
    painted.push_back(seconds([&] { path.redrawView(surface, kWidth, kHeight); }));
  }
  NullSurface null;
  for (int run = 0; run < 5; ++run) canvasOnly.push_back(seconds([&] { path.redrawView(null, kWidth, kHeight); }));
  std::printf("  full redraw at %dx%d: %.3f s on QPainter (median of 5), %.3f s of it in the canvas\n", kWidth,
              kHeight, median(painted), median(canvasOnly));

  // Steps in the middle of the program, on the picture just drawn.
  QPainterSurface surface(image);
  path.redrawView(surface, kWidth, kHeight);
  const int middle = geometry.blockCount / 2;
  constexpr int kSteps = 2000;
  const double single = seconds([&] {
    for (int k = 0; k < kSteps; ++k) path.stepDrawing(middle + k, middle + k + 1);
  });
  const double jump = seconds([&] {
    for (int k = 0; k < kSteps / 10; ++k)
      path.stepDrawing(middle, middle + 100), path.stepDrawing(middle + 100, middle);
  });
  std::printf("  one-block step: %.2f us; 100-block jump forward or back: %.2f us\n", single / kSteps * 1e6,
              jump / (kSteps / 5) * 1e6);

  // Picks at block ends: the first one indexes the moves, the others use the index.
  const auto endPoint = [&](int b) { return kPoint(geometry.xAt(b), geometry.yAt(b)); };
  const double radius = 8 / path.viewScale;
  const double first = seconds([&] { path.nearestBlock(endPoint(middle), radius); });
  const double later = seconds([&] {
    for (int k = 1; k <= 100; ++k) path.nearestBlock(endPoint(k * (geometry.blockCount / 101)), radius);
  });
  std::printf("  first pick (indexing the moves): %.3f s; later picks: %.3f ms\n", first, later / 100 * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 1000000};
  for (int lines : sizes) {
    benchProgram("CAM program", generateCamProgram(lines));
    benchProgram("drilling program", drillingProgram(lines));
  }
  return 0;
}
