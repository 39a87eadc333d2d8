// What the canvas needs of a drawing surface: fill, pen, move-to, line-to and an angle arc.
#pragma once

#include <cstdint>

// The layers a window composes its picture of, bottom to top: the whole program in a light pen with the axes,
// the path travelled so far, and the mark on the current move. Steps change the upper two only, so erasing
// there uncovers the preview instead of painting over it.
enum class SurfaceLayer { Preview = 0, Path = 1, Highlight = 2 };
inline constexpr int kSurfaceLayerCount = 3;

// Colours are 0x00BBGGRR (red in the low byte); pen styles 0 solid, 1 dash, 2 dot, 3 dash-dot.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  // Right and bottom edges exclusive.
  virtual void fillRect(int left, int top, int right, int bottom, std::uint32_t color) = 0;
  // A pen wider than 1 pixel draws solid whatever its style.
  virtual void setPen(std::uint32_t color, int style, int width) = 0;
  virtual void moveTo(int x, int y) = 0;
  virtual void lineTo(int x, int y) = 0;
  // A line from the pen position to the arc's first point, then the arc counter-clockwise as seen on the
  // screen (0 degrees to +x, 90 up) from `start` over `sweep`; the arc's last point becomes the pen position.
  virtual void angleArc(int x, int y, int radius, float start, float sweep) = 0;
  // Further calls draw on `layer`. On the layers above the first, the background colour (white) is clear.
  // A surface of one picture draws every layer on it.
  virtual void selectLayer(SurfaceLayer) {}
  // Completes drawing that a surface may hold back for speed; the canvas calls it when a redraw or a step
  // is finished.
  virtual void flush() {}
};
