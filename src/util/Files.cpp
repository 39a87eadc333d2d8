// File and path chores: path parts, the executable's folder, text files as lines, backups and safe saving.
#include "util/Files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "util/Format.hpp"
#include "util/Text.hpp"

namespace {

constexpr int kMaxBackupNumber = 999999;
constexpr int kRenameAttempts = 20;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string describeErrno(std::string_view what, const std::string& path, int error) {
  std::string text(what);
  text += ' ';
  text += path;
  text += ": ";
  text += std::strerror(error);
  return text;
}

// Owns one file descriptor.
class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (a delayed write error shows up here).
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Anything at all under that name, a dangling link included.
bool pathTaken(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool readAll(int fd, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::vector<std::u16string> splitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// Renames without replacing an existing entry; errno EEXIST when `to` is taken.
bool renameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace flag: a hard link fails on a taken name just as well.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return true;
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return false;
  if (pathTaken(to)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

mode_t newFileMode(const std::string& target) {
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string folderOf(const std::string& path) {
  const PathParts parts = splitPath(path);
  return parts.drive + parts.folder;
}

void syncFolder(const std::string& path) {
  const std::string folder = folderOf(path);
  FileHandle dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

int makeTemporary(const std::string& target, std::string& tempPath) {
  tempPath = folderOf(target) + "." + fileNameOf(target) + ".tmp-XXXXXX";
  int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0 && errno == ENAMETOOLONG) {
    tempPath = folderOf(target) + ".velmora-XXXXXX";
    fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
  }
  return fd;
}

// Writes the complete new contents beside `target`, synced to disk; `tempPath` names it on success.
FileResult writeTemporary(const std::string& target, std::string_view bytes, std::string& tempPath) {
  FileHandle file(makeTemporary(target, tempPath));
  if (!file.valid()) return {false, describeErrno("cannot create a file beside", target, errno)};
  struct stat info {};
  int error = 0;
  if (::fchmod(file.get(), newFileMode(target)) != 0 || !writeAll(file.get(), bytes) || ::fsync(file.get()) != 0 ||
      ::fstat(file.get(), &info) != 0) {
    error = errno;
  } else if (static_cast<std::size_t>(info.st_size) != bytes.size()) {
    error = EIO;
  }
  if (!file.close() && error == 0) error = errno;
  if (error == 0) return {true, {}};
  ::unlink(tempPath.c_str());
  return {false, describeErrno("cannot write", target, error)};
}

}  // namespace

PathParts splitPath(std::string_view path) {
  PathParts parts;
  std::size_t pos = 0;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    parts.drive = path.substr(0, 2);
    pos = 2;
  }
  std::size_t nameStart = pos;
  for (std::size_t i = pos; i < path.size(); ++i) {
    if (isSeparator(path[i])) nameStart = i + 1;
  }
  parts.folder = path.substr(pos, nameStart - pos);
  const std::string_view file = path.substr(nameStart);
  const std::size_t dot = file.rfind('.');
  if (dot == std::string_view::npos) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.ext = file.substr(dot);
  }
  return parts;
}

std::string baseNameOf(std::string_view path) { return splitPath(path).name; }

std::string pathWithoutExt(std::string_view path) {
  const PathParts parts = splitPath(path);
  return parts.drive + parts.folder + parts.name;
}

std::string fileNameOf(std::string_view path) {
  const PathParts parts = splitPath(path);
  return parts.name + parts.ext;
}

std::string fileExtOf(std::string_view path) { return splitPath(path).ext; }

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::int64_t fileLength(const std::string& path) {
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file.valid() || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return static_cast<std::int64_t>(info.st_size);
}

bool deleteFile(const std::string& path) { return !isDirectory(path) && ::unlink(path.c_str()) == 0; }

FileResult createEmptyFile(const std::string& path) {
  FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!file.valid()) return {false, describeErrno("cannot create", path, errno)};
  if (!file.close()) return {false, describeErrno("cannot create", path, errno)};
  return {true, {}};
}

TextLines readFileLines(const std::string& path) {
  TextLines result;
  if (isDirectory(path)) {
    result.message = "cannot read " + path + ": it is a folder";
    return result;
  }
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  std::string bytes;
  if (!file.valid() || !readAll(file.get(), bytes)) {
    result.message = describeErrno("cannot read", path, errno);
    return result;
  }
  DecodedText decoded = decodeText(bytes);
  result.lines = splitLines(decoded.text);
  result.encoding = decoded.encoding;
  result.ok = true;
  return result;
}

bool appendFileLines(std::vector<std::u16string>& list, const std::string& path) {
  TextLines read = readFileLines(path);
  if (!read.ok) return false;
  list.insert(list.end(), std::make_move_iterator(read.lines.begin()), std::make_move_iterator(read.lines.end()));
  return true;
}

std::string executablePath() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(n));
  return path;
}

