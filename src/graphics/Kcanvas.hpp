// Pens, shape lists and the canvas that maps world coordinates (y up) onto a drawing surface (y down).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "graphics/Gcircle.hpp"
#include "graphics/Gline.hpp"
#include "graphics/Kpoint.hpp"
#include "graphics/Surface.hpp"

inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
// Pen style codes.
inline constexpr std::uint8_t kSolid = 0, kDash = 1, kDot = 2, kDashDot = 3;

class GPen {
 public:
  virtual ~GPen() = default;
  // White background, black solid pen, 1 pixel.
  void resetPen();
  void setPen(std::uint32_t newBackground, std::uint32_t newColor, std::uint8_t newStyle, int newWidth);
  // The four pen fields only (a GList or kCanvas stays what it is).
  GPen penOf() const { return *this; }
  void usePen(const GPen& pen) { setPen(pen.background, pen.color, pen.style, pen.width); }

  std::uint32_t background = kWhite;
  std::uint32_t color = kBlack;
  std::uint8_t style = kSolid;
  int width = 1;
};

// A pen and the lines and circles drawn with it, kept in adding order (the tags tell the mixed order).
class GList : public GPen {
 public:
  GList() = default;
  ~GList() override = default;

  // Both return the new number of shapes of that kind.
  int addLine(const GLine& line);
  int addCircle(const GCircle& circle);
  int lineCount() const { return static_cast<int>(lines.size()); }
  int circleCount() const { return static_cast<int>(circles.size()); }
  int shapeCount() const { return static_cast<int>(tags.size()); }
  // u"L" or u"C" for the i-th added shape; u"" outside 0 .. shapeCount() - 1.
  std::u16string_view tagAt(int i) const;
  bool isLineAt(int i) const { return tags[static_cast<std::size_t>(i)] == 'L'; }
  // Requires 0 <= i < lineCount() (circleCount()).
  const GLine& lineAt(int i) const { return lines[static_cast<std::size_t>(i)]; }
  const GCircle& circleAt(int i) const { return circles[static_cast<std::size_t>(i)]; }
  // Keeps the pen and `visible`.
  void clear();
  void reserve(int lineTotal, int circleTotal);

  bool visible = false;

 private:
  std::vector<GLine> lines;
  std::vector<GCircle> circles;
  std::vector<char> tags;
};

class kCanvas : public GPen {
 public:
  kCanvas() = default;
  ~kCanvas() override = default;

  // Origin at the surface centre (integer halves), the given scale as is, pen reset.
  void bind(DrawingSurface& target, int w, int h, double newScale);
  bool isBound() const { return surface != nullptr; }
  // |v|; 0 (or not a finite number) becomes 1.
  void setScale(double v);
  double getScale() const { return scale; }
  void setOrigin(const kPoint& p) { origin = p; }
  kPoint getOrigin() const { return origin; }
  int pictureWidth() const { return widthPx; }
  int pictureHeight() const { return heightPx; }
  void clear(std::uint32_t fillColor);
  // Pixels left .. right - 1, top .. bottom - 1.
  void fillPixels(int left, int top, int right, int bottom, std::uint32_t fillColor);
  // Further drawing goes to `layer` of the surface (see DrawingSurface::selectLayer).
  void selectLayer(SurfaceLayer layer);
  kPoint toScreen(const kPoint& p) const;
  // Both return the screen point (reals); the surface gets it truncated toward zero.
  kPoint moveTo(const kPoint& p);
  kPoint lineTo(const kPoint& p);
  kPoint drawSegment(const kPoint& a, const kPoint& b);
  // An unlimited line is clipped by a circle of 2000 world units about a point on it.
  bool drawLine(const GLine& line);
  bool drawCircle(const GCircle& circle);
  // The dash-dot axes through c; the origin then moves to c's screen point.
  void drawCentreLines(const kPoint& c);
  int drawLines(const GList& list);
  int drawCircles(const GList& list);
  void drawList(const GList& list);
  // Hands on the end of a drawing to the surface (see DrawingSurface::flush).
  void flush();

 private:
  void applyPen();

  DrawingSurface* surface = nullptr;
  int widthPx = 0;
  int heightPx = 0;
  kPoint origin;
  double scale = 1.0;
};

// Screen coordinate to surface pixel: truncated toward zero, kept inside the int range (NaN gives 0).
int toPixel(double v);
