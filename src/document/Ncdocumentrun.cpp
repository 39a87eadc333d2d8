// The program document's executed path: an evaluated program's blocks by the lines and files they came from,
// stepping through them in execution order, and the file whose lines are shown.
#include <algorithm>

#include "document/Ncdocument.hpp"

void kNcDocument::indexExecutions() {
  if (!isEvaluated()) return;
  const std::vector<std::string>& files = store.sourceFiles();
  calledTexts.resize(std::max<std::size_t>(files.size(), 1));
  for (std::size_t f = 1; f < files.size(); ++f) {
    calledTexts[f] = std::make_unique<kNcText>();
    // A file that went away since the evaluation read it shows no lines; its blocks stay drawn.
    if (calledTexts[f]->open(files[f]).status != kNcText::Status::Ok) calledTexts[f]->clear();
  }
  runs.assign(calledTexts.size(), {});
  for (std::size_t f = 0; f < runs.size(); ++f) {
    const kNcText& lines = f == 0 ? text : *calledTexts[f];
    runs[f].resize(static_cast<std::size_t>(lines.lineCount()) + 1);
  }
  for (int b = 1; b < store.blockCount; ++b) {
    const auto f = static_cast<std::size_t>(store.sourceFileOf(b));
    const auto line = static_cast<std::size_t>(store.sourceLineOf(b));
    if (f >= runs.size() || line >= runs[f].size()) continue;
    LineRuns& at = runs[f][line];
    if (at.count++ == 0) at.first = b;
  }
  current = executionAt(0, 1);
}

int kNcDocument::executionAt(int file, int line) const {
  if (file < 0 || file >= static_cast<int>(runs.size())) return 0;
  const std::vector<LineRuns>& lines = runs[static_cast<std::size_t>(file)];
  for (int l = std::min(line, static_cast<int>(lines.size()) - 1); l >= 1; --l) {
    if (lines[static_cast<std::size_t>(l)].count > 0) return lines[static_cast<std::size_t>(l)].first;
    // A statement is no block: the drawing is as it stood when the statement first ran.
    if (const int ran = store.statementTime(file, l); ran >= 0) return ran;
  }
  return 0;
}

bool kNcDocument::moveToBlock(int block, bool step) {
  if (!hasProgram()) return false;
  block = std::clamp(block, isEvaluated() ? 0 : 1, std::max(store.blockCount - 1, 1));
  if (!isEvaluated()) return moveTo(block, step);
  // Block 0, the state before the first block, comes from no line: the caret stays where it is.
  if (block > 0) {
    shown = store.sourceFileOf(block);
    caretLine = std::max(store.sourceLineOf(block), 1);
  }
  return makeCurrent(block, step);
}

bool kNcDocument::stepExecution(bool forward) {
  const int to = current + (forward ? 1 : -1);
  if (to < (isEvaluated() ? 0 : 1) || to >= store.blockCount) return false;
  return moveToBlock(to, true);
}

void kNcDocument::showFile(int file) {
  if (file < 0 || file >= static_cast<int>(std::max<std::size_t>(calledTexts.size(), 1)) || file == shown) return;
  shown = file;
  caretLine = 1;
}

const kNcText& kNcDocument::shownText() const {
  if (shown <= 0 || static_cast<std::size_t>(shown) >= calledTexts.size()) return text;
  return *calledTexts[static_cast<std::size_t>(shown)];
}

std::string kNcDocument::shownFileName() const { return fileName(shown); }

std::string kNcDocument::fileName(int file) const {
  const std::string& named =
      isEvaluated() && file >= 0 && static_cast<std::size_t>(file) < store.sourceFiles().size()
          ? store.sourceFiles()[static_cast<std::size_t>(file)]
          : programFile;
  const std::size_t slash = named.find_last_of("/\\");
  return slash == std::string::npos ? named : named.substr(slash + 1);
}

bool kNcDocument::lineExecuted(int line) const {
  if (!isEvaluated()) return true;
  if (store.statementTime(shown, line) >= 0) return true;
  if (static_cast<std::size_t>(shown) >= runs.size()) return false;
  const std::vector<LineRuns>& lines = runs[static_cast<std::size_t>(shown)];
  return line >= 1 && static_cast<std::size_t>(line) < lines.size() &&
         lines[static_cast<std::size_t>(line)].count > 0;
}

bool kNcDocument::currentBlockOnLine() const {
  if (!isEvaluated()) return true;
  return current > 0 && store.sourceFileOf(current) == shown && store.sourceLineOf(current) == caretLine;
}

std::pair<int, int> kNcDocument::currentPass() const {
  if (!isEvaluated() || current <= 0) return {1, 1};
  const int file = store.sourceFileOf(current);
  const int line = store.sourceLineOf(current);
  if (static_cast<std::size_t>(file) >= runs.size() ||
      static_cast<std::size_t>(line) >= runs[static_cast<std::size_t>(file)].size())
    return {1, 1};
  const LineRuns& at = runs[static_cast<std::size_t>(file)][static_cast<std::size_t>(line)];
  // The executions before this one lie between the line's first and this block: a scan, done per step.
  int rank = 1;
  for (int b = at.first; b < current; ++b) rank += store.sourceLineOf(b) == line && store.sourceFileOf(b) == file;
  return {rank, at.count};
}
