// Step drawing: as the cursor moves, the blocks passed over are drawn in their pens, or painted over with
// the erase pen when it moves back.
#include <algorithm>

#include "graphics/Toolpath.hpp"

namespace {

// selectPen codes.
constexpr int kErasePen = 0;
constexpr int kCompPen = 3, kFeedPen = 4, kFastFeedPen = 5, kRapidPen = 6, kErrorPen = 7;
constexpr int kPenOfKind[] = {kRapidPen, kFeedPen, kCompPen, kFastFeedPen, kErrorPen};

}  // namespace

void kToolPath::selectPen(int k) {
  switch (k) {
    case kErasePen:
      // Two pixels wide, so it draws solid and covers lines of width 1 and 2.
      canvas.color = canvas.background;
      canvas.width = 2;
      break;
    case kCompPen:
      canvas.usePen(compPen);
      break;
    case kFeedPen:
      canvas.usePen(feedPen);
      break;
    case kFastFeedPen:
      canvas.usePen(fastFeedPen);
      break;
    case kRapidPen:
      canvas.usePen(rapidPen);
      break;
    case kErrorPen:
      canvas.usePen(errorPen);
      break;
    default:
      break;
  }
}

void kToolPath::stepDrawing(int from, int to) {
  showCompState(to);
  if (from == to) return;
  const bool erase = to < from;
  if (erase) selectPen(kErasePen);
  // Forward: blocks from + 1 .. to; back: from down to to + 1. Only blocks the program holds are drawn.
  const int lo = erase ? to + 1 : from + 1;
  const int hi = erase ? from : to;
  const int first = std::max(lo, 0);
  const int last = std::min(hi, geometry.blockCount - 1);
  if (first > last) {
    indicators.markArcFields(false);
    return;
  }
  drawBlockRange(erase ? last : first, erase ? first : last, erase);
  canvas.flush();
}

void kToolPath::drawBlockRange(int first, int last, bool erase) {
  const int step = first <= last ? 1 : -1;
  GLine line(0, 0, 0.0);
  GCircle circle(0, 0, 0.0);
  for (int f = first;; f += step) {
    indicators.markArcFields(false);
    bool isLine = false;
    const DrawingKind kind = shapeBlock(f, line, circle, isLine);
    if (erase) {
      // The erase pen keeps the style of the pen the block would be drawn in (judged by the feed of the
      // block before it); being 2 pixels wide it draws solid all the same.
      selectPen(kPenOfKind[kindOf(f, feedOf(f - 1))]);
      selectPen(kErasePen);
    } else {
      selectPen(kPenOfKind[kind]);
    }
    if (isLine) {
      canvas.drawLine(line);
    } else {
      canvas.drawCircle(circle);
    }
    if (f == last) break;
  }
}
