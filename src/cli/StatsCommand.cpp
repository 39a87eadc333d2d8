// velmora-cli stats: the figures of a program (extents, path lengths, estimated time, tools) as one JSON
// object, the same figures the window's status line shows (feeds along the tool centre under compensation).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/Json.hpp"
#include "cli/Support.hpp"
#include "nc/Ncfigures.hpp"
#include "nc/Ncreader.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Text.hpp"

namespace {

constexpr const char* kStatsUsage =
    "usage: velmora-cli stats [--rapid-rate UNITS_PER_MINUTE] [--control NAME] [--config FILE|--no-config] FILE\n";
// Lengths and times to a thousandth: finer digits are noise of the arc arithmetic.
constexpr double kFiguresResolution = 1000;

struct StatsOptions {
  double rapidRate = kDefaultRapidRate;
  std::string file;
  ProfileOptions profile;
};

bool parseOptions(const Args& args, StatsOptions& options) {
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (takeProfileOption(args, i, options.profile, error)) {
      if (!error.empty()) return false;
    } else if (args[i] == "--rapid-rate" && i + 1 < args.size()) {
      char* end = nullptr;
      options.rapidRate = std::strtod(args[++i].c_str(), &end);
      if (*end != '\0' || !(options.rapidRate > 0) || !std::isfinite(options.rapidRate)) return false;
    } else if (options.file.empty() && !args[i].empty() && (args[i][0] != '-' || args[i] == "-")) {
      options.file = args[i];
    } else {
      return false;
    }
  }
  return !options.file.empty();
}

double rounded(double value) { return std::round(value * kFiguresResolution) / kFiguresResolution; }

void appendExtent(std::string& out, const char* key, double value, bool moves) {
  if (moves) {
    appendField(out, key, rounded(value));
    return;
  }
  out += ",\"";
  out += key;
  out += "\":null";
}

std::string figuresJson(const std::string& file, const kNcGeometry& g, const ProgramFigures& f, double rapidRate) {
  std::string out = "{\"file\":";
  appendJsonString(out, fromUtf8(file));
  appendField(out, "blocks", g.blockCount);
  appendExtent(out, "minX", f.minX, f.moves);
  appendExtent(out, "maxX", f.maxX, f.moves);
  appendExtent(out, "minY", f.minY, f.moves);
  appendExtent(out, "maxY", f.maxY, f.moves);
  appendExtent(out, "minZ", f.minZ, f.moves);
  appendExtent(out, "maxZ", f.maxZ, f.moves);
  appendField(out, "feedLength", rounded(f.feedLength));
  appendField(out, "rapidLength", rounded(f.rapidLength));
  appendField(out, "rapidRate", rapidRate);
  appendField(out, "feedSeconds", rounded(f.feedSeconds));
  appendField(out, "rapidSeconds", rounded(f.rapidSeconds));
  appendField(out, "dwellSeconds", rounded(f.dwellSeconds));
  appendField(out, "totalSeconds", rounded(f.totalSeconds()));
  appendField(out, "untimedFeedMoves", f.untimedFeedMoves);
  out += ",\"tools\":[";
  for (std::size_t i = 0; i < f.tools.size(); ++i) out += (i ? "," : "") + std::to_string(f.tools[i]);
  out += "]}\n";
  return out;
}

}  // namespace

int runStats(const Args& args) {
  StatsOptions options;
  if (!parseOptions(args, options)) {
    std::fputs(kStatsUsage, stderr);
    return 1;
  }
  kNcGeometry geometry;
  geometry.setProfile(resolveProfile(options.profile, options.file));
  ReadOptions reading;
  reading.refuseNonText = true;
  if (!readWholeProgram("stats", options.file, geometry, reading)) return 2;
  // Where compensation offsets the tool, its centre's path is what the feed travels.
  const std::vector<BlockLength> centre = toolCentreLengths(compensate(geometry, geometry.profile()));
  const std::string out =
      figuresJson(options.file, geometry, programFigures(geometry, options.rapidRate, centre), options.rapidRate);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 2;
}
