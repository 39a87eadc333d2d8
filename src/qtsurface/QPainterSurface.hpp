// The drawing surface of the window and the command line: a QPainter on a QImage, without antialiasing.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <cstdint>

#include "graphics/Surface.hpp"

// Paints on `image` from construction to destruction (or end()); the image must outlive the surface.
class QPainterSurface : public DrawingSurface {
 public:
  explicit QPainterSurface(QImage& image);
  ~QPainterSurface() override;
  QPainterSurface(const QPainterSurface&) = delete;
  QPainterSurface& operator=(const QPainterSurface&) = delete;

  void fillRect(int left, int top, int right, int bottom, std::uint32_t color) override;
  void setPen(std::uint32_t color, int style, int width) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void angleArc(int x, int y, int radius, float start, float sweep) override;
  // Finishes painting; later calls draw nothing.
  void end();

  // 0x00BBGGRR to a Qt colour.
  static QColor toQColor(std::uint32_t color);

 private:
  void applyPen();
  void drawClippedLine(double x1, double y1, double x2, double y2);

  QPainter painter;
  QRectF safeArea;
  QPoint position;
  std::uint32_t penColor = 0;
  int penStyle = 0;
  int penWidth = 1;
  bool penDirty = true;
};
