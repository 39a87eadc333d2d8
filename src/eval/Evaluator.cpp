// The execution of a macro program: the main loop with its limits, blocks and their words, assignments,
// calls and returns.
#include "eval/Evaluator.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "util/Text.hpp"

namespace {

using View = std::u16string_view;

// The stop flag is looked at every this many lines.
constexpr std::int64_t kStopInterval = 4096;
constexpr double kLeastIncrement = 0.001;

// Argument specification I: the local each letter sets (0: not an argument).
constexpr int argumentNumber(char16_t letter) {
  constexpr int kTable[26] = {1, 2, 3, 7,  8,  9,  0,  11, 4,  5,  6,  0,  13,
                              0, 0, 0, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
  return letter >= u'A' && letter <= u'Z' ? kTable[letter - u'A'] : 0;
}

bool isAxisLetter(char16_t c) {
  return c == u'X' || c == u'Y' || c == u'Z' || c == u'A' || c == u'B' || c == u'C' || c == u'U' || c == u'V' ||
         c == u'W' || c == u'I' || c == u'J' || c == u'K' || c == u'R' || c == u'Q';
}

bool isProbing(double code) { return std::floor(code) == 31 || std::floor(code) == 38; }

bool hasOtherOperator(std::u16string_view code) {
  for (std::size_t at = code.find(u'=', 1); at != std::u16string_view::npos; at = code.find(u'=', at + 1)) {
    const char16_t before = code[at - 1];
    if (before == u'=' || before == u'!' || before == u'<' || before == u'>') return true;
  }
  return false;
}

std::string withCommas(std::int64_t n) {
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
  return digits;
}

}  // namespace

// A value as an address takes it: Fanuc rounds axes to the least increment and M, S, T to integers;
// LinuxCNC keeps six decimals. Axis values always carry a point, so that no decimal input rule scales them.
void appendAddressValue(std::u16string& out, char16_t letter, double v, Dialect dialect) {
  int decimals = 6;
  bool point = isAxisLetter(letter);
  if (dialect == Dialect::fanuc) {
    if (letter == u'M' || letter == u'S' || letter == u'T') {
      v = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
      decimals = 0;
    } else if (point) {
      decimals = 3;
    }
  }
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  if (error != std::errc()) {
    out += u'0';
    return;
  }
  std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0') text.remove_suffix(1);
    if (text.back() == '.' && !point) text.remove_suffix(1);
  } else if (point) {
    out.append(text.begin(), text.end());
    out += u'.';
    return;
  }
  if (text == "-0" || text == "-0.") text.remove_prefix(1);
  out.append(text.begin(), text.end());
}

Evaluator::Evaluator(EvalFiles& files, const EvalOptions& options, const MachineState* machine)
    : files_(files), machine_(machine), options_(options), vars_(options.dialect, options.variables, machine) {}

bool Evaluator::run(const Sink& sink) {
  sink_ = &sink;
  surveyMain();
  frames_.push_back(Frame{});
  while (!frames_.empty() && !finished_) {
    if (++executed_ > options_.maxLines) {
      limitReached();
      break;
    }
    if (executed_ % kStopInterval == 0 && options_.stop && options_.stop->load(std::memory_order_relaxed)) {
      cutShort_ = true;
      return false;
    }
    Frame& f = frame();
    const int lines = static_cast<int>(files_.file(f.file).lines.size());
    if (f.line >= lines) {
      // The text ends: a subprogram returns, the main program ends.
      if (frames_.size() == 1) break;
      returnFromCall(f.line - 1, -1);
      continue;
    }
    const int at = f.line++;
    noteRun(f.file, at);
    step(files_.line(f.file, at), at);
  }
  return true;
}

void Evaluator::handOn(std::u16string_view text, int file, int line) {
  ++blocksHandedOn_;
  (*sink_)(text, file, line);
}

void Evaluator::handOnAsWritten(int file, int at) {
  unknownLetters_ = 0;
  handOn(files_.file(file).lines[static_cast<std::size_t>(at)], file, at + 1);
}

void Evaluator::noteRun(int file, int at) {
  if (static_cast<std::size_t>(file) >= firstRuns_.size()) firstRuns_.resize(static_cast<std::size_t>(file) + 1);
  std::vector<int>& runs = firstRuns_[static_cast<std::size_t>(file)];
  if (runs.empty()) runs.assign(files_.file(file).lines.size(), -1);
  int& first = runs[static_cast<std::size_t>(at)];
  if (first < 0) first = static_cast<int>(std::min<std::int64_t>(blocksHandedOn_, INT_MAX));
}

