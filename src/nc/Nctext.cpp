// The text of one NC program: the file's bytes, read once, and an index of its editor lines.
#include "nc/Nctext.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "util/Filekind.hpp"
#include "util/Text.hpp"

// The bytes of a file, read into memory of the program's own. Not mapped: a mapped file that another program
// truncates while it is open would crash the next read of a line past its new end.
struct kNcText::FileBytes {
  FileBytes() = default;
  FileBytes(int fd, std::size_t expectedSize) { ok = readAll(fd, expectedSize); }

  std::string_view bytes() const { return copy; }

  // Pipes and special files report no size: they are read in pieces to their end.
  bool readAll(int fd, std::size_t expectedSize) {
    std::size_t filled = 0;
    copy.resize(std::max<std::size_t>(expectedSize, 1 << 16));
    for (;;) {
      if (filled == copy.size()) copy.resize(copy.size() * 2);
      const ssize_t n = ::read(fd, copy.data() + filled, copy.size() - filled);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      filled += static_cast<std::size_t>(n);
    }
    copy.resize(filled);
    copy.shrink_to_fit();
    return true;
  }

  std::string copy;
  bool ok = true;
};

namespace {

kNcText::OpenResult failure(kNcText::Status status, std::string message) { return {status, std::move(message)}; }

}  // namespace

kNcText::kNcText() = default;
kNcText::~kNcText() = default;

void kNcText::clear() {
  fileBytes.reset();
  wide.clear();
  wide.shrink_to_fit();
  wideStored = false;
  index.starts.clear();
  index.longest = 0;
  indexed = false;
  encoding_ = TextEncoding::ShiftJis;
  lineBreak_ = LineBreak::Lf;
}

kNcText::OpenResult kNcText::open(const std::string& path) {
  clear();
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return failure(Status::NotFound, refusalMessage(FileKind::Missing, path));
  if (S_ISDIR(info.st_mode)) return failure(Status::IsFolder, refusalMessage(FileKind::Folder, path));
  const auto unreadable = [&path](int error) {
    return failure(Status::OpenFailed,
                   refusalMessage(FileKind::Unreadable, path) + " (" + std::strerror(error) + ")");
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return unreadable(errno);
  struct stat opened {};
  const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
  auto read = std::make_unique<FileBytes>(fd, regular ? static_cast<std::size_t>(opened.st_size) : 0);
  const int error = errno;
  ::close(fd);
  if (!read->ok) return unreadable(error);
  takeBytes(std::move(read));
  return {};
}

void kNcText::setBytes(std::string bytes) {
  clear();
  auto held = std::make_unique<FileBytes>();
  held->copy = std::move(bytes);
  takeBytes(std::move(held));
}

void kNcText::takeBytes(std::unique_ptr<FileBytes> held) {
  fileBytes = std::move(held);
  const std::string_view all = fileBytes->bytes();
  encoding_ = encodingByMark(all);
  if (encoding_ == TextEncoding::Utf16LeBom || encoding_ == TextEncoding::Utf16BeBom) {
    // Two-byte texts are rare: they are decoded once and kept decoded.
    wide = decodeText(all).text;
    wideStored = true;
    fileBytes.reset();
    findLineBreak(std::u16string_view(wide));
  } else {
    findLineBreak(bytes());
  }
}

void kNcText::setText(std::u16string text, TextEncoding encoding, LineBreak lineBreak) {
  clear();
  wide = std::move(text);
  wideStored = true;
  encoding_ = encoding;
  lineBreak_ = lineBreak;
}

std::string_view kNcText::bytes() const {
  if (!fileBytes) return {};
  const std::string_view all = fileBytes->bytes();
  return encoding_ == TextEncoding::Utf8Bom ? all.substr(3) : all;
}

template <typename Char>
void kNcText::findLineBreak(std::basic_string_view<Char> text) {
  lineBreak_ = LineBreak::Lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != Char('\n') && text[i] != Char('\r')) continue;
    if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) lineBreak_ = LineBreak::CrLf;
    return;
  }
}

const kNcText::LineIndex& kNcText::lines() const {
  if (indexed.load(std::memory_order_acquire)) return index;
  const std::lock_guard lock(indexing);
  if (!indexed.load(std::memory_order_relaxed)) {
    if (wideStored) {
      indexLines(std::u16string_view(wide));
    } else {
      indexLines(bytes());
    }
    indexed.store(true, std::memory_order_release);
  }
  return index;
}

template <typename Char>
void kNcText::indexLines(std::basic_string_view<Char> text) const {
  index.starts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), Char('\n'))) + 1);
  std::size_t start = 0;
  const auto endLine = [&](std::size_t end) {
    index.starts.push(start);
    index.longest = std::max(index.longest, end - start);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Char c = text[i];
    if (c != Char('\n') && c != Char('\r')) continue;
    endLine(i);
    if (c == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
    start = i + 1;
  }
  if (start < text.size()) endLine(text.size());
}

std::u16string kNcText::lineText(int line) const {
  const LineIndex& all = lines();
  if (line < 1 || line > lineCount()) return {};
  const std::size_t begin = all.starts[static_cast<std::size_t>(line - 1)];
  const std::size_t size = wideStored ? wide.size() : bytes().size();
  std::size_t end = line < lineCount() ? all.starts[static_cast<std::size_t>(line)] : size;
  const auto isBreak = [&](std::size_t at) {
    const char16_t c = wideStored ? wide[at] : static_cast<char16_t>(bytes()[at]);
    return c == u'\n' || c == u'\r';
  };
  while (end > begin && isBreak(end - 1)) --end;
  std::u16string text;
  decode(begin, end, text);
  return text;
}

void kNcText::decode(std::size_t begin, std::size_t end, std::u16string& out) const {
  if (wideStored) {
    out.assign(std::u16string_view(wide).substr(begin, end - begin));
    return;
  }
  const std::string_view piece = bytes().substr(begin, end - begin);
  if (encoding_ == TextEncoding::Utf8Bom) {
    out = fromUtf8(piece);
  } else {
    decodeShiftJisInto(piece, out);
  }
}
