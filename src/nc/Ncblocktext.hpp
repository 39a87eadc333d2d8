// Where the text of each block comes from: a line of the program text it was read from, or a text of its own
// (block 0, the blank block after a lone CR, lines handed to the interpreter one by one). A line's text is
// made again when it is asked for, so that a million blocks keep no copy of their lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nc/Ncblocks.hpp"
#include "util/Offsets.hpp"

class kNcText;

class kNcBlockTexts {
 public:
  // Forgets every block and the program text.
  void clear();
  // The lines added from now on are lines of `source`, the first starting at its beginning.
  void readFrom(std::shared_ptr<const kNcText> source);
  void reserve(int blocks);
  // The next block's text is `text`.
  void addOwn(std::u16string_view text);
  // The next block's text is the line of the source that follows the line added before, up to `end`.
  void addLine(std::size_t end);
  // Block b's text as the interpreter got it; b must be held.
  std::u16string textOf(int block) const;

 private:
  std::shared_ptr<const kNcText> source_;
  // Per block: where its line starts (an own text sits where the lines so far end).
  OffsetList starts_;
  // Own texts sit one after the other in chunks that never move: an evaluated program has one for each
  // executed block.
  struct OwnText {
    std::uint32_t chunk, begin, length;
  };
  SparseColumn<OwnText> owns_;
  std::vector<std::u16string> chunks_;
  std::size_t linesEnd_ = 0;
};