void Evaluator::step(const ParsedLine& line, int at) {
  switch (line.kind) {
    case LineKind::plain:
      handOnAsWritten(frame().file, at);
      return;
    case LineKind::header:
      // The main program may start with its header; any other header ends the program running.
      if (frames_.size() == 1 && !mainStarted_) {
        mainStarted_ = true;
        handOnAsWritten(0, at);
      } else if (frames_.size() == 1) {
        finished_ = true;
      } else {
        returnFromCall(at, -1);
      }
      return;
    case LineKind::block:
      mainStarted_ = true;
      executeBlock(line, at);
      return;
    case LineKind::jump:
      jumpTo(value(line, line.target, at).asNumber(), at);
      return;
    case LineKind::ifGoto:
      if (isTrue(value(line, line.condition, at))) jumpTo(value(line, line.target, at).asNumber(), at);
      return;
    case LineKind::ifThen:
      if (isTrue(value(line, line.condition, at))) executeBlock(line, at);
      return;
    case LineKind::whileDo:
      fanucLoop(line, at, isTrue(value(line, line.condition, at)));
      return;
    case LineKind::doLoop:
      fanucLoop(line, at, true);
      return;
    case LineKind::endLoop:
      fanucEnd(line, at);
      return;
    case LineKind::oword:
      oword(line, at);
      return;
    case LineKind::syntaxError:
      // The line goes on as written, for the interpreter to read what it can: said where it holds a macro.
      if (line.code.find_first_of(u"#[") != std::u16string::npos) {
        note(EvalRule::syntax, at, line.error + "; the line is read as written");
      }
      handOnAsWritten(frame().file, at);
      return;
  }
}

Value Evaluator::value(const ParsedLine& line, int expr, int at) {
  ExprFault fault;
  const Value v = evaluate(line.pool, expr, options_.dialect, vars_, fault);
  if (fault.raised) fail(fault.rule, at, fault.message);
  if (const int unknown = vars_.unknownRead; unknown != 0) {
    vars_.unknownRead = 0;
    if (unknownReported_.insert(unknown).second) {
      note(EvalRule::unknownValue, at,
           unknown == EvalVariables::kMachineName
               ? "HAL and INI values are machine data a viewer cannot know: words using them are left out"
               : "#" + std::to_string(unknown) +
                     " is machine data a viewer cannot know: words using it are left out");
    }
  }
  if (!vars_.unsetNamed.empty()) {
    fail(EvalRule::syntax, at, "#<" + toUtf8(vars_.unsetNamed) + "> is read before it is set");
    vars_.unsetNamed.clear();
  }
  return v;
}

void Evaluator::executeBlock(const ParsedLine& line, int at) {
  // LinuxCNC sets parameters after the whole line; Fanuc in order, before the words of the line use them.
  if (options_.dialect == Dialect::fanuc && !assign(line, at)) return;
  values_.assign(line.words.size(), Value::vacant());
  bool rebuilt = false;
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    const WordItem& w = line.words[i];
    if (w.expr < 0) {
      values_[i] = Value::of(w.literal);
      continue;
    }
    values_[i] = value(line, w.expr, at);
    rebuilt = true;
    if (finished_) return;
  }
  if (options_.dialect == Dialect::linuxcnc && !assign(line, at)) return;
  rebuilt = rebuilt || !line.assigns.empty();
  switch (line.call) {
    case CallKind::m98:
    case CallKind::m97:
    case CallKind::g65:
    case CallKind::g66:
      call(line, at, values_);
      return;
    case CallKind::g67:
      modal_.active = false;
      return;
    case CallKind::m99: {
      double label = -1;
      for (std::size_t i = 0; i < line.words.size(); ++i) {
        if (line.words[i].letter == u'P') label = values_[i].asNumber();
      }
      returnFromCall(at, label);
      return;
    }
    default:
      break;
  }
  emit(line, at, values_, rebuilt);
  if (line.call == CallKind::programEnd) {
    endProgram(at, false);
    return;
  }
  if (modal_.active && line.movesAxis && !frame().modalMacro) {
    callProgram(modal_.program, 1, at, modal_.args, true, true);
  }
}

