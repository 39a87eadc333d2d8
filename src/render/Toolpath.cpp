// The tool-path drawing: each block classified once per reading, the blocks before the current one drawn
// list by list in the six pens (in one go or in pieces), and the fit of the view to the program's extents.
#include "render/Toolpath.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

#include "graphics/Geometry.hpp"
#include "graphics/Gpoint.hpp"
#include "util/Format.hpp"

namespace {

constexpr double kEmptyExtent = 100.0;
constexpr double kFitMargin = 0.7;
// The preview: light grey, one pixel; the current move: orange, three pixels, so the eye finds it.
constexpr std::uint32_t kPreviewColor = 0xC8C8C8;
constexpr std::uint32_t kHighlightColor = 0x008CFF;
constexpr int kHighlightWidth = 3;

// Every drawing kind with its pen (colour 0x00BBGGRR, style, width), in the order the lists are drawn: a
// later list paints over an earlier one, so a hole lies over the moves through it and a faulty arc over
// everything.
struct KindLayer {
  DrawingKind kind;
  GPen kToolPath::*pen;
  std::uint32_t color;
  std::uint8_t style;
  int width;
};
constexpr std::array<KindLayer, kDrawingKindCount> kLayers{{
    {kindCompensated, &kToolPath::compPen, 0x008000, kSolid, 2},
    {kindFeed, &kToolPath::feedPen, 0x000000, kSolid, 1},
    {kindFastFeed, &kToolPath::fastFeedPen, 0x0000FF, kDash, 1},
    {kindRapid, &kToolPath::rapidPen, 0xFF0000, kDot, 1},
    {kindCycle, &kToolPath::cyclePen, 0x800080, kSolid, 1},
    {kindArcError, &kToolPath::errorPen, 0x0000FF, kSolid, 2},
}};

const KindLayer& layerOf(DrawingKind kind) {
  for (const KindLayer& layer : kLayers)
    if (layer.kind == kind) return layer;
  return kLayers.back();
}

}  // namespace

kToolPath::kToolPath(const kNcGeometry& geometry, kCanvas& canvas, ToolPathIndicators& indicators)
    : geometry(geometry), canvas(canvas), indicators(indicators) {
  for (const KindLayer& layer : kLayers) (this->*layer.pen).setPen(kWhite, layer.color, layer.style, layer.width);
  previewPen.setPen(kWhite, kPreviewColor, kSolid, 1);
  highlightPen.setPen(kWhite, kHighlightColor, kSolid, kHighlightWidth);
  initToolCentrePen();
}

const GPen& kToolPath::penOf(DrawingKind kind) const { return this->*layerOf(kind).pen; }

void kToolPath::programChanged() {
  moveIndex.clear();
  marks.clear();
  marks.shrink_to_fit();
  toolCentrePieces = {};
  toolCentreKnown = false;
  pass = kPassCount;
}

void kToolPath::markBlocks(int upTo) {
  // A program read again without programChanged (a test reusing its store) is classified afresh.
  if (marks.size() > static_cast<std::size_t>(geometry.blockCount)) marks.clear();
  const int end = std::min(upTo, geometry.blockCount);
  if (static_cast<int>(marks.size()) >= end) return;
  marks.reserve(static_cast<std::size_t>(geometry.blockCount));
  GCircle circle(0, 0, 0.0);
  GCircle hole(0, 0, 0.0);
  for (int i = static_cast<int>(marks.size()); i < end; ++i) {
    std::uint8_t shape = 0;
    const DrawingKind kind = shapeBlock(i, circle, shape);
    marks.push_back(static_cast<std::uint8_t>(kind | shape | (holeOf(i, hole) ? kMarkHole : 0)));
  }
}

void kToolPath::buildShapes() { markBlocks(geometry.blockCount); }

DrawingKind kToolPath::drawingKindAt(int b) {
  markBlocks(b + 1);
  const int i = clampBlock(b);
  return i < static_cast<int>(marks.size())
             ? static_cast<DrawingKind>(marks[static_cast<std::size_t>(i)] & kMarkKind)
             : kindRapid;
}

void kToolPath::startPasses() {
  nextBlock = 0;
  pass = preview ? 0 : kPreviewPasses;
  drawEnd = std::clamp(curLine, 0, geometry.blockCount);
}

void kToolPath::redrawProgram() {
  indicators.showScale(formatReal(viewScale, 3));
  startPasses();
  continueRedraw(INT_MAX);
}

void kToolPath::blankView(DrawingSurface& surface, int width, int height) {
  canvas.bind(surface, width, height, 1.0);
  canvas.setScale(viewScale);
  if (preview) {
    for (SurfaceLayer upper : {SurfaceLayer::Highlight, SurfaceLayer::Path}) {
      canvas.selectLayer(upper);
      canvas.clear(kWhite);
    }
    canvas.selectLayer(SurfaceLayer::Preview);
  }
  std::fill(std::begin(highlightBox), std::end(highlightBox), 0);
  canvas.clear(kWhite);
}

