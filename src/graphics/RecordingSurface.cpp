// The recording drawing surface and the JSON form of its log.
#include "graphics/RecordingSurface.hpp"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

void appendField(std::string& out, std::string_view name, long long value) {
  out += ",\"";
  out += name;
  out += "\":";
  out += std::to_string(value);
}

// Shortest text that reads back as the same float; JSON has no NaN or infinity.
void appendReal(std::string& out, std::string_view name, float value) {
  out += ",\"";
  out += name;
  out += "\":";
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendPen(std::string& out, const SurfaceCall& call) {
  appendField(out, "color", static_cast<long long>(call.color));
  appendField(out, "style", call.style);
  appendField(out, "width", call.width);
}

}  // namespace

std::string traceJson(const SurfaceCall& call) {
  std::string out;
  switch (call.op) {
    case SurfaceCall::Op::Fill:
      out = "{\"op\":\"fill\"";
      appendField(out, "left", call.a);
      appendField(out, "top", call.b);
      appendField(out, "right", call.c);
      appendField(out, "bottom", call.d);
      appendField(out, "color", static_cast<long long>(call.color));
      break;
    case SurfaceCall::Op::Move:
      out = "{\"op\":\"move\"";
      appendField(out, "x", call.a);
      appendField(out, "y", call.b);
      break;
    case SurfaceCall::Op::Line:
      out = "{\"op\":\"line\"";
      appendField(out, "x", call.a);
      appendField(out, "y", call.b);
      appendPen(out, call);
      break;
    case SurfaceCall::Op::Arc:
      out = "{\"op\":\"arc\"";
      appendField(out, "x", call.a);
      appendField(out, "y", call.b);
      appendField(out, "radius", call.c);
      appendReal(out, "start", call.start);
      appendReal(out, "sweep", call.sweep);
      appendPen(out, call);
      break;
    case SurfaceCall::Op::Step:
      out = "{\"op\":\"step\"";
      appendField(out, "from", call.a);
      appendField(out, "to", call.b);
      break;
    case SurfaceCall::Op::Layer:
      out = "{\"op\":\"layer\"";
      appendField(out, "layer", call.a);
      break;
  }
  out += '}';
  return out;
}

void RecordingSurface::fillRect(int left, int top, int right, int bottom, std::uint32_t fillColor) {
  calls.push_back({.op = SurfaceCall::Op::Fill, .a = left, .b = top, .c = right, .d = bottom, .color = fillColor});
  if (forward) forward->fillRect(left, top, right, bottom, fillColor);
}

void RecordingSurface::setPen(std::uint32_t penColor, int penStyle, int penWidth) {
  color = penColor;
  style = penStyle;
  width = penWidth;
  if (forward) forward->setPen(penColor, penStyle, penWidth);
}

void RecordingSurface::moveTo(int x, int y) {
  calls.push_back({.op = SurfaceCall::Op::Move, .a = x, .b = y});
  if (forward) forward->moveTo(x, y);
}

void RecordingSurface::lineTo(int x, int y) {
  calls.push_back({.op = SurfaceCall::Op::Line, .a = x, .b = y, .color = color, .style = style, .width = width});
  if (forward) forward->lineTo(x, y);
}

void RecordingSurface::angleArc(int x, int y, int radius, float start, float sweep) {
  calls.push_back({.op = SurfaceCall::Op::Arc,
                   .a = x,
                   .b = y,
                   .c = radius,
                   .color = color,
                   .style = style,
                   .width = width,
                   .start = start,
                   .sweep = sweep});
  if (forward) forward->angleArc(x, y, radius, start, sweep);
}

void RecordingSurface::selectLayer(SurfaceLayer layer) {
  calls.push_back({.op = SurfaceCall::Op::Layer, .a = static_cast<int>(layer)});
  if (forward) forward->selectLayer(layer);
}

void RecordingSurface::markStep(int from, int to) {
  calls.push_back({.op = SurfaceCall::Op::Step, .a = from, .b = to});
}
