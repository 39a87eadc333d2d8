// velmora-cli render (placeholder until the renderer lands).
#include "cli/Commands.hpp"

#include <cstdio>

int runRender(const Args&) {
  std::fputs("velmora-cli render: not available yet\n", stderr);
  return 2;
}
