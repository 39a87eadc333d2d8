// velmora-cli path: the moves as the program makes them, one JSON object per move, for scripts and for
// comparing with other interpreters.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "cli/Support.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncprofile.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Text.hpp"

namespace {

bool isArcMotion(int motion) { return motion == 2 || motion == 3; }

// Block b moves: an arc (a whole circle ends where it starts), a hole of a drilling cycle, or a straight move
// whose end differs from the previous end.
bool moves(const kNcGeometry& g, int b, int motion) {
  if (isArcMotion(motion) && g.radiusAt(b) != 0) return true;
  if (g.inCycleAt(b)) return true;
  return g.absX.get(b) != g.absX.get(b - 1) || g.absY.get(b) != g.absY.get(b - 1) ||
         g.absZ.get(b) != g.absZ.get(b - 1);
}

// "block", "line" and, when the block comes from another file than the main one, "file".
void appendBlockAndLine(std::string& out, const kNcGeometry& g, int b) {
  out += "{\"block\":";
  out += std::to_string(b);
  appendField(out, "line", g.sourceLineOf(b));
  appendSourceFile(out, g, b);
}

// An arc's absolute centre, plane and turn.
void appendArc(std::string& out, double cx, double cy, double cz, int plane, bool clockwise) {
  appendField(out, "cx", cx);
  appendField(out, "cy", cy);
  appendField(out, "cz", cz);
  appendField(out, "plane", plane);
  out += clockwise ? ",\"turn\":\"cw\"" : ",\"turn\":\"ccw\"";
}

void appendMove(std::string& out, const kNcGeometry& g, int b) {
  const int motion = gNumberAt(g.groupMotion, b);
  const bool hole = g.inCycleAt(b);
  const bool arc = !hole && isArcMotion(motion) && g.radiusAt(b) != 0;
  appendBlockAndLine(out, g, b);
  appendField(out, "motion", hole ? gNumberAt(g.groupCycle, b) : (arc ? motion : (motion == 0 ? 0 : 1)));
  appendField(out, "x", g.absX.get(b));
  appendField(out, "y", g.absY.get(b));
  appendField(out, "z", g.absZ.get(b));
  if (arc) {
    const int plane = gNumberAt(g.groupPlane, b);
    // The centre's coordinate along the plane's normal is the start's.
    appendArc(out, plane == 19 ? g.absX.get(b - 1) : g.centreX.get(b),
              plane == 18 ? g.absY.get(b - 1) : g.centreY.get(b), plane == 17 ? g.absZ.get(b - 1) : g.centreZAt(b),
              plane, motion == 2);
  }
  out += "}\n";
}

// A piece of the tool centre path under compensation, in the fields of a move, with the side the tool keeps
// and whether the piece joins a corner.
void appendPiece(std::string& out, const kNcGeometry& g, const CompPiece& p) {
  appendBlockAndLine(out, g, p.block);
  const int motion = p.kind == PieceKind::rapid   ? 0
                     : p.kind == PieceKind::line  ? 1
                     : p.kind == PieceKind::arcCw ? 2
                                                  : 3;
  appendField(out, "motion", motion);
  appendField(out, "x", p.ex);
  appendField(out, "y", p.ey);
  appendField(out, "z", p.ez);
  if (p.isArc()) {
    appendArc(out, p.cx, p.cy, p.cz, static_cast<int>(p.plane), motion == 2);
  }
  if (p.side != CompSide::none) out += p.side == CompSide::left ? ",\"comp\":\"left\"" : ",\"comp\":\"right\"";
  if (p.corner) out += ",\"corner\":true";
  out += "}\n";
}

}  // namespace

int runPath(const Args& args) {
  kNcGeometry geometry;
  ReadResult result;
  if (const int status = readProgramOf("path", args, geometry, result); status != 0) return status;
  const CompensatedPath path = compensate(geometry, geometry.profile());
  std::string out;
  for (int b = 1; b < geometry.blockCount; ++b) {
    const auto pieces = path.piecesOf(b);
    for (const CompPiece& piece : pieces) appendPiece(out, geometry, piece);
    if (!pieces.empty() || !moves(geometry, b, gNumberAt(geometry.groupMotion, b))) continue;
    appendMove(out, geometry, b);
    if (out.size() > (1u << 20)) flushToStdout(out);
  }
  flushToStdout(out);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