void kToolPath::beginRedraw(DrawingSurface& surface, int width, int height) {
  blankView(surface, width, height);
  canvas.drawCentreLines(viewOffset);
  indicators.showScale(formatReal(viewScale, 3));
  startPasses();
}

void kToolPath::redrawView(DrawingSurface& surface, int width, int height) {
  beginRedraw(surface, width, height);
  continueRedraw(INT_MAX);
}

bool kToolPath::continueRedraw(int blockBudget) {
  int budget = blockBudget;
  // The preview draws every block: all are classified then.
  const int classifyEnd = preview ? geometry.blockCount : drawEnd;
  while (!redrawDone() && budget > 0) {
    const int classified = static_cast<int>(marks.size());
    if (classified < classifyEnd) {
      // The blocks are classified as far as the drawing reaches, a piece at a time like the drawing.
      const int upTo = budget >= classifyEnd - classified ? classifyEnd : classified + budget;
      markBlocks(upTo);
      budget -= upTo - classified;
      continue;
    }
    runPass(budget);
  }
  if (redrawDone()) canvas.flush();
  return redrawDone();
}

// Goes on with the current pass while the budget lasts.
void kToolPath::runPass(int& budget) {
  const bool previewing = pass < kPreviewPasses;
  const int end = previewing ? geometry.blockCount : drawEnd;
  if (preview && pass == kPreviewPasses && nextBlock == 0) canvas.selectLayer(SurfaceLayer::Path);
  const int stop = std::min(end, nextBlock + budget);
  if (previewing) {
    runPreviewPass(stop);
  } else {
    const KindLayer& layer = kLayers[static_cast<std::size_t>((pass - kPreviewPasses) / 2)];
    const bool lines = pass % 2 == 0;
    const GPen saved = canvas.penOf();
    canvas.usePen(this->*layer.pen);
    GCircle circle(0, 0, 0.0);
    for (int i = nextBlock; i < stop; ++i) {
      const std::uint8_t mark = marks[static_cast<std::size_t>(i)];
      if (layer.kind == kindCycle) {
        if (!lines && (mark & kMarkHole) && holeOf(i, circle)) canvas.drawCircle(circle);
      } else if ((mark & kMarkKind) == layer.kind && (mark & (lines ? kMarkLine : kMarkArc))) {
        drawMarkedMove(i, lines, circle);
      }
    }
    canvas.usePen(saved);
  }
  budget -= stop - nextBlock;
  nextBlock = stop;
  if (nextBlock >= end) passDone();
}

// Every block's move in one pen whatever its kind: the lines, then the arcs and holes.
void kToolPath::runPreviewPass(int stop) {
  const bool lines = pass == 0;
  const GPen saved = canvas.penOf();
  canvas.usePen(previewPen);
  GCircle circle(0, 0, 0.0);
  for (int i = nextBlock; i < stop; ++i) {
    const std::uint8_t mark = marks[static_cast<std::size_t>(i)];
    if (mark & (lines ? kMarkLine : kMarkArc)) drawMarkedMove(i, lines, circle);
    if (lines) continue;
    if ((mark & kMarkHole) && holeOf(i, circle)) canvas.drawCircle(circle);
  }
  canvas.usePen(saved);
}

void kToolPath::drawMarkedMove(int i, bool line, GCircle& circle) {
  if (line) {
    drawMove(i, kMarkLine, circle);
    return;
  }
  bool arcFits = true;
  drawMove(i, moveShape(i, circle, arcFits), circle);
}

void kToolPath::passDone() {
  ++pass;
  nextBlock = 0;
  // The tool centre path goes over every list, under the highlight.
  if (pass == kPassCount) drawToolCentre(1, drawEnd - 1);
  if (preview && pass == kPassCount) drawHighlight(drawEnd - 1);
}

void kToolPath::fitToExtents(int pictureWidth, int pictureHeight) {
  double w = absOf(geometry.maxX - geometry.minX);
  double h = absOf(geometry.maxY - geometry.minY);
  if (w == 0) w = kEmptyExtent;
  if (h == 0) h = kEmptyExtent;
  // Whole pixels per unit, except that a part larger than the picture keeps its fraction and still fits.
  const auto ratio = [](double size, double extent) {
    const double q = size / extent;
    return q < 1 ? q : std::trunc(q);
  };
  viewScale = std::min(ratio(pictureWidth, w), ratio(pictureHeight, h)) * kFitMargin;
  canvas.setScale(viewScale);
  viewOffset = kPoint(-(geometry.maxX + geometry.minX) / 2, -(geometry.maxY + geometry.minY) / 2);
}
