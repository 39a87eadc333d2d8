// The nearest drawn move: exact distances to segments and arcs, and the grid that narrows the search to the
// moves passing near the point.
#include "render/Movepick.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Cells per block on average: a pick looks at a handful of moves in a dense program.
constexpr double kCellsPerBlock = 1.0;
constexpr int kMaxSide = 2048;
// A move's bounding box wider than this many cells is kept out of the grid.
constexpr long kMaxCellsPerMove = 4096;

double hypot2(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

double distanceToSegment(const kPoint& p, const kPoint& a, const kPoint& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return hypot2(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The arc as the canvas draws it: counter-clockwise from a1 to a2 (degrees), a clockwise one from its end.
double distanceToArc(const kPoint& p, const GCircle& circle) {
  const kPoint c = circle.getCentre();
  const double r = std::fabs(circle.getRadius());
  const double d = hypot2(p.x - c.x, p.y - c.y);
  if (!circle.limited || circle.getKind() == 6) return std::fabs(d - r);
  const bool clockwise = circle.getRadius() < 0;
  double a1 = clockwise ? circle.endAngle : circle.startAngle;
  double a2 = clockwise ? circle.startAngle : circle.endAngle;
  if (a2 < a1) a2 += 360;
  double angle = std::atan2(p.y - c.y, p.x - c.x) * 180 / M_PI;
  while (angle < a1) angle += 360;
  while (angle >= a1 + 360) angle -= 360;
  if (angle <= a2) return std::fabs(d - r);
  return std::min(hypot2(p.x - circle.start.x, p.y - circle.start.y),
                  hypot2(p.x - circle.end.x, p.y - circle.end.y));
}

}  // namespace

double distanceToMove(const kPoint& p, const DrawnMove& move) {
  return move.arc ? distanceToArc(p, move.circle) : distanceToSegment(p, move.from, move.to);
}

void kMoveIndex::clear() {
  built = false;
  indexedBlocks = 0;
  std::vector<std::uint32_t>().swap(cellStart);
  std::vector<std::int32_t>().swap(entries);
  everywhere.clear();
}

namespace {
// Clamped as a real first: a point far off the grid (or not a number) must not overflow an int.
int cellOf(double offset, double size, int count) {
  const double cell = std::floor(offset / size);
  return cell >= 0 ? static_cast<int>(std::min(cell, count - 1.0)) : 0;
}
}  // namespace

int kMoveIndex::cellX(double x) const { return cellOf(x - left, cellWidth, columns); }

int kMoveIndex::cellY(double y) const { return cellOf(y - bottom, cellHeight, rows); }

template <typename Visit>
void kMoveIndex::forEachCell(const Box& box, Visit&& visit) const {
  if (box.arc) {
    for (int y = cellY(box.bottom); y <= cellY(box.top); ++y)
      for (int x = cellX(box.left); x <= cellX(box.right); ++x) visit(y * columns + x);
    return;
  }
  // A segment (from left, bottom to right, top), sampled every half cell: consecutive samples fall in
  // neighbouring cells, so a search one cell wider than its radius finds every segment passing within it.
  const double dx = box.right - box.left;
  const double dy = box.top - box.bottom;
  const double steps = std::ceil(2 * std::max(std::fabs(dx) / cellWidth, std::fabs(dy) / cellHeight));
  const int n = static_cast<int>(std::min(steps, 4.0 * (columns + rows)));
  int last = -1;
  for (int i = 0; i <= n; ++i) {
    const double t = n > 0 ? static_cast<double>(i) / n : 0;
    const int cell = cellY(box.bottom + t * dy) * columns + cellX(box.left + t * dx);
    if (cell != last) visit(cell);
    last = cell;
  }
}

void kMoveIndex::placeGrid(const std::vector<Box>& boxes) {
  double minX = std::numeric_limits<double>::max(), minY = minX;
  double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
  std::size_t count = 0;
  for (const Box& b : boxes) {
    if (!b.drawn) continue;
    minX = std::min({minX, static_cast<double>(b.left), static_cast<double>(b.right)});
    maxX = std::max({maxX, static_cast<double>(b.left), static_cast<double>(b.right)});
    minY = std::min({minY, static_cast<double>(b.bottom), static_cast<double>(b.top)});
    maxY = std::max({maxY, static_cast<double>(b.bottom), static_cast<double>(b.top)});
    ++count;
  }
  if (count == 0) minX = minY = maxX = maxY = 0;
  const double width = std::max(maxX - minX, 1e-9);
  const double height = std::max(maxY - minY, 1e-9);
  // Square-ish cells, about kCellsPerBlock per move.
  const double cells = std::max(1.0, kCellsPerBlock * static_cast<double>(count));
  const double side = std::sqrt(width * height / cells);
  columns = std::clamp(static_cast<int>(std::ceil(width / std::max(side, 1e-12))), 1, kMaxSide);
  rows = std::clamp(static_cast<int>(std::ceil(height / std::max(side, 1e-12))), 1, kMaxSide);
  left = minX;
  bottom = minY;
  // A little over the extent, so the far edge falls inside the last cell.
  cellWidth = width * (1 + 1e-9) / columns;
  cellHeight = height * (1 + 1e-9) / rows;
}

void kMoveIndex::build(int blockCount, const MoveOf& moveOf) {
  clear();
  // One pass over the moves for their boxes (segments keep their direction), then two over the boxes.
  std::vector<Box> boxes(static_cast<std::size_t>(std::max(blockCount, 0)));
  DrawnMove move;
  for (int b = 1; b < blockCount; ++b) {
    if (!moveOf(b, move)) continue;
    Box& box = boxes[static_cast<std::size_t>(b)];
    if (move.arc) {
      const kPoint c = move.circle.getCentre();
      const double r = std::fabs(move.circle.getRadius());
      box = Box{static_cast<float>(c.x - r),
                static_cast<float>(c.y - r),
                static_cast<float>(c.x + r),
                static_cast<float>(c.y + r),
                true,
                true};
    } else {
      box = Box{static_cast<float>(move.from.x),
                static_cast<float>(move.from.y),
                static_cast<float>(move.to.x),
                static_cast<float>(move.to.y),
                false,
                true};
    }
  }
  placeGrid(boxes);
  const std::size_t cellCount = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
  const auto tooLarge = [this](const Box& box) {
    if (!box.arc) return false;
    const long w = cellX(box.right) - cellX(box.left) + 1;
    const long h = cellY(box.top) - cellY(box.bottom) + 1;
    return w * h > kMaxCellsPerMove;
  };
  std::vector<std::uint32_t> counts(cellCount + 1, 0);
  for (int b = 1; b < blockCount; ++b) {
    const Box& box = boxes[static_cast<std::size_t>(b)];
    if (!box.drawn) continue;
    if (tooLarge(box)) {
      everywhere.push_back(b);
      continue;
    }
    forEachCell(box, [&counts](int cell) { ++counts[static_cast<std::size_t>(cell) + 1]; });
  }
  for (std::size_t c = 1; c <= cellCount; ++c) counts[c] += counts[c - 1];
  entries.resize(counts[cellCount]);
  cellStart = counts;
  for (int b = 1; b < blockCount; ++b) {
    const Box& box = boxes[static_cast<std::size_t>(b)];
    if (!box.drawn || tooLarge(box)) continue;
    forEachCell(box, [&](int cell) { entries[counts[static_cast<std::size_t>(cell)]++] = b; });
  }
  built = true;
  indexedBlocks = blockCount;
}

int kMoveIndex::nearest(const kPoint& p, double radius, const MoveOf& moveOf) const {
  int best = 0;
  double bestDistance = radius;
  DrawnMove move;
  const auto consider = [&](int b) {
    if (!moveOf(b, move)) return;
    const double d = distanceToMove(p, move);
    if (d < bestDistance || (d == bestDistance && b > best)) {
      bestDistance = d;
      best = b;
    }
  };
  for (int b : everywhere) consider(b);
  if (!built || entries.empty()) return best;
  // One cell more on each side: the segments were sampled every half cell.
  const int x0 = std::max(cellX(p.x - radius) - 1, 0), x1 = std::min(cellX(p.x + radius) + 1, columns - 1);
  const int y0 = std::max(cellY(p.y - radius) - 1, 0), y1 = std::min(cellY(p.y + radius) + 1, rows - 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const std::size_t cell = static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + x;
      for (std::uint32_t e = cellStart[cell]; e < cellStart[cell + 1]; ++e) consider(entries[e]);
    }
  return best;
}
