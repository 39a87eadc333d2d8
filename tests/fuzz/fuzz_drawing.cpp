// Fuzz target: any bytes read as a program file and drawn on a recording surface: the redraw command's
// picture at two sizes, then steps back and forth as the cursor would make them.
#include "FuzzSupport.hpp"
#include "graphics/RecordingSurface.hpp"
#include "render/Toolpath.hpp"

namespace {

// Cursor moves: to the middle, one forward, back to the start, to the end and one past it.
void step(kToolPath& path, RecordingSurface& surface, int blocks) {
  const int targets[] = {blocks / 2, blocks / 2 + 1, 0, blocks - 1, blocks};
  int from = path.curLine;
  for (int to : targets) {
    surface.markStep(from, to);
    path.stepDrawing(from, to);
    path.curLine = from = to;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kNcGeometry geometry;
  readProgramBytes(bytesOf(data, size), geometry);
  kCanvas canvas;
  ToolPathIndicators indicators;
  kToolPath path(geometry, canvas, indicators);
  RecordingSurface surface;
  const struct { int width, height; } pictures[] = {{640, 480}, {1, 1}};
  for (const auto& picture : pictures) {
    path.fitToExtents(picture.width, picture.height);
    path.curLine = geometry.blockCount;
    path.redrawView(surface, picture.width, picture.height);
    surface.calls.clear();
  }
  step(path, surface, geometry.blockCount);
  return 0;
}
