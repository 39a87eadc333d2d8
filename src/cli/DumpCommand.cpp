// velmora-cli dump / check: the interpreter seen from outside, one JSON object per block.
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/Commands.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncreader.hpp"
#include "util/Utility.hpp"

namespace {

void appendJsonString(std::string& out, std::u16string_view text) {
  out += '"';
  for (char c : toUtf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

// Reals in shortest round-trip form; JSON has no infinity or NaN.
void appendReal(std::string& out, double value) { out += std::isfinite(value) ? shortestReal(value) : "null"; }

void appendField(std::string& out, const char* key, double value) {
  out += ",\"";
  out += key;
  out += "\":";
  appendReal(out, value);
}

void appendField(std::string& out, const char* key, int value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += std::to_string(value);
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
  out += "}\n";
}

void appendSummary(std::string& out, const kNcGeometry& g, const ReadResult& result) {
  out += "{\"summary\":{\"blocks\":";
  out += std::to_string(g.blockCount);
  appendField(out, "minX", g.minX);
  appendField(out, "maxX", g.maxX);
  appendField(out, "minY", g.minY);
  appendField(out, "maxY", g.maxY);
  appendField(out, "minZ", g.minZ);
  appendField(out, "maxZ", g.maxZ);
  out += ",\"error\":";
  if (result.syntaxErrorLine > 0) {
    out += "{\"line\":" + std::to_string(result.syntaxErrorLine) + ",\"message\":";
    appendJsonString(out, kCommentSyntaxError);
    out += "}";
  } else {
    out += "null";
  }
  out += "}}\n";
}

void flush(std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

int run(const Args& args, bool everyBlock) {
  if (args.size() != 1) {
    std::fputs(everyBlock ? "usage: velmora-cli dump FILE\n" : "usage: velmora-cli check FILE\n", stderr);
    return 1;
  }
  kNcGeometry geometry(u"(", u")", u"", u"", u"", u"");
  const ReadResult result = readNcFile(args[0], geometry);
  if (result.status != ReadResult::Status::Ok) {
    std::fprintf(stderr, "velmora-cli: %s\n", result.message.c_str());
    return 2;
  }
  std::string out;
  if (everyBlock) {
    for (int k = 0; k < geometry.blockCount; ++k) {
      appendBlock(out, geometry, k);
      if (out.size() > (1u << 20)) flush(out);
    }
  }
  appendSummary(out, geometry, result);
  flush(out);
  return std::fflush(stdout) == 0 ? 0 : 2;
}

}  // namespace

int runDump(const Args& args) { return run(args, true); }
int runCheck(const Args& args) { return run(args, false); }
