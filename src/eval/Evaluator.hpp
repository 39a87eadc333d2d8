// Runs a macro program as the control would: walks its lines in execution order (jumps, loops, calls,
// returns) and hands on one block text at a time with its words evaluated (X#24 → X12.5), with the file and
// line it came from. Bounded by the call depth, DO nesting, a budget of executed lines and a stop flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "eval/Evalfiles.hpp"
#include "eval/Evalvars.hpp"

struct EvalOptions {
  Dialect dialect = Dialect::fanuc;
  // Literal G65 arguments without a decimal point are in least increments (0.001).
  bool standardDecimal = false;
  int maxCallDepth = 10;
  std::int64_t maxLines = 20'000'000;
  const std::atomic<bool>* stop = nullptr;
  std::map<std::string, double, std::less<>> variables;
};

// `v` written as the address `letter` takes it in `dialect`.
void appendAddressValue(std::u16string& out, char16_t letter, double v, Dialect dialect);

class Evaluator {
 public:
  // A block to interpret: its text (line feed included), file index in EvalFiles, line from 1.
  using Sink = std::function<void(std::u16string_view text, int file, int line)>;
  Evaluator(EvalFiles& files, const EvalOptions& options, const MachineState* machine);
  // Runs the main program to its end or a limit; false when the stop flag ended it.
  // The letters (bit 0: A) whose words the block handed on last left out for an unknown value.
  std::uint32_t unknownLetters() const { return unknownLetters_; }
  // A call was left out (its program found nowhere): what it would have set is not known from here on.
  bool callLeftOut() const { return callLeftOut_; }
  bool run(const Sink& sink);
  const std::vector<EvalProblem>& problems() const { return problems_; }
  // Lines executed (blocks handed on and macro statements).
  std::int64_t linesExecuted() const { return executed_; }
  // Per file and line index, how many blocks had been handed on when the line first ran; -1 for a line that
  // never ran (a file that never ran has no list).
  const std::vector<std::vector<int>>& firstRuns() const { return firstRuns_; }
  // Whether a limit or an error ended the run before the program's end.
  bool cutShort() const { return cutShort_; }
  // The innermost call running: the calling line (from 1) and its file, and the file and line (from 1) the
  // called code started at; all 0 in the main program.
  struct CallSite {
    int callFile = 0, callLine = 0, file = 0, start = 0;
    friend bool operator==(const CallSite&, const CallSite&) = default;
  };
  CallSite innermostCall() const {
    if (frames_.size() < 2) return {};
    const Frame& f = frames_.back();
    return {f.callFile, f.callLine + 1, f.file, f.start + 1};
  }

 private:
  struct Loop {
    int top = 0;  // the WHILE / DO / o-word line
    int id = 0;   // DO m
    std::u16string label;
    OKind kind = OKind::whileStart;
    std::int64_t passes = 0;
    double remaining = 0;  // repeat
  };
  struct Frame {
    int file = 0, line = 0;  // next line to run
    int start = 0;           // where a repetition starts again
    int repeats = 1;
    bool ownLocals = false;
    bool oword = false;
    bool modalMacro = false;
    int callFile = -1, callLine = -1;  // the calling line (index)
    std::vector<Loop> loops;
  };
  struct ModalCall {
    bool active = false;
    int program = 0;
    std::vector<std::pair<int, Value>> args;
  };

  void step(const ParsedLine& line, int at);
  void handOn(std::u16string_view text, int file, int line);
  // Line `at` of `file` goes on as written: it leaves no word out.
  void handOnAsWritten(int file, int at);
  void noteRun(int file, int at);
  void executeBlock(const ParsedLine& line, int at);
  bool evaluateWords(const ParsedLine& line, int at, std::vector<Value>& values);
  void emit(const ParsedLine& line, int at, const std::vector<Value>& values, bool rebuilt);
  void emitPolar(const ParsedLine& line, int at, const std::vector<Value>& values);
  void repeatHoles(const ParsedLine& line, int at, const std::vector<Value>& values);
  void appendWords(const ParsedLine& line, const std::vector<Value>& values, bool leaveOutRepeats);
  bool assign(const ParsedLine& line, int at);
  void call(const ParsedLine& line, int at, const std::vector<Value>& values);
  void callProgram(int number, int repeats, int at, const std::vector<std::pair<int, Value>>& args, bool newLevel,
                   bool modal);
  void callLocal(int n, int repeats, int at);
  void returnFromCall(int at, double label);
  void endProgram(int at, bool byM99);
  bool pushFrame(Frame frame, int at, bool newLevel);
  void popFrame();
  // Fanuc flow.
  void jumpTo(double label, int at);
  void fanucLoop(const ParsedLine& line, int at, bool condition);
  void fanucEnd(const ParsedLine& line, int at);
  int matchingEnd(const ParsedLine& line, int at);
  // LinuxCNC o-words.
  void oword(const ParsedLine& line, int at);
  void ocall(const ParsedLine& line, int at);
  int findO(int from, const std::u16string& label, std::initializer_list<OKind> kinds);
  void ojumpPast(const ParsedLine& line, int at, std::initializer_list<OKind> ends);
  int nextBranch(const ParsedLine& line, int at);
  void oif(const ParsedLine& line, int at);
  Loop* oloop(const std::u16string& label);
  // Leaves the loops inside the innermost one labelled `label`, which stays.
  void leaveLoopsInside(const std::u16string& label);

  Value value(const ParsedLine& line, int expr, int at);
  void fail(EvalRule rule, int at, std::string message);
  void report(EvalRule rule, int file, int line, std::string message);
  void surveyMain();
  void note(EvalRule rule, int at, std::string message);
  void limitReached();
  Frame& frame() { return frames_.back(); }

  EvalFiles& files_;
  const MachineState* machine_;
  EvalOptions options_;
  EvalVariables vars_;
  const Sink* sink_ = nullptr;
  std::vector<Frame> frames_;
  std::vector<EvalProblem> problems_;
  std::unordered_set<int> unknownReported_;
  std::unordered_set<std::int64_t> noted_;
  ModalCall modal_;
  std::int64_t executed_ = 0;
  bool finished_ = false;
  bool cutShort_ = false;
  bool mainStarted_ = false;
  int backJumpLine_ = -1, backJumpFile_ = 0;
  std::int64_t backJumps_ = 0;
  std::u16string text_;
  std::uint32_t unknownLetters_ = 0;
  bool callLeftOut_ = false;
  std::vector<std::vector<int>> firstRuns_;
  std::int64_t blocksHandedOn_ = 0;
  // What makes a fault found by the run uncertain: the main program is a subprogram run without its
  // arguments; it is written for a control with other operators; a line of it could not be read.
  bool runOnItsOwn_ = false;
  bool otherOperators_ = false;
  bool lineUnread_ = false;
  std::vector<Value> values_;
};
