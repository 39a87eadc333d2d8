// velmora-cli render: the drawing needs Qt, which the other commands do without, so it is velmora-render, from
// the folder of this executable, that draws; it gets the same arguments and gives the same output and exit
// status. Wrong usage is told here, without starting it.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.hpp"
#include "cli/RenderOptions.hpp"
#include "cli/Support.hpp"

namespace {

constexpr const char* kRenderProgram = "velmora-render";

// The folder of the running executable, with its trailing '/'; "" when it cannot be told.
std::string ownFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  const std::string self(path, static_cast<std::size_t>(length));
  return self.substr(0, self.rfind('/') + 1);
}

}  // namespace

int runRender(const Args& args) {
  RenderOptions options;
  if (!parseRenderOptions(args, options)) {
    std::fputs(kRenderUsage, stderr);
    return 1;
  }
  const std::string program = ownFolder() + kRenderProgram;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  ::execv(program.c_str(), argv.data());
  return commandFailure("render", "cannot run " + program + ": " + std::strerror(errno));
}
