// The program document's view and drawing: scale and offset, zoom, moving the view, pixels to program points,
// and the picture drawn in pieces so that the window keeps taking events.
#include <cmath>
#include <limits>

#include "document/Ncdocument.hpp"

namespace {
// Blocks drawn between two looks at the clock: well under a millisecond.
constexpr int kBlocksPerLook = 4096;
constexpr double kZoomPerNotch = 1.25;
// How near the pointer a move must pass to be picked.
constexpr double kPickPixels = 8;
}  // namespace

double wheelZoomFactor(double notches) { return std::isfinite(notches) ? std::pow(kZoomPerNotch, notches) : 1; }

void kNcDocument::fitView(int width, int height) { path.fitToExtents(width, height); }

void kNcDocument::setScale(double newScale) {
  path.viewScale = std::fabs(newScale);
  canvas.setScale(path.viewScale);
}

kPoint kNcDocument::pictureCentre() const { return kPoint(pictureWidth / 2, pictureHeight / 2); }

void kNcDocument::zoomAt(const kPoint& pixel, double factor) {
  const kPoint c = pictureCentre();
  const double s = drawnScale();
  const kPoint fixed((pixel.x - c.x) / s - path.viewOffset.x, (c.y - pixel.y) / s - path.viewOffset.y);
  setScale(s * factor);
  const double t = drawnScale();
  path.viewOffset = kPoint((pixel.x - c.x) / t - fixed.x, (c.y - pixel.y) / t - fixed.y);
}

void kNcDocument::moveView(const kPoint& from, const kPoint& to) {
  const double s = drawnScale();
  path.viewOffset.x += (to.x - from.x) / s;
  path.viewOffset.y -= (to.y - from.y) / s;
}

kPoint kNcDocument::pixelAt(const kPoint& p) const {
  const kPoint c = pictureCentre();
  const double s = drawnScale();
  return kPoint((p.x + path.viewOffset.x) * s + c.x, c.y - (p.y + path.viewOffset.y) * s);
}

kPoint kNcDocument::programPointAt(const kPoint& pixel) const {
  const kPoint origin = pixelAt(kPoint(0, 0));
  const double dx = pixel.x - origin.x;
  const double dy = pixel.y - origin.y;
  if (path.viewScale == 0) return kPoint(dx, dy);
  return kPoint(dx / path.viewScale, -dy / path.viewScale);
}

int kNcDocument::lineNear(const kPoint& pixel) {
  if (!hasProgram()) return 0;
  // The point as drawn (programPointAt tells pixels at a scale of 0, which draws at 1).
  const kPoint origin = pixelAt(kPoint(0, 0));
  const double s = drawnScale();
  const kPoint at((pixel.x - origin.x) / s, (origin.y - pixel.y) / s);
  // Blocks are lines: block b is line b.
  return path.nearestBlock(at, kPickPixels / s);
}

bool kNcDocument::continueIndexing(std::chrono::microseconds budget) {
  const auto until = std::chrono::steady_clock::now() + budget;
  while (!path.indexMoves(kBlocksPerLook))
    if (std::chrono::steady_clock::now() >= until) return false;
  return true;
}

void kNcDocument::bindSurface(DrawingSurface& target, int width, int height) {
  surface = &target;
  pictureWidth = width;
  pictureHeight = height;
  pictureCurrent = false;
}

void kNcDocument::startRedraw(DrawingSurface& target, int width, int height) {
  bindSurface(target, width, height);
  path.curLine = current + 1;
  path.beginRedraw(target, width, height);
}

bool kNcDocument::continueRedraw(std::chrono::microseconds budget) {
  if (!surface) return true;
  const auto until = std::chrono::steady_clock::now() + budget;
  while (!path.continueRedraw(kBlocksPerLook))
    if (std::chrono::steady_clock::now() >= until) return false;
  pictureCurrent = true;
  return true;
}

void kNcDocument::redraw(DrawingSurface& target, int width, int height) {
  startRedraw(target, width, height);
  path.continueRedraw(std::numeric_limits<int>::max());
  pictureCurrent = true;
}

void kNcDocument::blank(DrawingSurface& target, int width, int height) {
  bindSurface(target, width, height);
  path.stopRedraw();
  path.blankView(target, width, height);
}

void kNcDocument::setPreview(bool on) {
  path.preview = on;
  pictureCurrent = false;
}

void kNcDocument::detachSurface() {
  path.stopRedraw();
  surface = nullptr;
  pictureCurrent = false;
}
