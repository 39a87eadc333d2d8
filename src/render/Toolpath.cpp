// The tool-path drawing: one shape and one drawing kind per block, the holes of drilling cycles, the blocks
// before the current one drawn in the six pens, the arc rule and the fit of the view to the program's extents.
#include "render/Toolpath.hpp"

#include <algorithm>
#include <cmath>

#include "graphics/Geometry.hpp"
#include "graphics/Gpoint.hpp"
#include "util/Format.hpp"

namespace {

// A centre computed from the end points must lie this close to the programmed one to be taken.
constexpr double kCentreTolerance = 0.001;
constexpr std::u16string_view kFastFeedText = u"$FAST_FEED";
constexpr int kXYPlane = 17;
constexpr double kEmptyExtent = 100.0;
constexpr double kFitMargin = 0.7;

// G00 and G01 blocks are drawn as lines, every other block as a circle.
bool isStraight(int motion) { return motion == 0 || motion == 1; }

// Every drawing kind with its display list and its pen (colour 0x00BBGGRR, style, width), in the order the
// lists are drawn: a later list paints over an earlier one, so a hole lies over the moves through it and a
// faulty arc over everything.
struct KindLayer {
  DrawingKind kind;
  GList kToolPath::*list;
  GPen kToolPath::*pen;
  std::uint32_t color;
  std::uint8_t style;
  int width;
};
constexpr std::array<KindLayer, kDrawingKindCount> kLayers{{
    {kindCompensated, &kToolPath::compList, &kToolPath::compPen, 0x008000, kSolid, 2},
    {kindFeed, &kToolPath::feedList, &kToolPath::feedPen, 0x000000, kSolid, 1},
    {kindFastFeed, &kToolPath::fastFeedList, &kToolPath::fastFeedPen, 0x0000FF, kDash, 1},
    {kindRapid, &kToolPath::rapidList, &kToolPath::rapidPen, 0xFF0000, kDot, 1},
    {kindCycle, &kToolPath::cycleList, &kToolPath::cyclePen, 0x800080, kSolid, 1},
    {kindArcError, &kToolPath::errorList, &kToolPath::errorPen, 0x0000FF, kSolid, 2},
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
}

const GPen& kToolPath::penOf(DrawingKind kind) const { return this->*layerOf(kind).pen; }

void kToolPath::programChanged() { shapesBuilt = false; }

bool kToolPath::shapesCurrent() const {
  return shapesBuilt && allShapes.shapeCount() == geometry.blockCount && blockKinds.count() == geometry.blockCount;
}

int kToolPath::clampBlock(int i) const { return std::clamp(i, 0, std::max(geometry.blockCount - 1, 0)); }

// Block 0 is read as itself: the "0 means the latest block" accessors are not used for drawing.
kPoint kToolPath::endOf(int i) const {
  const int b = clampBlock(i);
  return kPoint(geometry.absX.get(b), geometry.absY.get(b));
}

int kToolPath::motionOf(int i) const { return gNumberAt(geometry.groupMotion, clampBlock(i)); }

const std::u16string& kToolPath::feedOf(int i) const {
  return geometry.feedValueText(std::min(clampBlock(i), geometry.feedCount));
}

DrawingKind kToolPath::kindOf(int i, const std::u16string& feed) const {
  DrawingKind kind = motionOf(i) == 0 ? kindRapid : kindFeed;
  const int comp = gNumberAt(geometry.groupCutterComp, clampBlock(i));
  if (comp == 41 || comp == 42) kind = kindCompensated;
  if (feed == kFastFeedText) kind = kindFastFeed;
  return kind;
}

DrawingKind kToolPath::shapeBlock(int i, GLine& line, GCircle& circle, bool& isLine) {
  DrawingKind kind = kindOf(i, feedOf(i));
  const int motion = motionOf(i);
  const kPoint p2 = endOf(i);
  const kPoint p1 = i >= 1 ? endOf(i - 1) : p2;
  isLine = isStraight(motion);
  if (isLine) {
    // The move is the segment between its end points, even where rounding makes `contains` reject them
    // (steep moves far from the origin); a zero-length move stays an invalid line.
    if (line.setThrough(GPoint(p1), GPoint(p2))) line.setSegment(p1, p2);
  } else if ((motion == 2 || motion == 3) && gNumberAt(geometry.groupPlane, clampBlock(i)) == kXYPlane) {
    if (!buildArc(i, p1, p2, circle)) kind = kindArcError;
  } else {
    circle.set(circle.x, circle.y, 0);
  }
  return kind;
}

void kToolPath::buildShapes() {
  allShapes.clear();
  blockKinds.clear();
  // Exact sizes: a million blocks must not pay for vectors grown by doubling.
  int lineTotal = 0;
  for (int i = 0; i < geometry.blockCount; ++i) lineTotal += isStraight(motionOf(i));
  allShapes.reserve(lineTotal, geometry.blockCount - lineTotal);
  blockKinds.reserve(geometry.blockCount);
  GLine line(0, 0, 0.0);
  GCircle circle(0, 0, 0.0);
  for (int i = 0; i < geometry.blockCount; ++i) {
    bool isLine = false;
    blockKinds.add(shapeBlock(i, line, circle, isLine));
    if (isLine) {
      allShapes.addLine(line);
    } else {
      allShapes.addCircle(circle);
    }
  }
  buildHoles();
  shapesBuilt = true;
}

bool kToolPath::holeOf(int b, GCircle& hole) const {
  if (b < 1 || b >= geometry.blockCount || !geometry.inCycleAt(b)) return false;
  hole = GCircle(geometry.xAt(b), geometry.yAt(b), geometry.toolDiameterAt(b) / 2);
  return hole.valid;
}

void kToolPath::buildHoles() {
  holeBlocks.clear();
  GCircle hole(0, 0, 0.0);
  for (int b = 1; b < geometry.blockCount; ++b)
    if (holeOf(b, hole)) holeBlocks.push_back(b);
}

bool kToolPath::buildArc(int i, const kPoint& p1, const kPoint& p2, GCircle& circle) {
  const int b = clampBlock(i);
  const double radius = geometry.arcRadius.get(b);
  const double r = motionOf(b) == 2 ? -radius : radius;
  const kPoint c(geometry.centreX.get(b), geometry.centreY.get(b));
  bool ok = false;
  if (p1 == p2) {
    ok = circle.set(GPoint(c), r);
  } else {
    ok = circle.set(GPoint(p1), GPoint(p2), r, 1);
    // The programmed centre wins over the one computed from the end points.
    if (!ok || distanceOf(circle.getCentre(), c) > kCentreTolerance) {
      circle.set(GPoint(c), r);
      ok = circle.setArc(p1, p2, 2);
    }
  }
  // One verdict for the drawing, the arc fields and the problems list: the block store's.
  if (b >= 1 && geometry.isFaultyArcAt(b)) ok = false;
  if (ok && p1 != p2) circle.setArc(p1, p2, 4);
  if (!ok) {
    if (r == 0) {
      circle.set(GPoint(p1), 0);
    } else {
      // Drawn about the programmed centre: as an arc when the end points nearly fit, else as a whole circle.
      circle.set(c.x, c.y, r);
      circle.setArc(p1, p2, 2);
    }
  }
  return ok;
}

void kToolPath::fillDisplayLists(int n) {
  for (const KindLayer& layer : kLayers) (this->*layer.list).clear();
  for (Selection& s : selections) {
    s.lines.clear();
    s.circles.clear();
  }
  const int last = std::min(n, allShapes.shapeCount());
  int l = 0;
  int c = 0;
  for (int i = 0; i < last; ++i) {
    const int kind = blockKinds.get(i);
    const bool known = kind >= 0 && kind < static_cast<int>(selections.size());
    if (allShapes.isLineAt(i)) {
      if (known) selections[kind].lines.push_back(l);
      ++l;
    } else {
      if (known) selections[kind].circles.push_back(c);
      ++c;
    }
  }
  // The holes of blocks 1 .. n - 1, which lead holeBlocks because it is in block order.
  holesShown = static_cast<int>(std::lower_bound(holeBlocks.begin(), holeBlocks.end(), n) - holeBlocks.begin());
}

void kToolPath::drawSelection(const GList& list, DrawingKind kind) {
  if (!list.visible) return;
  if (kind == kindCycle) return drawHoles(list);
  const GPen saved = canvas.penOf();
  canvas.usePen(list);
  for (int l : selections[kind].lines) canvas.drawLine(allShapes.lineAt(l));
  for (int c : selections[kind].circles) canvas.drawCircle(allShapes.circleAt(c));
  canvas.usePen(saved);
}

void kToolPath::drawHoles(const GList& list) {
  const GPen saved = canvas.penOf();
  canvas.usePen(list);
  GCircle hole(0, 0, 0.0);
  for (int h = 0; h < holesShown; ++h)
    if (holeOf(holeBlocks[static_cast<std::size_t>(h)], hole)) canvas.drawCircle(hole);
  canvas.usePen(saved);
}

void kToolPath::redrawProgram() {
  indicators.showScale(formatReal(viewScale, 3));
  if (!shapesCurrent()) buildShapes();
  fillDisplayLists(curLine);
  for (const KindLayer& layer : kLayers) {
    GList& list = this->*layer.list;
    list.visible = true;
    list.usePen(this->*layer.pen);
    drawSelection(list, layer.kind);
  }
  canvas.flush();
}

void kToolPath::redrawView(DrawingSurface& surface, int width, int height) {
  canvas.bind(surface, width, height, 1.0);
  canvas.setScale(viewScale);
  canvas.clear(kWhite);
  canvas.drawCentreLines(viewOffset);
  redrawProgram();
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
