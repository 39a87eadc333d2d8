// velmora-cli: the interpreter, the DXF writer and the renderer without a window (render runs velmora-render).
#include <cstdio>
#include <cstring>

#include "cli/Commands.hpp"

namespace {

constexpr const char* kUsage =
    "usage: velmora-cli dump [PROFILE] FILE\n"
    "       velmora-cli check [--format text|json] [--werror] [PROFILE] FILE...\n"
    "       velmora-cli dxf FILE.nc [-o OUT.dxf] [PROFILE]\n"
    "       velmora-cli stats [--rapid-rate UNITS_PER_MINUTE] [PROFILE] FILE\n"
    "       velmora-cli path [PROFILE] FILE\n"
    "       velmora-cli render OUT.png FILE [--size WxH] [--upto K] [--step K1,K2,...] [--trace FILE.jsonl]\n"
    "PROFILE: [--control strict|fanuc|haas|linuxcnc|grbl|mach3] [--config FILE|--no-config]\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  const Args args(argv + 2, argv + argc);
  const char* command = argv[1];
  if (std::strcmp(command, "dump") == 0) return runDump(args);
  if (std::strcmp(command, "check") == 0) return runCheck(args);
  if (std::strcmp(command, "dxf") == 0) return runDxf(args);
  if (std::strcmp(command, "render") == 0) return runRender(args);
  if (std::strcmp(command, "stats") == 0) return runStats(args);
  if (std::strcmp(command, "path") == 0) return runPath(args);
  std::fputs(kUsage, stderr);
  return 1;
}
