// velmora-cli path: the moves as the program makes them, one JSON object per move, for scripts and for
// comparing with other interpreters.
#include <cstdio>
#include <string>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncprofile.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"

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

void appendMove(std::string& out, const kNcGeometry& g, int b) {
  const int motion = gNumberAt(g.groupMotion, b);
  const bool hole = g.inCycleAt(b);
  const bool arc = !hole && isArcMotion(motion) && g.radiusAt(b) != 0;
  out += "{\"block\":";
  out += std::to_string(b);
  appendField(out, "line", b);
  appendField(out, "motion", hole ? gNumberAt(g.groupCycle, b) : (arc ? motion : (motion == 0 ? 0 : 1)));
  appendField(out, "x", g.absX.get(b));
  appendField(out, "y", g.absY.get(b));
  appendField(out, "z", g.absZ.get(b));
  if (arc) {
    const int plane = gNumberAt(g.groupPlane, b);
    // The centre's coordinate along the plane's normal is the start's.
    appendField(out, "cx", plane == 19 ? g.absX.get(b - 1) : g.centreX.get(b));
    appendField(out, "cy", plane == 18 ? g.absY.get(b - 1) : g.centreY.get(b));
    appendField(out, "cz", plane == 17 ? g.absZ.get(b - 1) : g.centreZAt(b));
    appendField(out, "plane", plane);
    out += motion == 2 ? ",\"turn\":\"cw\"" : ",\"turn\":\"ccw\"";
  }
  out += "}\n";
}

// A piece of the tool centre path under compensation, in the fields of a move, with the side the tool keeps
// and whether the piece joins a corner.
void appendPiece(std::string& out, const CompPiece& p) {
  out += "{\"block\":";
  out += std::to_string(p.block);
  appendField(out, "line", p.block);
  const int motion = p.kind == PieceKind::rapid   ? 0
                     : p.kind == PieceKind::line  ? 1
                     : p.kind == PieceKind::arcCw ? 2
                                                  : 3;
  appendField(out, "motion", motion);
  appendField(out, "x", p.ex);
  appendField(out, "y", p.ey);
  appendField(out, "z", p.ez);
  if (p.isArc()) {
    appendField(out, "cx", p.cx);
    appendField(out, "cy", p.cy);
    appendField(out, "cz", p.cz);
    appendField(out, "plane", static_cast<int>(p.plane));
    out += motion == 2 ? ",\"turn\":\"cw\"" : ",\"turn\":\"ccw\"";
  }
  if (p.side != CompSide::none) out += p.side == CompSide::left ? ",\"comp\":\"left\"" : ",\"comp\":\"right\"";
  if (p.corner) out += ",\"corner\":true";
  out += "}\n";
}

void flush(std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

// The control named by `--control NAME` before the file, which decides the corners of compensation.
bool parsePathArgs(const Args& args, ControlProfile& profile, std::string& file) {
  std::size_t i = 0;
  if (args.size() == 3 && args[0] == "--control") {
    const std::optional<Control> control = controlNamed(args[1]);
    if (!control) return false;
    profile = defaultProfile(*control);
    i = 2;
  }
  if (args.size() != i + 1) return false;
  file = args[i];
  return true;
}

}  // namespace

int runPath(const Args& args) {
  ControlProfile profile;
  std::string file;
  if (!parsePathArgs(args, profile, file)) {
    std::fputs("usage: velmora-cli path [--control NAME] FILE\n", stderr);
    return 1;
  }
  kNcGeometry geometry;
  const ReadResult result = readNcFile(file, geometry);
  if (result.status != ReadResult::Status::Ok) {
    std::fprintf(stderr, "velmora-cli: %s\n", result.message.c_str());
    return 2;
  }
  const CompensatedPath path = compensate(geometry, profile);
  std::string out;
  for (int b = 1; b < geometry.blockCount; ++b) {
    const auto pieces = path.piecesOf(b);
    for (const CompPiece& piece : pieces) appendPiece(out, piece);
    if (!pieces.empty() || !moves(geometry, b, gNumberAt(geometry.groupMotion, b))) continue;
    appendMove(out, geometry, b);
    if (out.size() > (1u << 20)) flush(out);
  }
  flush(out);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
