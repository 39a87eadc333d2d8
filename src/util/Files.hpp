// File and path chores of the program: taking paths apart, the executable's folder and settings file, reading
// text files into lines, and saving files so that a failure never costs the previous version.
//
// Paths are UTF-8 std::string (Linux file names). Nothing here shows a message: failures come back as results
// whose message names the path, and the window decides how to show them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/Encoding.hpp"

struct PathParts {
  std::string drive;   // "X:" when the path starts with a letter and a colon, else ""
  std::string folder;  // up to and including the last '\' or '/', else ""
  std::string name;    // the file name without its extension
  std::string ext;     // from the last '.' of the file name, dot included, else ""
};

// The outcome of a file operation; `message` says what failed and names the path.
struct FileResult {
  bool ok = false;
  std::string message;
};

// The outcome of moving a file aside or saving over it. `backupPath` is where the previous version went
// ("" when there was none to keep).
struct SaveResult {
  bool ok = false;
  std::string backupPath;
  std::string message;
};

struct TextLines {
  bool ok = false;
  std::vector<std::u16string> lines;
  TextEncoding encoding = TextEncoding::ShiftJis;
  std::string message;
};

PathParts splitPath(std::string_view path);
std::string baseNameOf(std::string_view path);
std::string pathWithoutExt(std::string_view path);
// The part after the last '\', '/' or ':'.
std::string fileNameOf(std::string_view path);
std::string fileExtOf(std::string_view path);

bool isDirectory(const std::string& path);
// True for an existing entry that is not a folder.
bool fileExists(const std::string& path);
// Both paths name one existing file (the same inode), whatever their spelling.
bool isSameFile(const std::string& a, const std::string& b);
// Size in bytes, or -1 when the file cannot be read.
std::int64_t fileLength(const std::string& path);
bool deleteFile(const std::string& path);
// Creates the file, or empties it when it exists.
FileResult createEmptyFile(const std::string& path);

// The bytes of a UTF-8 text file without its byte-order mark; nothing for a folder or a file that cannot be read.
std::optional<std::string> readUtf8File(const std::string& path);
// The lines of a text file (breaks CR, LF or CR LF), decoded from Shift-JIS unless a byte-order mark says
// otherwise. A break at the very end does not start another line.
TextLines readFileLines(const std::string& path);
// Appends the lines of an existing file to `list`; false (list unchanged) when it cannot be read.
bool appendFileLines(std::vector<std::u16string>& list, const std::string& path);

// The running executable's full path ("" if unknown), and its folder ending with '/'.
std::string executablePath();
std::string executableFolder();
// The settings file beside the executable, named like it with ".INI": kind 0 full path, 1 drive, 2 folder,
// 3 file name; any other kind "".
std::string settingsPathPart(int kind);

// The first free name of stem + "_old" + ext, stem + "_old-01" + ext, -02, ... for `path`.
std::string backupNameFor(const std::string& path);
// Renames `path` to its backup name without ever replacing another file.
SaveResult moveToBackup(const std::string& path);
// Writes `bytes` to a temporary file beside `path`, syncs it and renames it over `path`. On failure `path`
// is as it was and the temporary file is gone.
FileResult writeFileAtomically(const std::string& path, std::string_view bytes);
// Keeps an existing `path` under its backup name, then writes `bytes` to `path`. When the old file cannot
// be kept or the new one cannot be written, the old file stays where it was and nothing new is written.
SaveResult saveWithBackup(const std::string& path, std::string_view bytes);
