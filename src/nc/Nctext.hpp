// The text of one NC program as the window and the reader see it: its bytes (a file, or an edited text),
// how they are encoded, the line break it uses, and where its editor lines start.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "util/Encoding.hpp"
#include "util/Filekind.hpp"
#include "util/Offsets.hpp"
#include "util/Savefile.hpp"

class kNcText {
 public:
  enum class Status { Ok, NotFound, IsFolder, OpenFailed };
  struct OpenResult {
    Status status = Status::Ok;
    std::string message;  // what went wrong, naming the path
  };

  kNcText();
  ~kNcText();
  kNcText(const kNcText&) = delete;
  kNcText& operator=(const kNcText&) = delete;

  // Takes the file's bytes; on failure the text is left empty.
  OpenResult open(const std::string& path);
  // The bytes of a file held in memory, read as open reads a file's.
  void setBytes(std::string bytes);
  // An edited text, kept as it is given; saved later in `encoding` with `lineBreak`.
  void setText(std::u16string text, TextEncoding encoding, LineBreak lineBreak);
  void clear();

  // Editor lines: they end at CR LF, a lone CR or LF; a line break at the very end starts no further line.
  // Their index is made on first use: reading a program needs none.
  int lineCount() const { return static_cast<int>(lines().starts.size()); }
  // Line `line` (from 1) decoded, without its line break; "" outside 1 .. lineCount().
  std::u16string lineText(int line) const;
  // The length of the longest line in code units of the stored text (a hint for a horizontal scroll range).
  std::size_t longestLineLength() const { return lines().longest; }

  TextEncoding encoding() const { return encoding_; }
  // The first line break of the text (LF when it has none).
  LineBreak lineBreak() const { return lineBreak_; }
  // The text as stored: the file's bytes after any byte-order mark (8-bit encodings), or empty.
  std::string_view bytes() const;
  // The text as stored when it is held decoded (UTF-16 files, edited texts), or empty.
  std::u16string_view wideText() const { return wide; }
  bool isWide() const { return wideStored; }
  // Whether the bytes are a text at all (contentKindOf); a text with a two-byte byte-order mark is one.
  FileKind contentKind() const { return wideStored ? FileKind::Text : contentKindOf(bytes()); }
  // The code units from `begin` to `end` of the text as stored (bytes(), or wideText() when isWide())
  // decoded into `out`.
  void decode(std::size_t begin, std::size_t end, std::u16string& out) const;

 private:
  struct FileBytes;
  struct LineIndex {
    OffsetList starts;
    std::size_t longest = 0;
  };
  const LineIndex& lines() const;
  // Takes the bytes of a file: its encoding by its byte-order mark, its line break.
  void takeBytes(std::unique_ptr<FileBytes> held);
  template <typename Char>
  void indexLines(std::basic_string_view<Char> text) const;
  template <typename Char>
  void findLineBreak(std::basic_string_view<Char> text);

  std::unique_ptr<FileBytes> fileBytes;
  std::u16string wide;
  bool wideStored = false;
  mutable LineIndex index;
  mutable std::atomic<bool> indexed{false};
  mutable std::mutex indexing;
  TextEncoding encoding_ = TextEncoding::ShiftJis;
  LineBreak lineBreak_ = LineBreak::Lf;
};
