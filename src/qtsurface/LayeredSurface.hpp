// A drawing surface of three layers (see SurfaceLayer) that a window or the command line composes into the
// picture it shows: steps change the upper layers only, and the preview stays whole under them.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <array>
#include <memory>

#include "graphics/Surface.hpp"
#include "qtsurface/QPainterSurface.hpp"

class LayeredSurface : public DrawingSurface {
 public:
  // White layers of `size`; the preview layer is selected.
  explicit LayeredSurface(const QSize& size);
  ~LayeredSurface() override;
  LayeredSurface(const LayeredSurface&) = delete;
  LayeredSurface& operator=(const LayeredSurface&) = delete;

  void fillRect(int left, int top, int right, int bottom, std::uint32_t color) override;
  void setPen(std::uint32_t color, int style, int width) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void angleArc(int x, int y, int radius, float start, float sweep) override;
  void selectLayer(SurfaceLayer layer) override;
  void flush() override;

  // The part painted on any layer since the last call, clipped to the picture.
  QRect takePaintedArea();
  // Paints `area` of `picture` (of the layers' size) with the layers, bottom to top.
  void composeInto(QImage& picture, const QRect& area);

 private:
  QPainterSurface& current() { return *surfaces[static_cast<std::size_t>(selected)]; }

  std::array<QImage, kSurfaceLayerCount> images;
  std::array<std::unique_ptr<QPainterSurface>, kSurfaceLayerCount> surfaces;
  // The upper layers stay out of the composition until something selects them.
  std::array<bool, kSurfaceLayerCount> used{true, false, false};
  int selected = 0;
};
