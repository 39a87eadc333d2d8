// What the commands that need a whole program share: reading it, and reporting a failure.
#pragma once

#include <optional>
#include <string>

#include "cli/Commands.hpp"
#include "nc/Ncgeometry.hpp"
#include "nc/Ncprofile.hpp"
#include "nc/Ncreader.hpp"

// Prints "velmora-cli COMMAND: MESSAGE" on stderr and gives the failure exit status.
int commandFailure(const std::string& command, const std::string& message);
// Reads the program at `path`; false (with the reason printed) when it cannot be read or has a comment syntax
// error, which would leave it incomplete.
bool readWholeProgram(const std::string& command, const std::string& path, kNcGeometry& geometry,
                      const ReadOptions& options = {});

// The options that choose a control profile, which every command reading a program takes.
struct ProfileOptions {
  std::optional<Control> control;  // --control NAME
  std::string configFile;          // --config FILE
  bool noConfig = false;           // --no-config
};
inline constexpr const char* kProfileUsage = "[--control NAME] [--config FILE|--no-config]";

// Takes args[i] (and its value, advancing i) when it is a profile option; `error` tells a wrong one.
bool takeProfileOption(const Args& args, std::size_t& i, ProfileOptions& options, std::string& error);
// The profile for the program at `path`: --config's file, else unless --no-config the .velmora.ini of the
// program's folder or the nearest above; --control wins over the file's control. The file's notes are
// written on stderr as warnings naming the file and line, once per file a run reads.
ControlProfile resolveProfile(const ProfileOptions& options, const std::string& path);
// Parses a command line of profile options and one FILE; false for anything else.
bool parseFileAndProfile(const Args& args, std::string& file, ProfileOptions& options);
// For the commands whose arguments are profile options and one FILE: reads it into `geometry` with its
// profile. The exit status: 0 read, 1 wrong usage, 2 the file cannot be read (each said on stderr).
int readProgramOf(const char* command, const Args& args, kNcGeometry& geometry, ReadResult& result);
