// Fuzz target: any bytes read as a program file, its drawn moves indexed in pieces, then picks as a hover or a
// double-click makes them: at the extents' corners and middle, far off, at infinities and not-a-number.
#include <cmath>
#include <limits>

#include "FuzzSupport.hpp"
#include "render/Toolpath.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kNcGeometry geometry;
  readProgramBytes(bytesOf(data, size), geometry);
  kCanvas canvas;
  ToolPathIndicators indicators;
  kToolPath path(geometry, canvas, indicators);
  path.fitToExtents(640, 480);
  while (!path.indexMoves(7)) {
  }
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double nan = std::nan("");
  const double xs[] = {geometry.minX, geometry.maxX, (geometry.minX + geometry.maxX) / 2, 1e300, -kInf, nan};
  const double ys[] = {geometry.minY, geometry.maxY, (geometry.minY + geometry.maxY) / 2, -1e300, kInf, nan};
  for (const double x : xs) {
    for (const double y : ys) {
      for (const double radius : {0.5, 1e9, kInf}) {
        const int b = path.nearestBlock(kPoint(x, y), radius);
        require(b >= 0 && b < geometry.blockCount, "a pick gives a block held, or 0");
      }
    }
  }
  return 0;
}
