// Lines scanned ahead of the interpreter, chunk by chunk.
#include "nc/Ncscan.hpp"

#include "nc/Ncline.hpp"
#include "nc/Nctext.hpp"

namespace {

// A chunk holds the lines that start in its stretch of the text: small enough to keep a few in memory,
// large enough that handing one over costs nothing next to reading it.
constexpr std::size_t kChunkUnits = std::size_t{64} << 10;

template <typename Char>
int loneCrsOf(std::basic_string_view<Char> text) {
  int crs = 0;
  for (std::size_t i = text.find(Char('\r')); i != text.npos; i = text.find(Char('\r'), i + 1)) {
    crs += i + 1 == text.size() || text[i + 1] != Char('\n');
  }
  return crs;
}

}  // namespace

kLineScanner::kLineScanner(const kNcText& text, const std::array<bool, 128>& textOnly, bool onePass, int threads)
    : text_(text), textOnly_(textOnly), onePass_(onePass) {
  const std::size_t size = text.isWide() ? text.wideText().size() : text.bytes().size();
  chunkCount_ = (size + kChunkUnits - 1) / kChunkUnits;
  const std::size_t workers = threads > 0 ? static_cast<std::size_t>(threads) : 0;
  // Two chunks a worker, and the one the interpreter reads.
  slots_.resize(workers == 0 ? 1 : 2 * workers + 1);
  for (std::size_t w = 0; w < workers; ++w) workers_.emplace_back([this] { work(); });
}

kLineScanner::~kLineScanner() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  freed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

const LineChunk* kLineScanner::next() {
  const std::size_t index = taken_;
  if (index >= chunkCount_) return nullptr;
  ++taken_;
  Slot& slot = slots_[index % slots_.size()];
  if (workers_.empty()) {
    fill(index, slot.chunk);
    return &slot.chunk;
  }
  std::unique_lock lock(mutex_);
  // The chunk before this one is done with: its slot may be filled again.
  released_ = index;
  freed_.notify_all();
  filled_.wait(lock, [&] { return slot.index == index; });
  return &slot.chunk;
}

void kLineScanner::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    freed_.wait(
        lock, [&] { return stopping_ || nextToFill_ >= chunkCount_ || nextToFill_ < released_ + slots_.size(); });
    if (stopping_ || nextToFill_ >= chunkCount_) return;
    const std::size_t index = nextToFill_++;
    Slot& slot = slots_[index % slots_.size()];
    lock.unlock();
    fill(index, slot.chunk);
    lock.lock();
    slot.index = index;
    filled_.notify_all();
  }
}

void kLineScanner::fill(std::size_t index, LineChunk& chunk) const {
  if (text_.isWide()) {
    fillFrom(text_.wideText(), index, chunk);
  } else {
    fillFrom(text_.bytes(), index, chunk);
  }
}

template <typename Char>
void kLineScanner::fillFrom(std::basic_string_view<Char> all, std::size_t index, LineChunk& chunk) const {
  chunk.lines.clear();
  chunk.texts.clear();
  chunk.loneCrs = 0;
  const std::size_t stretchEnd = std::min(all.size(), (index + 1) * kChunkUnits);
  std::size_t start = 0;
  if (index > 0) {
    // The first line that starts in this stretch, if one does: a long line may run through several.
    const std::size_t feed = all.substr(0, stretchEnd).find(Char('\n'), index * kChunkUnits - 1);
    start = feed == all.npos ? stretchEnd : feed + 1;
  }
  std::u16string text;
  while (start < stretchEnd) {
    std::size_t end = all.find(Char('\n'), start);
    end = end == all.npos ? all.size() : end + 1;
    ScannedLine& line = chunk.lines.emplace_back();
    line.begin = start;
    line.end = end;
    const std::basic_string_view<Char> piece = all.substr(start, end - start);
    line.plain = onePass_ && scanPlainLine(piece, textOnly_, line.words);
    if (!line.plain) {
      chunk.loneCrs += loneCrsOf(piece);
      readLine(text_, start, end, text);
      line.textBegin = chunk.texts.size();
      chunk.texts += text;
      line.textEnd = chunk.texts.size();
    }
    start = end;
  }
}