std::string executableFolder() { return folderOf(executablePath()); }

std::string settingsPathPart(int kind) {
  const PathParts parts = splitPath(executablePath());
  const std::string fileName = parts.name + ".INI";
  switch (kind) {
    case 0:
      return parts.drive + parts.folder + fileName;
    case 1:
      return parts.drive;
    case 2:
      return parts.folder;
    case 3:
      return fileName;
    default:
      return {};
  }
}

std::string backupNameFor(const std::string& path) {
  const std::string stem = pathWithoutExt(path) + "_old";
  const std::string ext = fileExtOf(path);
  for (int n = 0; n <= kMaxBackupNumber; ++n) {
    const std::string candidate = n == 0 ? stem + ext : stem + "-" + toUtf8(formatInt(n, 2)) + ext;
    if (!pathTaken(candidate)) return candidate;
  }
  return {};
}

SaveResult moveToBackup(const std::string& path) {
  if (!pathTaken(path)) return {false, {}, "cannot keep " + path + " as a backup: there is no such file"};
  // Another program may take the chosen name between the look and the rename: then try the next one.
  for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
    const std::string backup = backupNameFor(path);
    if (backup.empty()) return {false, {}, "cannot keep " + path + " as a backup: no free backup name"};
    if (renameNoReplace(path, backup)) return {true, backup, {}};
    if (errno != EEXIST) return {false, {}, "cannot move " + path + " to " + backup + ": " + std::strerror(errno)};
  }
  return {false, {}, "cannot keep " + path + " as a backup: every backup name was taken meanwhile"};
}

FileResult writeFileAtomically(const std::string& path, std::string_view bytes) {
  if (isDirectory(path)) return {false, "cannot write " + path + ": it is a folder"};
  std::string tempPath;
  FileResult written = writeTemporary(path, bytes, tempPath);
  if (!written.ok) return written;
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(tempPath.c_str());
    return {false, describeErrno("cannot write", path, error)};
  }
  syncFolder(path);
  return {true, {}};
}

SaveResult saveWithBackup(const std::string& path, std::string_view bytes) {
  if (isDirectory(path)) return {false, {}, "cannot write " + path + ": it is a folder"};
  // The new contents are complete on disk before the old file is touched, so a full disk or a
  // write-protected folder leaves everything as it was.
  std::string tempPath;
  const FileResult written = writeTemporary(path, bytes, tempPath);
  if (!written.ok) return {false, {}, written.message};
  std::string backupPath;
  if (pathTaken(path)) {
    SaveResult moved = moveToBackup(path);
    if (!moved.ok) {
      ::unlink(tempPath.c_str());
      return {false, {}, moved.message + "; nothing was written"};
    }
    backupPath = moved.backupPath;
  }
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(tempPath.c_str());
    if (!backupPath.empty() && renameNoReplace(backupPath, path)) backupPath.clear();
    std::string message = describeErrno("cannot write", path, error);
    if (!backupPath.empty()) message += "; the previous file is kept as " + backupPath;
    return {false, backupPath, message};
  }
  syncFolder(path);
  return {true, backupPath, {}};
}

bool isSameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::optional<std::string> readUtf8File(const std::string& path) {
  if (isDirectory(path)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  return bytes;
}
