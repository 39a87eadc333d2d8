// Telling a program's text from what only shares its file name extension.
#include "util/Filekind.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>

#include "util/Encoding.hpp"

namespace {

struct Signature {
  std::string_view bytes;
  FileKind kind;
};
// Classic, 64-bit offset and 64-bit data NetCDF; the HDF5 superblock (NetCDF-4 files are HDF5 files).
constexpr std::array kSignatures{
    Signature{std::string_view("CDF\x01", 4), FileKind::NetCdf},
    Signature{std::string_view("CDF\x02", 4), FileKind::NetCdf},
    Signature{std::string_view("CDF\x05", 4), FileKind::NetCdf},
    Signature{std::string_view("\x89HDF\r\n\x1a\n", 8), FileKind::Hdf5},
};

// Bytes a text never has. Tab, line breaks, form feed and the old end-of-file mark (0x1A) occur in programs
// punched or sent over serial lines; 0x80 and above are Shift-JIS or UTF-8.
bool isControlByte(unsigned char byte) {
  if (byte == 0x7f) return true;
  if (byte >= 0x20) return false;
  return byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' && byte != '\r' && byte != 0x1a;
}

// Compressed or machine data spread over all byte values has about 11 % control bytes; any text has next to
// none. A sixteenth lies safely between.
constexpr std::size_t kBinaryShareDivisor = 16;

FileVerdict verdict(FileKind kind, const std::string& path) { return {kind, refusalMessage(kind, path)}; }

class FileHandle {
 public:
  explicit FileHandle(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool isOpen() const { return fd >= 0; }
  // Up to `count` bytes from the start; nothing when reading fails.
  std::optional<std::string> readHead(std::size_t count) const {
    std::string head(count, '\0');
    std::size_t got = 0;
    while (got < count) {
      const ssize_t n = ::read(fd, head.data() + got, count - got);
      if (n < 0) return std::nullopt;
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return head;
  }

 private:
  int fd;
};

}  // namespace

FileKind contentKindOf(std::string_view head) {
  for (const Signature& signature : kSignatures)
    if (head.starts_with(signature.bytes)) return signature.kind;
  // Two-byte texts are half zero bytes; their byte-order mark tells them.
  if (const TextEncoding marked = encodingByMark(head);
      marked == TextEncoding::Utf16LeBom || marked == TextEncoding::Utf16BeBom)
    return FileKind::Text;
  const std::string_view sample = head.substr(0, kKindSampleBytes);
  const auto controls = static_cast<std::size_t>(std::count_if(
      sample.begin(), sample.end(), [](char c) { return isControlByte(static_cast<unsigned char>(c)); }));
  return controls * kBinaryShareDivisor > sample.size() ? FileKind::Binary : FileKind::Text;
}

std::string refusalMessage(FileKind kind, const std::string& path) {
  switch (kind) {
    case FileKind::Text:
      return {};
    case FileKind::Missing:
      return "No such file: " + path;
    case FileKind::Folder:
      return "Is a folder, not a file: " + path;
    case FileKind::Unreadable:
      return "No Open " + path;
    case FileKind::Binary:
      return "Not a text file (binary data), not read: " + path;
    case FileKind::NetCdf:
      return "A NetCDF data file, not an NC program, not read: " + path;
    case FileKind::Hdf5:
      return "An HDF5 data file, not an NC program, not read: " + path;
  }
  return {};
}

FileVerdict judgeProgramFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return verdict(FileKind::Missing, path);
  if (S_ISDIR(info.st_mode)) return verdict(FileKind::Folder, path);
  // A pipe or a device may never end or never answer: the reading that follows decides about them.
  if (!S_ISREG(info.st_mode)) return {};
  const FileHandle file(path);
  const std::optional<std::string> head = file.isOpen() ? file.readHead(kKindSampleBytes) : std::nullopt;
  if (!head) return verdict(FileKind::Unreadable, path);
  return verdict(contentKindOf(*head), path);
}
