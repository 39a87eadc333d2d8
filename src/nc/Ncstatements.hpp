// When the statements of an evaluated program (assignments, loops, jumps, calls) first ran, told by the blocks
// around them: they become no block of their own, and a window shows the drawing as it stood when they ran.
#pragma once

#include <vector>

class EvalFiles;

class StatementTimes {
 public:
  explicit StatementTimes(EvalFiles& files) : files_(files) {}
  // Block `block` came from `line` (from 1) of `file`: the statements that ran since the block before it are
  // given that block's time.
  void noteBlock(int file, int line, int block);
  // The evaluation ended after block `last`; per file and line index, the block that was the latest when the
  // statement first ran, -1 for a line that never ran as a statement.
  std::vector<std::vector<int>> finish(int last);

 private:
  void grow();
  // Gives the statements from line index `from` on, up to the first line that is none (or not parsed yet), the
  // time `block` where they have none.
  void markFrom(int file, int from, int step, int block);

  EvalFiles& files_;
  std::vector<std::vector<int>> times_;
  // Per file, the line index of its latest block; -1 before any.
  std::vector<int> lastLine_;
  int lastFile_ = -1;
};
