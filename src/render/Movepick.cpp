// The nearest drawn move: exact distances to segments and arcs, and the grid that narrows the search to the
// moves passing near the point.
#include "render/Movepick.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Cells per block on average: a pick looks at a handful of moves in a dense program.
constexpr double kCellsPerBlock = 0.25;
constexpr int kMaxSide = 2048;

double hypot2(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

double distanceToSegment(const kPoint& p, const kPoint& a, const kPoint& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return hypot2(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The arc as the canvas draws it: counter-clockwise from `first` over `sweep` degrees, a clockwise arc from its
// end; a whole circle from 0 over 360.
void arcSpan(const GCircle& circle, double& first, double& sweep) {
  first = 0;
  sweep = 360;
  if (!circle.limited || circle.getKind() == 6) return;
  const bool clockwise = circle.getRadius() < 0;
  first = clockwise ? circle.endAngle : circle.startAngle;
  double last = clockwise ? circle.startAngle : circle.endAngle;
  if (last < first) last += 360;
  sweep = last - first;
}

double distanceToArc(const kPoint& p, const GCircle& circle) {
  const kPoint c = circle.getCentre();
  const double ring = std::fabs(hypot2(p.x - c.x, p.y - c.y) - std::fabs(circle.getRadius()));
  double first = 0, sweep = 360;
  arcSpan(circle, first, sweep);
  if (sweep >= 360) return ring;
  double angle = std::atan2(p.y - c.y, p.x - c.x) * 180 / M_PI;
  while (angle < first) angle += 360;
  while (angle >= first + 360) angle -= 360;
  if (angle <= first + sweep) return ring;
  return std::min(hypot2(p.x - circle.start.x, p.y - circle.start.y),
                  hypot2(p.x - circle.end.x, p.y - circle.end.y));
}

}  // namespace

double distanceToMove(const kPoint& p, const DrawnMove& move) {
  return move.arc ? distanceToArc(p, move.circle) : distanceToSegment(p, move.from, move.to);
}

void kMoveIndex::clear() {
  built = false;
  phase = Phase::Idle;
  indexedBlocks = 0;
  std::vector<Box>().swap(boxes);
  std::vector<std::uint32_t>().swap(fillAt);
  std::vector<std::uint32_t>().swap(cellStart);
  std::vector<std::int32_t>().swap(entries);
  std::vector<std::uint32_t>().swap(seenIn);
  everywhere.clear();
}

namespace {
// Clamped as a real first: a point far off the grid (or not a number) must not overflow an int.
int cellOf(double offset, double size, int count) {
  const double cell = std::floor(offset / size);
  return cell >= 0 ? static_cast<int>(std::min(cell, count - 1.0)) : 0;
}
}  // namespace

int kMoveIndex::cellsAlong(double length, double side) {
  const double n = std::ceil(length / side);
  // Compared as a real: an overflowed extent (infinite, or not a number) must not overflow an int.
  return n >= 1 ? static_cast<int>(std::min(n, static_cast<double>(kMaxSide))) : 1;
}

int kMoveIndex::cellX(double x) const { return cellOf(x - left, cellWidth, columns); }

int kMoveIndex::cellY(double y) const { return cellOf(y - bottom, cellHeight, rows); }

int kMoveIndex::samplesOf(const Box& box) const {
  const double n = box.arc ? std::ceil(2 * box.x2 * box.sweep * M_PI / 180 / std::min(cellWidth, cellHeight))
                           : std::ceil(2 * std::max(std::fabs(box.x2 - box.x1) / cellWidth,
                                                    std::fabs(box.y2 - box.y1) / cellHeight));
  // More samples than any grid has cells, or not a number: a move listed everywhere (tooLarge).
  constexpr double kMostSamples = 1 << 30;
  return n >= 0 && n <= kMostSamples ? static_cast<int>(n) : (n < 0 ? 0 : static_cast<int>(kMostSamples));
}

bool kMoveIndex::tooLarge(const Box& box) const { return samplesOf(box) > 4 * (columns + rows); }

// The move sampled every half cell or closer: every point of it lies within half a cell of a sample. An arc's
// samples turn by one fixed rotation rather than a sine and cosine each.
template <typename Visit>
void kMoveIndex::forEachCell(const Box& box, Visit&& visit) const {
  const int n = samplesOf(box);
  const double step = n > 0 ? box.sweep * M_PI / 180 / n : 0;
  const double turnCos = std::cos(step), turnSin = std::sin(step);
  const double first = box.first * M_PI / 180;
  double dx = box.x2 * std::cos(first), dy = box.x2 * std::sin(first);
  int last = -1;
  for (int i = 0; i <= n; ++i) {
    double x = 0, y = 0;
    if (box.arc) {
      x = box.x1 + dx;
      y = box.y1 + dy;
      const double turned = dx * turnCos - dy * turnSin;
      dy = dx * turnSin + dy * turnCos;
      dx = turned;
    } else {
      const double t = n > 0 ? static_cast<double>(i) / n : 0;
      x = box.x1 + t * (box.x2 - box.x1);
      y = box.y1 + t * (box.y2 - box.y1);
    }
    const int cell = cellY(y) * columns + cellX(x);
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
    // An arc's whole circle, a segment's end points.
    const double r = b.arc ? b.x2 : 0;
    const double x2 = b.arc ? b.x1 : b.x2, y2 = b.arc ? b.y1 : b.y2;
    minX = std::min({minX, b.x1 - r, x2 - r});
    maxX = std::max({maxX, b.x1 + r, x2 + r});
    minY = std::min({minY, b.y1 - r, y2 - r});
    maxY = std::max({maxY, b.y1 + r, y2 + r});
    ++count;
  }
  if (count == 0) minX = minY = maxX = maxY = 0;
  // Square cells, about kCellsPerBlock per move, and never more than kMaxSide or that many along the longer
  // side: a program whose moves lie on one line gets one row of cells, not a row of slivers a search walks
  // through ring by ring.
  const double longer = std::max({maxX - minX, maxY - minY, 1e-9});
  const double cells = std::max(1.0, kCellsPerBlock * static_cast<double>(count));
  const double side =
      std::max({std::sqrt((maxX - minX) * (maxY - minY) / cells), longer / cells, longer / kMaxSide});
  const double width = std::max(maxX - minX, side);
  const double height = std::max(maxY - minY, side);
  columns = cellsAlong(width, side);
  rows = cellsAlong(height, side);
  left = minX;
  bottom = minY;
  // A little over the extent, so the far edge falls inside the last cell.
  cellWidth = width * (1 + 1e-9) / columns;
  cellHeight = height * (1 + 1e-9) / rows;
}

void kMoveIndex::begin(int blockCount) {
  clear();
  indexedBlocks = std::max(blockCount, 0);
  boxes.assign(static_cast<std::size_t>(indexedBlocks), Box());
  phase = Phase::Boxes;
  cursor = 1;
}

// One pass over the moves for their boxes (segments keep their direction), then two over the boxes: the
// cells' counts, then their entries.
bool kMoveIndex::proceed(const MoveOf& moveOf, int blockBudget) {
  long long budget = blockBudget;
  while (phase != Phase::Idle) {
    if (budget <= 0) return false;
    const int stop = static_cast<int>(std::min<long long>(indexedBlocks, cursor + budget));
    budget -= std::max(stop - cursor, 1);
    for (int b = cursor; b < stop; ++b) indexBlock(b, moveOf);
    cursor = stop;
    if (cursor >= indexedBlocks) finishPhase();
  }
  return true;
}

void kMoveIndex::indexBlock(int b, const MoveOf& moveOf) {
  Box& box = boxes[static_cast<std::size_t>(b)];
  if (phase == Phase::Boxes) {
    boxOf(b, moveOf, box);
    return;
  }
  if (!box.drawn) return;
  if (tooLarge(box)) {
    if (phase == Phase::Counts) everywhere.push_back(b);
    return;
  }
  if (phase == Phase::Counts) {
    forEachCell(box, [this](int cell) { ++cellStart[static_cast<std::size_t>(cell) + 1]; });
  } else {
    forEachCell(box, [this, b](int cell) { entries[fillAt[static_cast<std::size_t>(cell)]++] = b; });
  }
}

void kMoveIndex::boxOf(int b, const MoveOf& moveOf, Box& box) const {
  DrawnMove move;
  if (!moveOf(b, move)) return;
  box.drawn = true;
  box.arc = move.arc;
  if (move.arc) {
    double first = 0, sweep = 360;
    arcSpan(move.circle, first, sweep);
    const kPoint c = move.circle.getCentre();
    box.x1 = static_cast<float>(c.x);
    box.y1 = static_cast<float>(c.y);
    box.x2 = static_cast<float>(std::fabs(move.circle.getRadius()));
    box.first = static_cast<float>(first);
    box.sweep = static_cast<float>(sweep);
  } else {
    box.x1 = static_cast<float>(move.from.x);
    box.y1 = static_cast<float>(move.from.y);
    box.x2 = static_cast<float>(move.to.x);
    box.y2 = static_cast<float>(move.to.y);
  }
}

void kMoveIndex::finishPhase() {
  cursor = 1;
  if (phase == Phase::Boxes) {
    placeGrid(boxes);
    cellStart.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) + 1, 0);
    phase = Phase::Counts;
    return;
  }
  if (phase == Phase::Counts) {
    for (std::size_t c = 1; c < cellStart.size(); ++c) cellStart[c] += cellStart[c - 1];
    entries.resize(cellStart.back());
    fillAt = cellStart;
    phase = Phase::Entries;
    return;
  }
  std::vector<Box>().swap(boxes);
  std::vector<std::uint32_t>().swap(fillAt);
  phase = Phase::Idle;
  built = true;
}