bool Evaluator::assign(const ParsedLine& line, int at) {
  for (const Assignment& a : line.assigns) {
    const Value v = a.value < 0 ? Value::vacant() : value(line, a.value, at);
    if (finished_) return false;
    if (a.name >= 0) {
      vars_.writeNamed(line.pool.names[static_cast<std::size_t>(a.name)], v);
      continue;
    }
    const double number = value(line, a.target, at).asNumber();
    if (finished_) return false;
    if (options_.dialect == Dialect::fanuc && (number == 3000 || number == 3006)) {
      const std::string message = toUtf8(line.comment);
      if (number == 3000) {
        fail(EvalRule::alarm, at, "alarm " + std::to_string(static_cast<long long>(v.asNumber())) + " " + message);
        return false;
      }
      note(EvalRule::message, at, "stop with the message " + message + "; cycle start goes on");
      continue;
    }
    std::string error;
    // A variable that cannot be set is reported; the program goes on without the assignment.
    if (!vars_.write(number, v, error)) note(EvalRule::syntax, at, error + ": the assignment is left out");
  }
  return true;
}

void Evaluator::emit(const ParsedLine& line, int at, const std::vector<Value>& values, bool rebuilt) {
  const int file = frame().file;
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    if (!values[i].isNumber()) continue;
    vars_.noteWord(line.words[i].letter, values[i].number);
    if (line.words[i].letter == u'G' && isProbing(values[i].number)) vars_.forgetProbeResults();
  }
  if (line.polar && machine_) {
    emitPolar(line, at, values);
    return;
  }
  if (!rebuilt) {
    handOnAsWritten(file, at);
  } else {
    text_.clear();
    unknownLetters_ = 0;
    appendWords(line, values, false);
    // A line of assignments only is a macro statement, not a block; a word left out for machine data still
    // makes one (the machine sets that F or R).
    if (text_.empty() && line.comment.empty() && unknownLetters_ == 0) return;
    text_ += line.comment;
    text_ += u'\n';
    handOn(text_, file, at + 1);
  }
  if (line.repeats && machine_) repeatHoles(line, at, values);
}

// The L repeats of a drilling cycle under G91: each pass drills again, one X and Y increment on. Under G90 the
// passes drill the same hole again, which adds nothing to draw.
void Evaluator::repeatHoles(const ParsedLine& line, int at, const std::vector<Value>& values) {
  constexpr double kMostRepeats = 9999;
  const int cycle = machine_->modalCode(9);
  if (cycle < 0 || cycle == 80 || machine_->modalCode(3) != 91) return;
  double repeats = 1;
  text_.clear();
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    const char16_t letter = line.words[i].letter;
    if (!values[i].isNumber()) continue;
    if (letter == u'L') repeats = values[i].number;
    if (letter != u'X' && letter != u'Y') continue;
    text_ += letter;
    appendAddressValue(text_, letter, values[i].number, options_.dialect);
  }
  if (text_.empty() || !(repeats >= 2)) return;
  text_ += u'\n';
  const int passes = static_cast<int>(std::min(repeats, kMostRepeats));
  for (int pass = 1; pass < passes && !finished_; ++pass) handOn(text_, frame().file, at + 1);
}

void Evaluator::appendWords(const ParsedLine& line, const std::vector<Value>& values, bool leaveOutRepeats) {
  if (line.blockDelete) text_ += u'/';
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    const WordItem& w = line.words[i];
    if (w.letter == u'@' || w.letter == u'^' || (leaveOutRepeats && w.letter == u'L')) continue;
    if (w.expr < 0) {
      text_.append(line.code, w.begin, w.length);
    } else if (values[i].isUnknown()) {
      if (w.letter >= u'A' && w.letter <= u'Z') unknownLetters_ |= 1u << (w.letter - u'A');
    } else if (values[i].isNumber()) {
      // A vacant or unknown value leaves its address out.
      text_ += w.letter;
      appendAddressValue(text_, w.letter, values[i].number, options_.dialect);
    }
  }
}

