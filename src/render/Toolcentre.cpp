// The tool centre path over the drawing: the pieces compensation makes, in their own pen, drawn with the
// redraw and stepped with the blocks they belong to.
#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/Gpoint.hpp"
#include "render/Toolpath.hpp"
#include "toolpath/Compensation.hpp"

namespace {

// Dark green, dashed, so that the programmed contour (green, solid) stays visible under it.
constexpr std::uint32_t kToolCentreColor = 0x004000;

// A piece as it is drawn and picked: arcs outside XY are seen edge-on from above, as a segment.
DrawnMove drawnPiece(const CompPiece& piece) {
  DrawnMove move;
  move.from = kPoint(piece.sx, piece.sy);
  move.to = kPoint(piece.ex, piece.ey);
  move.arc = piece.isArc() && piece.plane == 17;
  if (move.arc) {
    const double r = std::hypot(piece.sx - piece.cx, piece.sy - piece.cy);
    move.circle.set(GPoint(kPoint(piece.cx, piece.cy)), piece.kind == PieceKind::arcCw ? -r : r);
    if (move.from != move.to) move.circle.setArc(move.from, move.to, 2);
  }
  return move;
}

// Whether p is farther than `radius` from every point of the piece as drawn, told by the box about its ends
// and, for an arc, its whole circle; a little slack keeps a piece on the border for the exact distance.
bool surelyFarther(const kPoint& p, const CompPiece& piece, double radius) {
  double minX = std::min(piece.sx, piece.ex), maxX = std::max(piece.sx, piece.ex);
  double minY = std::min(piece.sy, piece.ey), maxY = std::max(piece.sy, piece.ey);
  if (piece.isArc() && piece.plane == 17) {
    const double r = std::hypot(piece.sx - piece.cx, piece.sy - piece.cy);
    minX = std::min(minX, piece.cx - r), maxX = std::max(maxX, piece.cx + r);
    minY = std::min(minY, piece.cy - r), maxY = std::max(maxY, piece.cy + r);
  }
  const double reach = radius * (1 + 1e-6) + 1e-9;
  return p.x < minX - reach || p.x > maxX + reach || p.y < minY - reach || p.y > maxY + reach;
}

}  // namespace

void kToolPath::initToolCentrePen() { toolCentrePen.setPen(kWhite, kToolCentreColor, kDash, 1); }

const CompensatedPath& kToolPath::toolCentre() const {
  if (!toolCentreKnown) {
    toolCentrePieces = compensate(geometry, geometry.profile());
    toolCentreKnown = true;
  }
  return toolCentrePieces;
}

void kToolPath::setToolCentre(CompensatedPath computed) {
  toolCentrePieces = std::move(computed);
  toolCentreKnown = true;
}

void kToolPath::drawPiece(const CompPiece& p) {
  const DrawnMove move = drawnPiece(p);
  if (move.arc) {
    canvas.drawCircle(move.circle);
  } else if (move.from != move.to) {
    canvas.drawSegment(move.from, move.to);
  }
}

void kToolPath::drawToolCentre(int first, int last, bool erase) {
  if (!showToolCentre || first > last) return;
  const CompensatedPath& path = toolCentre();
  if (path.empty()) return;
  const GPen saved = canvas.penOf();
  canvas.usePen(toolCentrePen);
  if (erase) selectErasePen();
  for (auto it = path.firstFrom(first); it != path.pieces.end() && it->block <= last; ++it) drawPiece(*it);
  canvas.usePen(saved);
}

int kToolPath::nearestToolCentreBlock(const kPoint& p, double radius, double& distance) {
  if (!showToolCentre) return 0;
  int best = 0;
  for (const CompPiece& piece : toolCentre().pieces) {
    // Most pieces are far off: a box says so without building the arc.
    if (surelyFarther(p, piece, radius)) continue;
    const double d = distanceToMove(p, drawnPiece(piece));
    // The later piece wins a tie, as the later block does among the programmed moves.
    if (d <= radius && d <= distance) {
      distance = d;
      best = piece.block;
    }
  }
  return best;
}
