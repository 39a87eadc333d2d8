// The QPainter drawing surface: GDI-like lines, pen styles and angle arcs on a QImage.
#include "qtsurface/QPainterSurface.hpp"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// Coordinates farther out than this are clipped here first: the rasterizer works in fixed point.
constexpr double kSafeMargin = 4096;
constexpr int kMaxArcSegments = 4096;

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

QPainterSurface::QPainterSurface(QImage& image)
    : painter(&image),
      safeArea(-kSafeMargin, -kSafeMargin, image.width() + 2 * kSafeMargin, image.height() + 2 * kSafeMargin) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
}

QPainterSurface::~QPainterSurface() { end(); }

void QPainterSurface::end() {
  if (painter.isActive()) painter.end();
}

void QPainterSurface::fillRect(int left, int top, int right, int bottom, std::uint32_t color) {
  if (!painter.isActive() || right <= left || bottom <= top) return;
  painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), toQColor(color));
}

void QPainterSurface::setPen(std::uint32_t color, int style, int width) {
  if (color == penColor && style == penStyle && width == penWidth) return;
  penColor = color;
  penStyle = style;
  penWidth = width;
  penDirty = true;
}

void QPainterSurface::applyPen() {
  if (!penDirty) return;
  QPen pen(toQColor(penColor));
  pen.setStyle(toQtStyle(penStyle, penWidth));
  // Width 0 or 1 is the one-pixel cosmetic pen.
  pen.setWidth(penWidth > 1 ? penWidth : 0);
  painter.setPen(pen);
  penDirty = false;
}

void QPainterSurface::moveTo(int x, int y) { position = QPoint(x, y); }

void QPainterSurface::lineTo(int x, int y) {
  if (painter.isActive()) {
    applyPen();
    const QPoint target(x, y);
    if (safeArea.contains(position) && safeArea.contains(target)) {
      painter.drawLine(position, target);
    } else {
      drawClippedLine(position.x(), position.y(), x, y);
    }
  }
  position = QPoint(x, y);
}

void QPainterSurface::drawClippedLine(double x1, double y1, double x2, double y2) {
  if (clipSegment(safeArea, x1, y1, x2, y2)) {
    painter.drawLine(QLineF(std::round(x1), std::round(y1), std::round(x2), std::round(y2)));
  }
}

void QPainterSurface::angleArc(int x, int y, int radius, float start, float sweep) {
  const double r = std::max(radius, 0);
  const double a1 = start * M_PI / 180;
  const double a2 = (static_cast<double>(start) + sweep) * M_PI / 180;
  // Angles run counter-clockwise on the screen, whose y grows downwards.
  const QPointF first(x + r * std::cos(a1), y - r * std::sin(a1));
  const QPointF last(x + r * std::cos(a2), y - r * std::sin(a2));
  if (painter.isActive()) {
    applyPen();
    const QRectF box(x - r, y - r, 2 * r, 2 * r);
    if (safeArea.contains(box) && safeArea.contains(position)) {
      QPainterPath path(position);
      path.arcTo(box, start, sweep);
      painter.drawPath(path);
    } else {
      // Too large for the rasterizer: a polyline of clipped chords.
      drawClippedLine(position.x(), position.y(), first.x(), first.y());
      const int segments = std::clamp(static_cast<int>(std::fabs(sweep) / 360 * r), 1, kMaxArcSegments);
      QPointF from = first;
      for (int i = 1; i <= segments; ++i) {
        const double a = a1 + (a2 - a1) * i / segments;
        const QPointF to(x + r * std::cos(a), y - r * std::sin(a));
        drawClippedLine(from.x(), from.y(), to.x(), to.y());
        from = to;
      }
    }
  }
  position = last.toPoint();
}
