// The QPainter drawing surface: GDI-like lines, pen styles and angle arcs on a QImage.
#include "qtsurface/QPainterSurface.hpp"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// Coordinates farther out than this are clipped here first: the rasterizer works in fixed point.
constexpr int kSafeMargin = 4096;
constexpr double kChordError = 0.25;
constexpr double kRadiansPerDegree = M_PI / 180;
constexpr int kMaxArcSegments = 4096;
constexpr std::size_t kBatchSize = 4096;

Qt::PenStyle toQtStyle(int style, int width) {
  if (width > 1) return Qt::SolidLine;
  switch (style) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    default:
      return Qt::SolidLine;
  }
}

int roundToInt(double v) {
  constexpr double kLimit = 2.0e9;
  return static_cast<int>(std::lround(std::clamp(v, -kLimit, kLimit)));
}

// Liang-Barsky: keeps the part of the segment inside `area`; false when none is.
bool clipSegment(const QRectF& area, double& x1, double& y1, double& x2, double& y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double t0 = 0;
  double t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - area.left(), area.right() - x1, y1 - area.top(), area.bottom() - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const double sx = x1;
  const double sy = y1;
  x1 = sx + t0 * dx;
  y1 = sy + t0 * dy;
  x2 = sx + t1 * dx;
  y2 = sy + t1 * dy;
  return true;
}

}  // namespace

QColor QPainterSurface::toQColor(std::uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QPainterSurface::QPainterSurface(QImage& image, bool clearWhite)
    : painter(&image),
      safeArea(-kSafeMargin, -kSafeMargin, image.width() + 2 * kSafeMargin, image.height() + 2 * kSafeMargin),
      imageWidth(image.width()),
      imageHeight(image.height()),
      clearWhite(clearWhite) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
}

QPainterSurface::~QPainterSurface() { end(); }

void QPainterSurface::end() {
  flush();
  if (painter.isActive()) painter.end();
}

void QPainterSurface::flush() {
  if (pending.empty()) return;
  if (painter.isActive()) {
    applyPen();
    painter.drawLines(pending.data(), static_cast<int>(pending.size()));
  }
  pending.clear();
}

QRect QPainterSurface::takePaintedArea() {
  if (paintedLeft > paintedRight) return {};
  // Pens of up to 2 pixels and the rounding of the rasterizer reach a little past the end points.
  constexpr int margin = 3;
  const QRect area(QPoint(static_cast<int>(std::floor(paintedLeft)) - margin,
                          static_cast<int>(std::floor(paintedTop)) - margin),
                   QPoint(static_cast<int>(std::ceil(paintedRight)) + margin,
                          static_cast<int>(std::ceil(paintedBottom)) + margin));
  paintedLeft = paintedTop = 1;
  paintedRight = paintedBottom = 0;
  return area.intersected(QRect(0, 0, imageWidth, imageHeight));
}

void QPainterSurface::paintedAround(double x1, double y1, double x2, double y2) {
  const double left = std::clamp(std::min(x1, x2), -1.0, imageWidth + 1.0);
  const double right = std::clamp(std::max(x1, x2), -1.0, imageWidth + 1.0);
  const double top = std::clamp(std::min(y1, y2), -1.0, imageHeight + 1.0);
  const double bottom = std::clamp(std::max(y1, y2), -1.0, imageHeight + 1.0);
  if (paintedLeft > paintedRight) {
    paintedLeft = left, paintedRight = right, paintedTop = top, paintedBottom = bottom;
    return;
  }
  paintedLeft = std::min(paintedLeft, left);
  paintedRight = std::max(paintedRight, right);
  paintedTop = std::min(paintedTop, top);
  paintedBottom = std::max(paintedBottom, bottom);
}

void QPainterSurface::fillRect(int left, int top, int right, int bottom, std::uint32_t color) {
  flush();
  if (!painter.isActive() || right <= left || bottom <= top) return;
  paintedAround(left, top, right, bottom);
  const QColor colour = paintColour(color);
  painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), colour);
  penDirty = true;
}

