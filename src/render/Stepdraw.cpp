// Step drawing: as the cursor moves, the blocks passed over are drawn in their pens, or painted over with
// the erase pen when it moves back; with the preview, the highlight follows to the current move.
#include <algorithm>
#include <cmath>

#include "render/Toolpath.hpp"

void kToolPath::selectPen(DrawingKind kind) { canvas.usePen(penOf(kind)); }

void kToolPath::selectErasePen() {
  // Two pixels wide, so it draws solid and covers lines of width 1 and 2.
  canvas.color = canvas.background;
  canvas.width = 2;
}

void kToolPath::stepDrawing(int from, int to) {
  if (from == to) return;
  // The path layer only: erasing there uncovers the preview below.
  if (preview) canvas.selectLayer(SurfaceLayer::Path);
  stepBlocks(from, to);
  if (to > from) {
    drawToolCentre(from + 1, to);
  } else {
    drawToolCentre(to + 1, from, true);
  }
  if (preview) drawHighlight(to);
  canvas.flush();
}

void kToolPath::drawHighlight(int b) {
  canvas.selectLayer(SurfaceLayer::Highlight);
  // The layer holds the highlight alone: clearing its box leaves nothing else missing.
  int* box = highlightBox;
  if (box[2] > box[0]) canvas.fillPixels(box[0], box[1], box[2], box[3], kWhite);
  std::fill(box, box + 4, 0);
  if (b < 1 || b >= geometry.blockCount) return;
  GCircle circle(0, 0, 0.0);
  bool arcFits = true;
  const std::uint8_t shape = moveShape(b, circle, arcFits);
  if (!shape) return;
  const GPen saved = canvas.penOf();
  canvas.usePen(highlightPen);
  drawMove(b, shape, circle);
  canvas.usePen(saved);
  kPoint low;
  kPoint high;
  if (shape == kMarkArc) {
    const kPoint c = canvas.toScreen(circle.getCentre());
    const double r = std::fabs(circle.getRadius()) * canvas.getScale();
    low = kPoint(c.x - r, c.y - r);
    high = kPoint(c.x + r, c.y + r);
  } else {
    const kPoint p1 = canvas.toScreen(endOf(b - 1));
    const kPoint p2 = canvas.toScreen(endOf(b));
    low = kPoint(std::min(p1.x, p2.x), std::min(p1.y, p2.y));
    high = kPoint(std::max(p1.x, p2.x), std::max(p1.y, p2.y));
  }
  // The pen's width and the rasterizer's rounding reach past the shape.
  const int margin = highlightPen.width + 2;
  box[0] = toPixel(low.x) - margin;
  box[1] = toPixel(low.y) - margin;
  box[2] = toPixel(high.x) + margin + 1;
  box[3] = toPixel(high.y) + margin + 1;
}

void kToolPath::stepBlocks(int from, int to) {
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
}