void Evaluator::call(const ParsedLine& line, int at, const std::vector<Value>& values) {
  double p = -1, l = 1;
  bool lGiven = false;
  std::vector<std::pair<int, Value>> args;
  for (std::size_t i = 0; i < line.words.size(); ++i) {
    const WordItem& w = line.words[i];
    if (w.letter == u'P') p = values[i].asNumber();
    if (w.letter == u'L') {
      l = values[i].asNumber();
      lGiven = true;
    }
    const int local = argumentNumber(w.letter);
    if (local == 0 || w.letter == u'G' || (line.call != CallKind::g65 && line.call != CallKind::g66)) continue;
    if (w.letter == u'M' && w.expr < 0 && !w.hasPoint && (w.literal == 98 || w.literal == 97)) continue;
    Value v = values[i];
    if (w.expr < 0 && !w.hasPoint && options_.standardDecimal && v.number != 0) {
      note(EvalRule::argumentWithoutDecimal, at,
           std::string(1, static_cast<char>(w.letter)) +
               toUtf8(View(line.code).substr(w.begin + 1, w.length - 1)) + " has no decimal point: it is " +
               std::to_string(v.number * kLeastIncrement) + " in least increments");
      v.number *= kLeastIncrement;
    }
    args.emplace_back(local, v);
  }
  if (p < 0) {
    fail(EvalRule::syntax, at, "the call names no program (P)");
    return;
  }
  auto number = static_cast<long long>(std::llround(p));
  int repeats = static_cast<int>(std::llround(l));
  if (line.call == CallKind::m98 && !lGiven && number > 9999) {
    // M98 Pxxxxyyyy: the leading digits are the repetitions.
    repeats = static_cast<int>(number / 10000);
    number %= 10000;
  }
  if (repeats <= 0) return;
  switch (line.call) {
    case CallKind::m97:
      callLocal(static_cast<int>(number), repeats, at);
      return;
    case CallKind::g66:
      modal_ = ModalCall{true, static_cast<int>(number), args};
      return;
    default:
      callProgram(static_cast<int>(number), repeats, at, args, line.call == CallKind::g65, false);
  }
}

bool Evaluator::pushFrame(Frame next, int at, bool newLevel) {
  if (static_cast<int>(frames_.size()) > options_.maxCallDepth) {
    fail(EvalRule::subprogramDepth, at,
         "calls nest deeper than " + std::to_string(options_.maxCallDepth) + " levels: stopped");
    return false;
  }
  next.callFile = frame().file;
  next.callLine = at;
  next.ownLocals = newLevel;
  if (newLevel) vars_.pushLocals();
  frames_.push_back(std::move(next));
  return true;
}

void Evaluator::callProgram(int number, int repeats, int at, const std::vector<std::pair<int, Value>>& args,
                            bool newLevel, bool modal) {
  const auto [file, header] = files_.findProgram(number, frame().file);
  if (file < 0) {
    // The rest of the program is still drawn, without what the call would have done: said, never silent.
    callLeftOut_ = true;
    note(EvalRule::subprogramNotFound, at,
         "program O" + std::to_string(number) +
             " is neither in this file nor in a file beside it: the call is left out");
    return;
  }
  Frame next;
  next.file = file;
  next.start = next.line = header + 1;
  next.repeats = repeats;
  next.modalMacro = modal || frame().modalMacro;
  if (!pushFrame(std::move(next), at, newLevel)) return;
  // The O line is where the control enters the program: it ran, though no block comes of it.
  if (header >= 0) noteRun(file, header);
  for (const auto& [local, v] : args) vars_.setLocal(local, v);
}

void Evaluator::callLocal(int n, int repeats, int at) {
  const int target = files_.findLabel(frame().file, at, n);
  if (target < 0) {
    fail(EvalRule::undefinedLabel, at, "no block N" + std::to_string(n) + " in this program: stopped");
    return;
  }
  Frame next;
  next.file = frame().file;
  next.start = next.line = target;
  next.repeats = repeats;
  next.modalMacro = frame().modalMacro;
  pushFrame(std::move(next), at, false);
}

void Evaluator::popFrame() {
  if (frame().ownLocals) vars_.popLocals();
  frames_.pop_back();
}

void Evaluator::returnFromCall(int at, double label) {
  if (frames_.size() == 1) {
    endProgram(at, true);
    return;
  }
  Frame& f = frame();
  if (f.repeats > 1 && !f.oword) {
    --f.repeats;
    f.line = f.start;
    f.loops.clear();
    return;
  }
  const int callLine = f.callLine;
  popFrame();
  if (label >= 0) {
    // M99 Pn goes on at Nn of the caller.
    const int target = files_.findLabel(frame().file, callLine, static_cast<int>(std::llround(label)));
    if (target < 0) {
      fail(EvalRule::undefinedLabel, at,
           "M99 P returns to N" + std::to_string(std::llround(label)) + ", which the caller lacks: stopped");
      return;
    }
    frame().line = target;
  }
}