void QPainterSurface::setPen(std::uint32_t color, int style, int width) {
  if (color == penColor && style == penStyle && width == penWidth) return;
  flush();
  penColor = color;
  penStyle = style;
  penWidth = width;
  penDirty = true;
}

void QPainterSurface::applyPen() {
  if (!penDirty) return;
  QPen pen(paintColour(penColor));
  pen.setStyle(toQtStyle(penStyle, penWidth));
  // Width 0 or 1 is the one-pixel cosmetic pen.
  pen.setWidth(penWidth > 1 ? penWidth : 0);
  painter.setPen(pen);
  penDirty = false;
}

QColor QPainterSurface::paintColour(std::uint32_t color) {
  const bool clear = clearWhite && color == 0xFFFFFF;
  painter.setCompositionMode(clear ? QPainter::CompositionMode_Source : QPainter::CompositionMode_SourceOver);
  return clear ? QColor(Qt::transparent) : toQColor(color);
}

void QPainterSurface::moveTo(int x, int y) { position = QPoint(x, y); }

void QPainterSurface::lineTo(int x, int y) {
  const QPoint target(x, y);
  paintedAround(position.x(), position.y(), x, y);
  if (inSafeArea(position.x(), position.y()) && inSafeArea(x, y)) {
    // A one-pixel solid line of no length right after a line ending there adds no pixel.
    const bool adds =
        target != position || penWidth > 1 || penStyle != 0 || pending.empty() || pending.back().p2() != target;
    if (adds) pending.emplace_back(position, target);
    if (pending.size() >= kBatchSize) flush();
  } else if (painter.isActive()) {
    flush();
    applyPen();
    drawClippedLine(position.x(), position.y(), x, y);
  }
  position = target;
}

bool QPainterSurface::inSafeArea(double x, double y) const {
  return x >= -kSafeMargin && y >= -kSafeMargin && x <= imageWidth + kSafeMargin && y <= imageHeight + kSafeMargin;
}

void QPainterSurface::drawClippedLine(double x1, double y1, double x2, double y2) {
  if (clipSegment(safeArea, x1, y1, x2, y2)) {
    painter.drawLine(QLineF(std::round(x1), std::round(y1), std::round(x2), std::round(y2)));
  }
}

void QPainterSurface::angleArc(int x, int y, int radius, float start, float sweep) {
  flush();
  if (!std::isfinite(start) || !std::isfinite(sweep)) return;
  const double r = std::max(radius, 0);
  const double a1 = start * kRadiansPerDegree;
  const double span = static_cast<double>(sweep) * kRadiansPerDegree;
  // Chords that stray at most a quarter pixel from the circle.
  const double chordAngle = r > kChordError ? 2 * std::acos(1 - kChordError / r) : 2 * M_PI;
  const int segments =
      static_cast<int>(std::clamp(std::ceil(std::fabs(span) / chordAngle), 1.0, double{kMaxArcSegments}));
  arcPoints.clear();
  arcPoints.emplace_back(position);
  // Angles run counter-clockwise on the screen, whose y grows downwards.
  for (int i = 0; i <= segments; ++i) {
    const double a = a1 + span * i / segments;
    arcPoints.emplace_back(x + r * std::cos(a), y - r * std::sin(a));
  }
  for (const QPointF& p : arcPoints) paintedAround(p.x(), p.y(), p.x(), p.y());
  if (painter.isActive()) {
    applyPen();
    const bool safe = std::all_of(arcPoints.begin(), arcPoints.end(),
                                  [this](const QPointF& p) { return inSafeArea(p.x(), p.y()); });
    if (safe) {
      painter.drawPolyline(arcPoints.data(), static_cast<int>(arcPoints.size()));
    } else {
      for (std::size_t i = 1; i < arcPoints.size(); ++i) {
        drawClippedLine(arcPoints[i - 1].x(), arcPoints[i - 1].y(), arcPoints[i].x(), arcPoints[i].y());
      }
    }
  }
  position = QPoint(roundToInt(arcPoints.back().x()), roundToInt(arcPoints.back().y()));
}
