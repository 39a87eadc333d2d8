// What the commands that need a whole program share: reading it, and reporting a failure.
#pragma once

#include <string>

#include "nc/Ncgeometry.hpp"
#include "nc/Ncreader.hpp"

// Prints "velmora-cli COMMAND: MESSAGE" on stderr and gives the failure exit status.
int commandFailure(const std::string& command, const std::string& message);
// Reads the program at `path`; false (with the reason printed) when it cannot be read or has a comment syntax
// error, which would leave it incomplete.
bool readWholeProgram(const std::string& command, const std::string& path, kNcGeometry& geometry,
                      const ReadOptions& options = {});