int kMoveIndex::nearest(const kPoint& p, double radius, const MoveOf& moveOf) const {
  int best = 0;
  double bestDistance = radius;
  DrawnMove move;
  // A move listed in several cells is measured once.
  if (seenIn.size() != static_cast<std::size_t>(indexedBlocks))
    seenIn.assign(static_cast<std::size_t>(indexedBlocks), 0);
  const std::uint32_t search = ++searches;
  const auto consider = [&](int b) {
    std::uint32_t& seen = seenIn[static_cast<std::size_t>(b)];
    if (seen == search) return;
    seen = search;
    if (!moveOf(b, move)) return;
    const double d = distanceToMove(p, move);
    if (d < bestDistance || (d == bestDistance && b > best)) {
      bestDistance = d;
      best = b;
    }
  };
  for (int b : everywhere) consider(b);
  if (!built || entries.empty()) return best;
  // Rings of cells about p's, nearest first. A move passing d from p is listed in a cell within d plus half a
  // cell's diagonal of p (segments are sampled every half cell), and ring k lies at least k - 1 cells away:
  // once that is farther than the best distance plus the slack, no move listed further out can be nearer.
  const int cx = cellX(p.x), cy = cellY(p.y);
  const double cell = std::min(cellWidth, cellHeight);
  const double slack = 0.5 * hypot2(cellWidth, cellHeight);
  const int lastRing = std::max({cx, columns - 1 - cx, cy, rows - 1 - cy});
  const auto scan = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= columns || y >= rows) return;
    const std::size_t c = static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) + x;
    for (std::uint32_t e = cellStart[c]; e < cellStart[c + 1]; ++e) consider(entries[e]);
  };
  for (int k = 0; k <= lastRing; ++k) {
    if ((k - 1) * cell > bestDistance + slack) break;
    if (k == 0) {
      scan(cx, cy);
      continue;
    }
    // Only the sides of the ring inside the grid: a long narrow grid has rings mostly outside it.
    const int x0 = std::max(cx - k, 0), x1 = std::min(cx + k, columns - 1);
    const int y0 = std::max(cy - k + 1, 0), y1 = std::min(cy + k - 1, rows - 1);
    for (const int y : {cy - k, cy + k}) {
      if (y < 0 || y >= rows) continue;
      for (int x = x0; x <= x1; ++x) scan(x, y);
    }
    for (const int x : {cx - k, cx + k}) {
      if (x < 0 || x >= columns) continue;
      for (int y = y0; y <= y1; ++y) scan(x, y);
    }
  }
  return best;
}
