// Program flow: Fanuc GOTO, WHILE/DO/END, and LinuxCNC o-word subs, branches and loops.
#include <cmath>

#include "eval/Evaluator.hpp"
#include "util/Text.hpp"

namespace {

// Fanuc allows three DO levels.
constexpr int kMaxDoNesting = 3;

}  // namespace

void Evaluator::jumpTo(double label, int at) {
  const int n = static_cast<int>(std::llround(label));
  const int target = files_.findLabel(frame().file, at, n);
  if (target < 0) {
    fail(EvalRule::undefinedLabel, at,
         "GOTO " + std::to_string(n) + ": no block N" + std::to_string(n) + " in this program: stopped");
    return;
  }
  if (target <= at) {
    if (backJumpLine_ != at || backJumpFile_ != frame().file) backJumps_ = 0;
    backJumpLine_ = at;
    backJumpFile_ = frame().file;
    ++backJumps_;
  }
  Frame& f = frame();
  // Jumping out of a loop leaves it.
  while (!f.loops.empty() && (target < f.loops.back().top ||
                              target > matchingEnd(files_.line(f.file, f.loops.back().top), f.loops.back().top))) {
    f.loops.pop_back();
  }
  f.line = target;
}

int Evaluator::matchingEnd(const ParsedLine& line, int at) {
  if (line.match != -2) return line.match;
  const EvalFile& file = files_.file(frame().file);
  int depth = 0;
  line.match = -1;
  for (int i = at + 1; i < static_cast<int>(file.lines.size()); ++i) {
    const ParsedLine& other = files_.line(frame().file, i);
    if ((other.kind == LineKind::whileDo || other.kind == LineKind::doLoop) && other.loopId == line.loopId)
      ++depth;
    if (other.kind == LineKind::endLoop && other.loopId == line.loopId && depth-- == 0) {
      line.match = i;
      break;
    }
    if (other.kind == LineKind::header) break;
  }
  return line.match;
}

void Evaluator::fanucLoop(const ParsedLine& line, int at, bool condition) {
  Frame& f = frame();
  const bool again = !f.loops.empty() && f.loops.back().top == at;
  if (!condition) {
    if (again) f.loops.pop_back();
    const int end = matchingEnd(line, at);
    if (end < 0) {
      fail(EvalRule::undefinedLabel, at,
           "DO" + std::to_string(line.loopId) + " has no END" + std::to_string(line.loopId) + ": stopped");
      return;
    }
    f.line = end + 1;
    return;
  }
  if (again) {
    ++f.loops.back().passes;
    return;
  }
  if (line.loopId < 1 || line.loopId > kMaxDoNesting) {
    fail(EvalRule::nesting, at, "DO takes a loop number 1 to 3: stopped");
    return;
  }
  if (static_cast<int>(f.loops.size()) >= kMaxDoNesting) {
    fail(EvalRule::nesting, at, "DO loops nest deeper than 3: stopped");
    return;
  }
  Loop loop;
  loop.top = at;
  loop.id = line.loopId;
  loop.passes = 1;
  f.loops.push_back(loop);
}

void Evaluator::fanucEnd(const ParsedLine& line, int at) {
  Frame& f = frame();
  if (f.loops.empty() || f.loops.back().id != line.loopId) {
    fail(EvalRule::nesting, at,
         "END" + std::to_string(line.loopId) + " without its DO" + std::to_string(line.loopId) + ": stopped");
    return;
  }
  f.line = f.loops.back().top;
}

int Evaluator::findO(int from, const std::u16string& label, std::initializer_list<OKind> kinds) {
  const EvalFile& file = files_.file(frame().file);
  for (int i = from + 1; i < static_cast<int>(file.lines.size()); ++i) {
    if (file.lines[static_cast<std::size_t>(i)].find(u'O') == std::u16string::npos) continue;
    const ParsedLine& other = files_.line(frame().file, i);
    if (other.kind != LineKind::oword || other.olabel != label) continue;
    for (const OKind k : kinds) {
      if (other.okind == k) return i;
    }
  }
  return -1;
}

void Evaluator::ojumpPast(const ParsedLine& line, int at, std::initializer_list<OKind> ends) {
  if (line.match == -2) line.match = findO(at, line.olabel, ends);
  if (line.match < 0) {
    fail(EvalRule::undefinedLabel, at, "O" + toUtf8(line.olabel) + " is not closed: stopped");
    return;
  }
  frame().line = line.match + 1;
}

int Evaluator::nextBranch(const ParsedLine& line, int at) {
  if (line.nextBranch == -2)
    line.nextBranch = findO(at, line.olabel, {OKind::elseIf, OKind::elseBranch, OKind::endIf});
  return line.nextBranch;
}

// An IF whose condition fails goes on after the first ELSEIF whose condition holds, or after its ELSE or ENDIF.
// The branches are found once: a loop around the IF runs it again and again.
void Evaluator::oif(const ParsedLine& line, int at) {
  if (isTrue(value(line, line.condition, at)) || finished_) return;
  for (int branch = nextBranch(line, at); !finished_;) {
    if (branch < 0) {
      fail(EvalRule::undefinedLabel, at, "O" + toUtf8(line.olabel) + " IF has no ENDIF: stopped");
      return;
    }
    const ParsedLine& other = files_.line(frame().file, branch);
    if (other.okind != OKind::elseIf || isTrue(value(other, other.condition, branch))) {
      frame().line = branch + 1;
      return;
    }
    branch = nextBranch(other, branch);
  }
}

