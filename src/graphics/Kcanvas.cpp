// Pens, shape lists and the world-to-screen canvas.
#include "graphics/Kcanvas.hpp"

#include <cmath>

#include "graphics/Geometry.hpp"
#include "graphics/Gpoint.hpp"

namespace {

constexpr double kClipRadius = 2000.0;
// Far beyond any picture, yet safe to hand to a surface as an int.
constexpr double kPixelLimit = 1.0e9;

// The point an unlimited line is clipped around: near-horizontal lines by their y-intercept,
// near-vertical ones by their x-intercept.
kPoint clipCentreOf(const GLine& line) {
  const double a = line.getAngle(1);
  if ((a > -1 && a < 1) || (a > 179 && a < 181) || (a > 359 && a < 361)) return kPoint(0, line.y);
  if ((a > 89 && a < 91) || (a > 269 && a < 271)) return kPoint(line.x, 0);
  return kPoint(line.x, line.y);
}

}  // namespace

int toPixel(double v) {
  if (!(v == v)) return 0;
  if (v > kPixelLimit) return static_cast<int>(kPixelLimit);
  if (v < -kPixelLimit) return static_cast<int>(-kPixelLimit);
  return static_cast<int>(v);
}

void GPen::resetPen() { setPen(kWhite, kBlack, kSolid, 1); }

void GPen::setPen(std::uint32_t newBackground, std::uint32_t newColor, std::uint8_t newStyle, int newWidth) {
  background = newBackground;
  color = newColor;
  style = newStyle;
  width = newWidth;
}

int GList::addLine(const GLine& line) {
  tags.push_back('L');
  lines.emplace_back(0, 0, 0.0);
  lines.back() = line;
  return lineCount();
}

int GList::addCircle(const GCircle& circle) {
  tags.push_back('C');
  circles.emplace_back(0, 0, 0.0);
  circles.back() = circle;
  return circleCount();
}

std::u16string_view GList::tagAt(int i) const {
  if (i < 0 || i >= shapeCount()) return u"";
  return isLineAt(i) ? u"L" : u"C";
}

void GList::clear() {
  // Releases the storage too: the next program may be far smaller.
  std::vector<GLine>().swap(lines);
  std::vector<GCircle>().swap(circles);
  std::vector<char>().swap(tags);
}

void GList::reserve(int lineTotal, int circleTotal) {
  lines.reserve(static_cast<std::size_t>(lineTotal));
  circles.reserve(static_cast<std::size_t>(circleTotal));
  tags.reserve(static_cast<std::size_t>(lineTotal) + static_cast<std::size_t>(circleTotal));
}

void kCanvas::bind(DrawingSurface& target, int w, int h, double newScale) {
  surface = &target;
  widthPx = w;
  heightPx = h;
  origin = kPoint(w / 2, h / 2);
  scale = newScale;
  resetPen();
}

void kCanvas::setScale(double v) {
  scale = absOf(v);
  if (scale == 0 || !std::isfinite(scale)) scale = 1.0;
}

void kCanvas::clear(std::uint32_t fillColor) { surface->fillRect(0, 0, widthPx, heightPx, fillColor); }

void kCanvas::fillPixels(int left, int top, int right, int bottom, std::uint32_t fillColor) {
  surface->fillRect(left, top, right, bottom, fillColor);
}

void kCanvas::selectLayer(SurfaceLayer layer) { surface->selectLayer(layer); }

kPoint kCanvas::toScreen(const kPoint& p) const { return kPoint(p.x * scale + origin.x, origin.y - p.y * scale); }

void kCanvas::applyPen() { surface->setPen(color, style, width); }

kPoint kCanvas::moveTo(const kPoint& p) {
  const kPoint s = toScreen(p);
  surface->moveTo(toPixel(s.x), toPixel(s.y));
  return s;
}

kPoint kCanvas::lineTo(const kPoint& p) {
  const kPoint s = toScreen(p);
  applyPen();
  surface->lineTo(toPixel(s.x), toPixel(s.y));
  return s;
}

kPoint kCanvas::drawSegment(const kPoint& a, const kPoint& b) {
  moveTo(a);
  return lineTo(b);
}

bool kCanvas::drawLine(const GLine& line) {
  if (!line.valid) return false;
  if (line.limited) {
    drawSegment(line.start, line.end);
    return true;
  }
  const kPoint c = clipCentreOf(line);
  const GCircle clip(c.x, c.y, kClipRadius);
  const GPoint p1(line, clip, 1);
  const GPoint p2(line, clip, -1);
  // A line passing farther than the clip radius from its own intercepts has no such chord.
  if (!p1.valid || !p2.valid) return false;
  drawSegment(p1.getPoint(), p2.getPoint());
  return true;
}

bool kCanvas::drawCircle(const GCircle& circle) {
  if (!circle.valid) return false;
  double r = circle.getRadius();
  kPoint centre = circle.getCentre();
  kPoint p1;
  double a1 = 0;
  double a2 = 360;
  // A full circle marked by setArc (kind 6) has no meaningful end points: draw it as a whole circle.
  if (circle.limited && circle.getKind() != 6) {
    p1 = circle.start;
    a1 = circle.startAngle;
    a2 = circle.endAngle;
    if (r < 0) {
      // Clockwise arcs are drawn counter-clockwise from their end to their start.
      r = absOf(r);
      p1 = circle.end;
      a1 = circle.endAngle;
      a2 = circle.startAngle;
    }
  } else {
    r = absOf(r);
    p1 = kPoint(centre).offsetBy(r, 0);
  }
  if (a2 < a1) a2 += 360;
  const kPoint sc = toScreen(centre);
  moveTo(p1);
  applyPen();
  surface->angleArc(toPixel(sc.x), toPixel(sc.y), toPixel(r * scale), static_cast<float>(a1),
                    static_cast<float>(a2 - a1));
  return true;
}

void kCanvas::drawCentreLines(const kPoint& c) {
  const GPen saved = penOf();
  setPen(background, kBlack, kDashDot, 1);
  drawLine(GLine(c.x, c.y, 0.0));
  drawLine(GLine(c.x, c.y, 90.0));
  usePen(saved);
  origin = toScreen(c);
  // The window also draws the axes on their own, to repair them after steps.
  flush();
}

int kCanvas::drawLines(const GList& list) {
  const GPen saved = penOf();
  usePen(list);
  for (int i = 0; i < list.lineCount(); ++i) drawLine(list.lineAt(i));
  usePen(saved);
  return list.lineCount();
}

int kCanvas::drawCircles(const GList& list) {
  const GPen saved = penOf();
  usePen(list);
  for (int i = 0; i < list.circleCount(); ++i) drawCircle(list.circleAt(i));
  usePen(saved);
  return list.circleCount();
}

void kCanvas::drawList(const GList& list) {
  if (!list.visible) return;
  drawLines(list);
  drawCircles(list);
}

void kCanvas::flush() {
  if (surface) surface->flush();
}
