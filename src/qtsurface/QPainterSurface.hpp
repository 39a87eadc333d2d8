// The drawing surface of the window and the command line: a QPainter on a QImage, without antialiasing.
#pragma once

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <vector>

#include "graphics/Surface.hpp"

// Paints on `image` from construction to destruction (or end()); the image must outlive the surface. Lines
// may be held back until flush(), a pen change, an arc or a fill.
class QPainterSurface : public DrawingSurface {
 public:
  // `clearWhite`: white paints transparent pixels (the image has an alpha channel), so erasing uncovers
  // whatever the image is composed over.
  explicit QPainterSurface(QImage& image, bool clearWhite = false);
  ~QPainterSurface() override;
  QPainterSurface(const QPainterSurface&) = delete;
  QPainterSurface& operator=(const QPainterSurface&) = delete;

  void fillRect(int left, int top, int right, int bottom, std::uint32_t color) override;
  void setPen(std::uint32_t color, int style, int width) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void angleArc(int x, int y, int radius, float start, float sweep) override;
  // Paints the lines held back: consecutive lines of one pen are drawn in one call.
  void flush() override;
  // Flushes and finishes painting; later calls draw nothing.
  void end();

  // 0x00BBGGRR to a Qt colour.
  static QColor toQColor(std::uint32_t color);
  // The part of the image painted since the last call (pen width included), clipped to the image: a window
  // repaints only that after a step.
  QRect takePaintedArea();

 private:
  void applyPen();
  // The colour to paint `color` in, with the composition mode that paints it.
  QColor paintColour(std::uint32_t color);
  void drawClippedLine(double x1, double y1, double x2, double y2);
  bool inSafeArea(double x, double y) const;
  void paintedAround(double x1, double y1, double x2, double y2);

  QPainter painter;
  std::vector<QLine> pending;
  QRectF safeArea;
  int imageWidth;
  int imageHeight;
  std::vector<QPointF> arcPoints;
  // Bounds of what was painted since takePaintedArea (left > right: nothing).
  double paintedLeft = 1, paintedTop = 1, paintedRight = 0, paintedBottom = 0;
  QPoint position;
  std::uint32_t penColor = 0;
  int penStyle = 0;
  int penWidth = 1;
  bool penDirty = true;
  bool clearWhite = false;
};
