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
  const kPoint fixed = pointDrawnAt(pixel);
  setScale(drawnScale() * factor);
  // At the new scale with the old offset the pixel shows another point: shift the view by the difference.
  const kPoint moved = pointDrawnAt(pixel);
  path.viewOffset.x += moved.x - fixed.x;
  path.viewOffset.y += moved.y - fixed.y;
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

kPoint kNcDocument::pointDrawnAt(const kPoint& pixel) const {
  const kPoint c = pictureCentre();
  const double s = drawnScale();
  return kPoint((pixel.x - c.x) / s - path.viewOffset.x, (c.y - pixel.y) / s - path.viewOffset.y);
}

kPoint kNcDocument::programPointAt(const kPoint& pixel) const {
  if (path.viewScale != 0) return pointDrawnAt(pixel);
  const kPoint origin = pixelAt(kPoint(0, 0));
  return kPoint(pixel.x - origin.x, pixel.y - origin.y);
}

int kNcDocument::blockNear(const kPoint& pixel) {
  if (!hasProgram()) return 0;
  return path.nearestBlock(pointDrawnAt(pixel), kPickPixels / drawnScale());
}

int kNcDocument::lineNear(const kPoint& pixel) {
  const int block = blockNear(pixel);
  // A plain program's block b is line b.
  return isEvaluated() && block > 0 ? store.sourceLineOf(block) : block;
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

void kNcDocument::setToolCentreShown(bool on) {
  path.showToolCentre = on;
  pictureCurrent = false;
}

void kNcDocument::detachSurface() {
  path.stopRedraw();
  surface = nullptr;
  pictureCurrent = false;
}
