// What the commands that need a whole program share.
#include "cli/Support.hpp"

#include <cstdio>
#include <mutex>
#include <set>

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

bool takeProfileOption(const Args& args, std::size_t& i, ProfileOptions& options, std::string& error) {
  const std::string& arg = args[i];
  const bool hasValue = i + 1 < args.size();
  if (arg == "--no-config") {
    options.noConfig = true;
  } else if ((arg == "--config" && hasValue) || arg.starts_with("--config=")) {
    options.configFile = arg == "--config" ? args[++i] : arg.substr(9);
  } else if ((arg == "--control" && hasValue) || arg.starts_with("--control=")) {
    const std::string name = arg == "--control" ? args[++i] : arg.substr(10);
    options.control = controlNamed(name);
    if (!options.control) error = "unknown control \"" + name + "\": strict, fanuc, haas, linuxcnc, grbl or mach3";
  } else {
    return false;
  }
  return true;
}

namespace {

// A file's notes are told once, however many programs of a run it serves.
void tellNotes(const ControlProfile& profile) {
  static std::mutex mutex;
  static std::set<std::string> told;
  const std::lock_guard lock(mutex);
  if (profile.notes.empty() || !told.insert(profile.sourceFile).second) return;
  std::fflush(stdout);
  for (const ProfileNote& note : profile.notes) {
    const std::string line = note.line > 0 ? ":" + std::to_string(note.line) : "";
    std::fprintf(stderr, "%s%s: warning: %s\n", note.file.c_str(), line.c_str(), note.message.c_str());
  }
}

}  // namespace

ControlProfile resolveProfile(const ProfileOptions& options, const std::string& path) {
  std::string file = options.configFile;
  if (file.empty() && !options.noConfig) file = findProfileFile(path);
  if (file.empty()) return defaultProfile(options.control.value_or(Control::strict));
  ControlProfile profile = loadProfileFile(file, options.control);
  tellNotes(profile);
  return profile;
}

bool parseFileAndProfile(const Args& args, std::string& file, ProfileOptions& options) {
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (takeProfileOption(args, i, options, error)) {
      if (!error.empty()) return false;
    } else if (file.empty() && !args[i].empty() && (args[i][0] != '-' || args[i] == "-")) {
      file = args[i];
    } else {
      return false;
    }
  }
  return !file.empty();
}

int readProgramOf(const char* command, const Args& args, kNcGeometry& geometry, ReadResult& result) {
  std::string file;
  ProfileOptions profile;
  if (!parseFileAndProfile(args, file, profile)) {
    std::fprintf(stderr, "usage: velmora-cli %s %s FILE\n", command, kProfileUsage);
    return 1;
  }
  geometry.setProfile(resolveProfile(profile, file));
  result = readNcFile(file, geometry);
  if (result.status == ReadResult::Status::Ok) return 0;
  std::fprintf(stderr, "velmora-cli: %s\n", result.message.c_str());
  return 2;
}
