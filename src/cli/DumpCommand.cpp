// velmora-cli dump: the interpreter seen from outside, one JSON object per block.
#include <cstdio>
#include <string>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "cli/Support.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncreader.hpp"
#include "util/Text.hpp"

namespace {

// An executed block of an evaluated program names the line (and file, when not the main one) it came from.
void appendSource(std::string& out, const kNcGeometry& g, int k) {
  if (!g.isEvaluated()) return;
  appendField(out, "line", g.sourceLineOf(k));
  appendSourceFile(out, g, k);
}

// Block k read at exactly that index: block 0 is the initial state, not the latest block.
void appendBlock(std::string& out, const kNcGeometry& g, int k) {
  out += "{\"block\":";
  out += std::to_string(k);
  out += ",\"text\":";
  appendJsonString(out, g.blockTextAt(k));
  appendField(out, "x", g.absX.get(k));
  appendField(out, "y", g.absY.get(k));
  appendField(out, "z", g.absZ.get(k));
  appendField(out, "cx", g.centreX.get(k));
  appendField(out, "cy", g.centreY.get(k));
  appendField(out, "r", g.arcRadius.get(k));
  appendField(out, "dia", g.toolDiameter.get(k));
  appendField(out, "state", g.commentStates.get(k));
  appendField(out, "motion", gNumberAt(g.groupMotion, k));
  appendField(out, "plane", gNumberAt(g.groupPlane, k));
  appendField(out, "distance", gNumberAt(g.groupDistance, k));
  const int comp = gNumberAt(g.groupCutterComp, k);
  appendField(out, "comp", comp == 40 ? 0 : comp);
  appendField(out, "cycle", gNumberAt(g.groupCycle, k));
  out += ",\"feed\":";
  appendJsonString(out, g.feedValueText(k));
  appendSource(out, g, k);
  out += "}\n";
}

}  // namespace

int runDump(const Args& args) {
  kNcGeometry geometry;
  ReadResult result;
  if (const int status = readProgramOf("dump", args, geometry, result); status != 0) return status;
  std::string out;
  for (int k = 0; k < geometry.blockCount; ++k) {
    appendBlock(out, geometry, k);
    if (out.size() > (1u << 20)) flushToStdout(out);
  }
  // A comment syntax error is data here: the summary reports it.
  out += "{\"summary\":{";
  appendSummaryFields(out, geometry, result);
  out += "}}\n";
  flushToStdout(out);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