void Evaluator::endProgram(int at, bool byM99) {
  if (byM99)
    note(EvalRule::message, at, "M99 in the main program: the control would start it again; evaluation ends here");
  finished_ = true;
}

void Evaluator::fail(EvalRule rule, int at, std::string message) {
  report(rule, frames_.empty() ? 0 : frame().file, at + 1, std::move(message));
  finished_ = true;
  cutShort_ = true;
}

void Evaluator::report(EvalRule rule, int file, int line, std::string message) {
  const bool byTheRun = rule != EvalRule::syntax && evalRuleIsError(rule);
  EvalProblem problem{rule, file, line, std::move(message)};
  if (otherOperators_) {
    problem.message += " (the program uses operators such as == of a control with another macro language)";
    problem.certain = false;
  } else if (byTheRun && runOnItsOwn_) {
    problem.message += " (the program ends with M99: it ran on its own, without the arguments of a call)";
    problem.certain = false;
  } else if (byTheRun && lineUnread_) {
    problem.message += " (after a line that could not be read)";
    problem.certain = false;
  }
  if (rule == EvalRule::syntax) lineUnread_ = true;
  problems_.push_back(std::move(problem));
}

// A file whose main program returns by M99 before any end of program is a subprogram, called with
// arguments that are not known here. ==, !=, <= and >= in the code belong to no macro language the
// evaluator reads as its own. The survey parses aside: the parsed lines are those that ran.
void Evaluator::surveyMain() {
  const EvalFile& main = files_.file(0);
  bool started = false, decided = false;
  ParsedLine line;
  const bool lookForOperators = options_.dialect == Dialect::fanuc;
  for (std::size_t i = 0; i < main.lines.size(); ++i) {
    if (decided) {
      // Only the operators are left to look for: the rest of the lines need no parse.
      if (otherOperators_ || !lookForOperators) return;
      otherOperators_ = hasOtherOperator(lineCode(main.lines[i], main.inComment[i]));
      continue;
    }
    line = ParsedLine();
    parseLine(main.lines[i], options_.dialect, line, main.inComment[i]);
    if (lookForOperators && !otherOperators_) otherOperators_ = hasOtherOperator(line.code);
    decided = (line.kind == LineKind::header && started) || line.call == CallKind::programEnd;
    started = started || line.kind == LineKind::header || line.kind == LineKind::block;
    if (!decided && line.call == CallKind::m99) runOnItsOwn_ = decided = true;
  }
}

void Evaluator::note(EvalRule rule, int at, std::string message) {
  // A line that runs many times says so once.
  const int file = frames_.empty() ? 0 : frame().file;
  if (!noted_
           .insert((static_cast<std::int64_t>(file) << 40) | (static_cast<std::int64_t>(rule) << 32) |
                   static_cast<std::uint32_t>(at))
           .second)
    return;
  report(rule, frames_.empty() ? 0 : frame().file, at + 1, std::move(message));
}

void Evaluator::limitReached() {
  const std::string budget = "the budget of " + withCommas(options_.maxLines) + " executed lines";
  for (auto f = frames_.rbegin(); f != frames_.rend(); ++f) {
    if (f->loops.empty()) continue;
    const Loop& loop = f->loops.back();
    const ParsedLine& top = files_.line(f->file, loop.top);
    const char* name = top.kind == LineKind::oword ? "o-word loop" : top.kind == LineKind::doLoop ? "DO" : "WHILE";
    report(EvalRule::iterationLimit, f->file, loop.top + 1,
           std::string(name) + " at line " + std::to_string(loop.top + 1) + " ran " + withCommas(loop.passes) +
               " times: stopped at " + budget);
    cutShort_ = true;
    return;
  }
  const int line = backJumpLine_ >= 0 ? backJumpLine_ : (frames_.empty() ? 0 : frame().line - 1);
  const int file = backJumpLine_ >= 0 ? backJumpFile_ : (frames_.empty() ? 0 : frame().file);
  report(EvalRule::iterationLimit, file, line + 1,
         (backJumpLine_ >= 0 ? "GOTO at line " + std::to_string(line + 1) + " jumped back " +
                                   withCommas(backJumps_) + " times: stopped at "
                             : std::string("stopped at ")) +
             budget);
  cutShort_ = true;
}
