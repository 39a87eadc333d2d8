// The times of an evaluated program's statements. A line is parsed as it first runs, and a block line that
// runs becomes a block: the parsed statement lines next to a block's line, after the file's and the program's
// previous block or before this one, ran between the two blocks. A statement inside a loop or branch passed
// over is parsed by the search for its end, and counts as run when it sits next to such a line.
#include "nc/Ncstatements.hpp"

#include "eval/Evalfiles.hpp"

namespace {

// A line that runs without becoming a block: assignments alone, flow, calls. Headers and words are blocks.
bool isStatement(const ParsedLine* line) {
  if (!line || line->kind == LineKind::plain || line->kind == LineKind::header) return false;
  return !(line->kind == LineKind::block && line->call == CallKind::none && !line->words.empty());
}

}  // namespace

void StatementTimes::grow() {
  while (static_cast<int>(times_.size()) < files_.fileCount()) {
    times_.emplace_back(files_.file(static_cast<int>(times_.size())).lines.size(), -1);
    lastLine_.push_back(-1);
  }
}

void StatementTimes::markFrom(int file, int from, int step, int block) {
  const EvalFile& f = files_.file(file);
  std::vector<int>& times = times_[static_cast<std::size_t>(file)];
  for (int l = from; l >= 0 && l < static_cast<int>(times.size()); l += step) {
    if (!isStatement(f.parsed[static_cast<std::size_t>(l)].get())) return;
    if (times[static_cast<std::size_t>(l)] < 0) times[static_cast<std::size_t>(l)] = block;
  }
}

void StatementTimes::noteBlock(int file, int line, int block) {
  grow();
  const int before = block - 1;
  // After the previous block, in its own call; after this file's previous block, which a call may have left;
  // and just before this block's line.
  if (lastFile_ >= 0) markFrom(lastFile_, lastLine_[static_cast<std::size_t>(lastFile_)] + 1, 1, before);
  markFrom(file, lastLine_[static_cast<std::size_t>(file)] + 1, 1, before);
  markFrom(file, line - 2, -1, before);
  lastFile_ = file;
  lastLine_[static_cast<std::size_t>(file)] = line - 1;
}

std::vector<std::vector<int>> StatementTimes::finish(int last) {
  grow();
  if (lastFile_ >= 0) markFrom(lastFile_, lastLine_[static_cast<std::size_t>(lastFile_)] + 1, 1, last);
  return std::move(times_);
}
