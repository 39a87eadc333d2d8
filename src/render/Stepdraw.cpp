// Step drawing: as the cursor moves, the blocks passed over are drawn in their pens, or painted over with
// the erase pen when it moves back.
#include <algorithm>

#include "render/Toolpath.hpp"

void kToolPath::selectPen(DrawingKind kind) { canvas.usePen(penOf(kind)); }

void kToolPath::selectErasePen() {
  // Two pixels wide, so it draws solid and covers lines of width 1 and 2.
  canvas.color = canvas.background;
  canvas.width = 2;
}

void kToolPath::stepDrawing(int from, int to) {
  if (from == to) return;
  const bool erase = to < from;
  if (erase) selectErasePen();
  // Forward: blocks from + 1 .. to; back: from down to to + 1. Only blocks the program holds are drawn.
  const int lo = erase ? to + 1 : from + 1;
  const int hi = erase ? from : to;
  const int first = std::max(lo, 0);
  const int last = std::min(hi, geometry.blockCount - 1);
  if (first > last) return;
  const int step = erase ? -1 : 1;
  GCircle circle(0, 0, 0.0);
  GCircle hole(0, 0, 0.0);
  // The erase pen keeps the style of the pen the shape would be drawn in; being 2 pixels wide it draws
  // solid all the same.
  const auto usePen = [this, erase](DrawingKind kind) {
    selectPen(kind);
    if (erase) selectErasePen();
  };
  for (int f = erase ? last : first;; f += step) {
    std::uint8_t shape = 0;
    const DrawingKind kind = shapeBlock(f, circle, shape);
    // Erasing judges the block by the feed of the block before it.
    usePen(erase ? kindOf(f, geometry.feedValueText(clampBlock(f - 1))) : kind);
    drawMove(f, shape, circle);
    // The hole after the move, both ways: the redraw draws the holes over the moves.
    if (holeOf(f, hole)) {
      usePen(kindCycle);
      canvas.drawCircle(hole);
    }
    if (f == (erase ? first : last)) break;
  }
  canvas.flush();
}
