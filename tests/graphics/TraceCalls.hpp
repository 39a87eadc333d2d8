// Surface calls for the drawing tests: short constructors and readable failure output.
#pragma once

#include <cstdint>
#include <ostream>

#include "graphics/RecordingSurface.hpp"

inline void PrintTo(const SurfaceCall& call, std::ostream* out) { *out << traceJson(call); }

namespace trace {

inline SurfaceCall move(int x, int y) { return {SurfaceCall::Op::Move, x, y}; }

inline SurfaceCall layer(int which) { return {SurfaceCall::Op::Layer, which}; }

inline SurfaceCall line(int x, int y, std::uint32_t color = 0, int style = 0, int width = 1) {
  SurfaceCall c{SurfaceCall::Op::Line, x, y};
  c.color = color;
  c.style = style;
  c.width = width;
  return c;
}

inline SurfaceCall arc(int x, int y, int r, float start, float sweep, std::uint32_t color = 0, int style = 0,
                       int width = 1) {
  SurfaceCall c{SurfaceCall::Op::Arc, x, y, r};
  c.start = start;
  c.sweep = sweep;
  c.color = color;
  c.style = style;
  c.width = width;
  return c;
}

}  // namespace trace
