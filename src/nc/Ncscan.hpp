// Lines scanned ahead of the interpreter: where each line ends and what it holds (a plain line's words, or
// another line's text decoded and prepared), chunk by chunk, on worker threads or on the reading thread
// itself. The interpreter takes the chunks in text order; the workers stay a few chunks ahead of it.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "nc/Ncplain.hpp"

class kNcText;

struct ScannedLine {
  std::size_t begin = 0, end = 0;          // the line in the program text, its line feed included
  bool plain = false;                      // `words` holds the line's words
  std::size_t textBegin = 0, textEnd = 0;  // a line to be read as text: its prepared text in the chunk
  PlainLine words;
};

struct LineChunk {
  std::vector<ScannedLine> lines;
  std::u16string texts;
  int loneCrs = 0;  // CRs that are no part of a CR LF, in the lines to be read as text

  std::u16string_view textOf(const ScannedLine& line) const {
    return std::u16string_view(texts).substr(line.textBegin, line.textEnd - line.textBegin);
  }
};

class kLineScanner {
 public:
  // Plain lines are scanned for their words when `onePass` is set; `textOnly` as for scanPlainLine. With
  // `threads` 0 the chunks are scanned by next() itself.
  kLineScanner(const kNcText& text, const std::array<bool, 128>& textOnly, bool onePass, int threads);
  ~kLineScanner();
  kLineScanner(const kLineScanner&) = delete;
  kLineScanner& operator=(const kLineScanner&) = delete;

  // The next chunk in text order, valid until the next call; nullptr after the last.
  const LineChunk* next();

 private:
  struct Slot {
    LineChunk chunk;
    std::size_t index = SIZE_MAX;  // the chunk it holds when filled
  };
  void work();
  void fill(std::size_t index, LineChunk& chunk) const;
  template <typename Char>
  void fillFrom(std::basic_string_view<Char> all, std::size_t index, LineChunk& chunk) const;

  const kNcText& text_;
  const std::array<bool, 128> textOnly_;
  const bool onePass_;
  std::size_t chunkCount_ = 0;
  std::vector<Slot> slots_;
  std::size_t taken_ = 0;     // chunks handed to the interpreter
  std::size_t released_ = 0;  // chunks the interpreter is done with
  std::size_t nextToFill_ = 0;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable filled_, freed_;
  std::vector<std::thread> workers_;
};