void Evaluator::leaveLoopsInside(const std::u16string& label) {
  std::vector<Loop>& loops = frame().loops;
  while (!loops.empty() && loops.back().label != label) loops.pop_back();
}

Evaluator::Loop* Evaluator::oloop(const std::u16string& label) {
  for (auto loop = frame().loops.rbegin(); loop != frame().loops.rend(); ++loop) {
    if (loop->label == label) return &*loop;
  }
  return nullptr;
}

void Evaluator::ocall(const ParsedLine& line, int at) {
  std::u16string label = line.olabel;
  if (line.target >= 0) {
    const Value v = value(line, line.target, at);
    if (finished_) return;
    label = fromUtf8(std::to_string(std::llround(v.asNumber())));
  }
  const auto [file, sub] = files_.findSub(label, frame().file);
  if (file < 0) {
    callLeftOut_ = true;
    note(EvalRule::subprogramNotFound, at,
         "the subroutine O" + toUtf8(label) +
             " is neither in this file nor in a file beside it: the call is left out");
    return;
  }
  std::vector<Value> args;
  for (const int arg : line.args) {
    args.push_back(value(line, arg, at));
    if (finished_) return;
  }
  Frame next;
  next.file = file;
  next.start = next.line = sub + 1;
  next.oword = true;
  if (!pushFrame(std::move(next), at, true)) return;
  if (sub >= 0) noteRun(file, sub);
  for (std::size_t i = 0; i < args.size(); ++i) vars_.setLocal(static_cast<int>(i) + 1, args[i]);
}

void Evaluator::oword(const ParsedLine& line, int at) {
  Frame& f = frame();
  const std::u16string& label = line.olabel;
  switch (line.okind) {
    case OKind::sub:
      ojumpPast(line, at, {OKind::endsub});
      return;
    case OKind::endsub:
    case OKind::ret:
      if (!f.oword) return;
      if (line.condition >= 0) {
        const Value v = value(line, line.condition, at);
        vars_.writeNamed(u"_VALUE", v);
      }
      popFrame();
      return;
    case OKind::call:
      ocall(line, at);
      return;
    case OKind::ifStart:
      oif(line, at);
      return;
    case OKind::elseIf:
    case OKind::elseBranch:
      ojumpPast(line, at, {OKind::endIf});
      return;
    case OKind::whileStart: {
      Loop* loop = oloop(label);
      if (loop && loop->kind == OKind::doStart) {
        if (isTrue(value(line, line.condition, at))) {
          ++loop->passes;
          f.line = loop->top + 1;
        } else {
          leaveLoopsInside(label);
          if (!f.loops.empty()) f.loops.pop_back();
        }
        return;
      }
      const bool again = loop && loop->top == at;
      if (isTrue(value(line, line.condition, at))) {
        if (again) {
          ++loop->passes;
        } else {
          f.loops.push_back(Loop{at, 0, label, OKind::whileStart, 1, 0});
        }
        return;
      }
      if (again) f.loops.pop_back();
      if (!finished_) ojumpPast(line, at, {OKind::endWhile});
      return;
    }
    case OKind::endWhile:
    case OKind::endRepeat: {
      Loop* loop = oloop(label);
      if (!loop) return;
      if (line.okind == OKind::endWhile) {
        f.line = loop->top;
      } else if (--loop->remaining > 0.5) {
        ++loop->passes;
        f.line = loop->top + 1;
      } else {
        f.loops.pop_back();
      }
      return;
    }
    case OKind::endIf:
      return;
    case OKind::doStart:
      f.loops.push_back(Loop{at, 0, label, OKind::doStart, 1, 0});
      return;
    case OKind::repeat: {
      const double count = std::floor(value(line, line.condition, at).asNumber() + 0.5);
      if (count >= 1) {
        f.loops.push_back(Loop{at, 0, label, OKind::repeat, 1, count});
      } else if (!finished_) {
        ojumpPast(line, at, {OKind::endRepeat});
      }
      return;
    }
    case OKind::breakLoop:
    case OKind::continueLoop: {
      Loop* loop = oloop(label);
      if (!loop) {
        fail(EvalRule::syntax, at, "O" + toUtf8(label) + " BREAK or CONTINUE outside its loop: stopped");
        return;
      }
      const OKind end = loop->kind == OKind::whileStart ? OKind::endWhile
                        : loop->kind == OKind::doStart  ? OKind::whileStart
                                                        : OKind::endRepeat;
      const int top = loop->top;
      const OKind kind = loop->kind;
      const int endLine = findO(top, label, {end});
      if (endLine < 0) {
        fail(EvalRule::undefinedLabel, at, "O" + toUtf8(label) + " loop is not closed: stopped");
        return;
      }
      leaveLoopsInside(label);
      if (line.okind == OKind::breakLoop) {
        f.loops.pop_back();
        f.line = endLine + 1;
      } else {
        f.line = kind == OKind::whileStart ? top : endLine;
      }
      return;
    }
  }
}
