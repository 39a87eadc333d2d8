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
  const int file = g.sourceFileOf(k);
  if (file == 0 || file >= static_cast<int>(g.sourceFiles().size())) return;
  out += ",\"file\":";
  appendJsonString(out, fromUtf8(g.sourceFiles()[static_cast<std::size_t>(file)]));
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

void flush(std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

}  // namespace

int runDump(const Args& args) {
  std::string file;
  ProfileOptions profile;
  if (!parseFileAndProfile(args, file, profile)) {
    std::fprintf(stderr, "usage: velmora-cli dump %s FILE\n", kProfileUsage);
    return 1;
  }
  kNcGeometry geometry;
  geometry.setProfile(resolveProfile(profile, file));
  const ReadResult result = readNcFile(file, geometry);
  if (result.status != ReadResult::Status::Ok) {
    std::fprintf(stderr, "velmora-cli: %s\n", result.message.c_str());
    return 2;
  }
  std::string out;
  for (int k = 0; k < geometry.blockCount; ++k) {
    appendBlock(out, geometry, k);
    if (out.size() > (1u << 20)) flush(out);
  }
  // A comment syntax error is data here: the summary reports it.
  out += "{\"summary\":{";
  appendSummaryFields(out, geometry, result);
  out += "}}\n";
  flush(out);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
