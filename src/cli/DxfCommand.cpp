// velmora-cli dxf (placeholder until the DXF writer lands).
#include "cli/Commands.hpp"

#include <cstdio>

int runDxf(const Args&) {
  std::fputs("velmora-cli dxf: not available yet\n", stderr);
  return 2;
}
