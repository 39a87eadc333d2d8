// The commands of velmora-cli. Each returns the process exit status: 0 success, 1 wrong usage, 2 failure;
// check also 3 when a program has an error.
#pragma once

#include <string>
#include <vector>

using Args = std::vector<std::string>;

int runDump(const Args& args);
int runCheck(const Args& args);
int runDxf(const Args& args);
int runRender(const Args& args);
int runStats(const Args& args);
int runPath(const Args& args);
