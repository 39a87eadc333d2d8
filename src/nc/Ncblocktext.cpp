// Block texts taken from the program text, or kept where a block has a text of its own.
#include "nc/Ncblocktext.hpp"

#include <algorithm>

#include "nc/Ncline.hpp"
#include "nc/Nctext.hpp"

void kNcBlockTexts::clear() { *this = kNcBlockTexts(); }

void kNcBlockTexts::readFrom(std::shared_ptr<const kNcText> source) {
  source_ = std::move(source);
  linesEnd_ = 0;
}

void kNcBlockTexts::reserve(int blocks) {
  starts_.reserve(starts_.size() + static_cast<std::size_t>(blocks));
  owns_.reserve(blocks);
}

void kNcBlockTexts::addOwn(std::u16string_view text) {
  starts_.push(linesEnd_);
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  if (chunks_.empty() || chunks_.back().size() + text.size() > chunks_.back().capacity()) {
    chunks_.emplace_back().reserve(std::max(kChunk, text.size()));
  }
  std::u16string& chunk = chunks_.back();
  owns_.push(true, OwnText{static_cast<std::uint32_t>(chunks_.size() - 1),
                           static_cast<std::uint32_t>(chunk.size()), static_cast<std::uint32_t>(text.size())});
  chunk.append(text);
}

void kNcBlockTexts::addLine(std::size_t end) {
  starts_.push(linesEnd_);
  owns_.push(false);
  linesEnd_ = end;
}

std::u16string kNcBlockTexts::textOf(int block) const {
  if (const OwnText* own = owns_.find(block)) return chunks_[own->chunk].substr(own->begin, own->length);
  const auto b = static_cast<std::size_t>(block);
  // Lines follow each other: a line ends where the next block's text starts.
  const std::size_t end = b + 1 < starts_.size() ? starts_[b + 1] : linesEnd_;
  std::u16string line;
  readLine(*source_, starts_[b], end, line);
  return line;
}
