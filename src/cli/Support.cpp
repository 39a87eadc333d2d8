// What the commands that need a whole program share.
#include "cli/Support.hpp"

#include <cstdio>

#include "nc/Ncreader.hpp"

int commandFailure(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "velmora-cli %s: %s\n", command.c_str(), message.c_str());
  return 2;
}

bool readWholeProgram(const std::string& command, const std::string& path, kNcGeometry& geometry,
                      const ReadOptions& options) {
  const ReadResult read = readNcFile(path, geometry, {}, options);
  if (read.status != ReadResult::Status::Ok) {
    commandFailure(command, read.message.empty() ? "cannot read " + path : read.message);
    return false;
  }
  if (read.syntaxErrorLine != 0) {
    commandFailure(command, path + ": comment syntax error in line " + std::to_string(read.syntaxErrorLine));
    return false;
  }
  return true;
}
