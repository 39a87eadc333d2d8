// velmora-cli dxf: reads an NC program and writes its DXF drawing beside it (or where -o says), keeping an
// existing DXF file under its backup name.

#include <cstdio>
#include <optional>
#include <string>

#include "cli/Commands.hpp"
#include "cli/Support.hpp"
#include "dxf/DxfExport.hpp"
#include "nc/Ncprofile.hpp"
#include "toolpath/Compensation.hpp"
#include "util/Files.hpp"

namespace {

constexpr const char* kDxfUsage =
    "usage: velmora-cli dxf FILE.nc [-o OUT.dxf] [--templates FOLDER] [--tool-centre] [--control NAME]\n"
    "                       [--config FILE|--no-config]\n";

struct DxfOptions {
  std::string input;
  std::string output;
  std::string templates;
  ProfileOptions profile;
  bool toolCentre = false;
};

bool parseOptions(const Args& args, DxfOptions& options) {
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (takeProfileOption(args, i, options.profile, error)) {
      if (!error.empty()) return false;
    } else if (arg == "-o" && hasValue) {
      options.output = args[++i];
    } else if (arg == "--templates" && hasValue) {
      options.templates = args[++i];
    } else if (arg == "--tool-centre") {
      options.toolCentre = true;
    } else if (!arg.empty() && arg[0] != '-' && options.input.empty()) {
      options.input = arg;
    } else {
      return false;
    }
  }
  return !options.input.empty();
}

int fail(const std::string& message) { return commandFailure("dxf", message); }

}  // namespace

int runDxf(const Args& args) {
  DxfOptions options;
  if (!parseOptions(args, options)) {
    std::fputs(kDxfUsage, stderr);
    return 1;
  }
  kNcGeometry geometry;
  geometry.setProfile(resolveProfile(options.profile, options.input));
  if (!readWholeProgram("dxf", options.input, geometry)) return 2;
  const std::string dxfPath = options.output.empty() ? dxfPathFor(options.input) : options.output;
  if (isSameFile(dxfPath, options.input)) return fail("the DXF file would replace the NC file " + options.input);
  std::optional<CompensatedPath> toolCentre;
  if (options.toolCentre) toolCentre = compensate(geometry, geometry.profile());
  const SaveResult saved = exportDxf(geometry, dxfPath, options.templates, toolCentre ? &*toolCentre : nullptr);
  if (!saved.ok) return fail(saved.message);
  std::printf("%s\nDXF_File saved successfully.\n", dxfPath.c_str());
  if (!saved.backupPath.empty())
    std::fprintf(stderr, "The previous file was kept as %s\n", saved.backupPath.c_str());
  return 0;
}
