// A drawing surface that logs every call (for tests and the command line's trace), optionally passing each
// call on to another surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Surface.hpp"

struct SurfaceCall {
  enum class Op { Fill, Move, Line, Arc, Step, Layer };
  Op op = Op::Move;
  // Fill: left, top, right, bottom. Move, Line: x, y. Arc: x, y, radius. Step: from, to. Layer: the layer.
  int a = 0, b = 0, c = 0, d = 0;
  // Fill: the fill colour; Line, Arc: the pen held.
  std::uint32_t color = 0;
  int style = 0;
  int width = 0;
  float start = 0;
  float sweep = 0;

  bool operator==(const SurfaceCall&) const = default;
};

// One JSON object, without a line end, e.g. {"op":"move","x":3,"y":4}.
std::string traceJson(const SurfaceCall& call);

class RecordingSurface : public DrawingSurface {
 public:
  explicit RecordingSurface(DrawingSurface* forwardTo = nullptr) : forward(forwardTo) {}
  ~RecordingSurface() override = default;

  void fillRect(int left, int top, int right, int bottom, std::uint32_t fillColor) override;
  void setPen(std::uint32_t penColor, int penStyle, int penWidth) override;
  void moveTo(int x, int y) override;
  void lineTo(int x, int y) override;
  void angleArc(int x, int y, int radius, float start, float sweep) override;
  void selectLayer(SurfaceLayer layer) override;
  // Logs the start of a cursor step (nothing is drawn).
  void markStep(int from, int to);

  std::vector<SurfaceCall> calls;

 private:
  DrawingSurface* forward;
  std::uint32_t color = 0;
  int style = 0;
  int width = 1;
};
