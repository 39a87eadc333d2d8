// The layered drawing surface: one QPainter surface per layer, composed on demand.
#include "qtsurface/LayeredSurface.hpp"

#include <QPainter>

LayeredSurface::LayeredSurface(const QSize& size) {
  for (std::size_t i = 0; i < images.size(); ++i) {
    // The layers above the first are transparent where nothing is drawn.
    const bool upper = i > 0;
    images[i] = QImage(size, upper ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    images[i].fill(upper ? Qt::transparent : Qt::white);
    surfaces[i] = std::make_unique<QPainterSurface>(images[i], upper);
  }
}

LayeredSurface::~LayeredSurface() = default;

void LayeredSurface::fillRect(int left, int top, int right, int bottom, std::uint32_t color) {
  current().fillRect(left, top, right, bottom, color);
}

void LayeredSurface::setPen(std::uint32_t color, int style, int width) { current().setPen(color, style, width); }

void LayeredSurface::moveTo(int x, int y) { current().moveTo(x, y); }

void LayeredSurface::lineTo(int x, int y) { current().lineTo(x, y); }

void LayeredSurface::angleArc(int x, int y, int radius, float start, float sweep) {
  current().angleArc(x, y, radius, start, sweep);
}

void LayeredSurface::selectLayer(SurfaceLayer layer) {
  selected = static_cast<int>(layer);
  used[static_cast<std::size_t>(selected)] = true;
}

void LayeredSurface::flush() {
  for (auto& surface : surfaces) surface->flush();
}

QRect LayeredSurface::takePaintedArea() {
  QRect area;
  for (auto& surface : surfaces) area |= surface->takePaintedArea();
  return area;
}

void LayeredSurface::composeInto(QImage& picture, const QRect& area) {
  flush();
  if (area.isEmpty()) return;
  QPainter painter(&picture);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(area, images[0], area);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (std::size_t i = 1; i < images.size(); ++i)
    if (used[i]) painter.drawImage(area, images[i], area);
}
