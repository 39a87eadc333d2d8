// One line of a macro program parsed once: its words (literal or an expression), assignments, flow statement
// or O-word, and the calls it makes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "eval/Evalexpr.hpp"

enum class LineKind : std::uint8_t {
  plain,    // handed on as written
  block,    // words to evaluate, assignments, calls
  header,   // O1234: a program starts
  jump,     // GOTO n
  ifGoto,   // IF [c] GOTO n
  ifThen,   // IF [c] THEN statement
  whileDo,  // WHILE [c] DOm
  doLoop,   // DOm
  endLoop,  // ENDm
  oword,    // LinuxCNC o-word control
  syntaxError,
};

enum class OKind : std::uint8_t {
  sub,
  endsub,
  call,
  ret,
  ifStart,
  elseIf,
  elseBranch,
  endIf,
  whileStart,
  endWhile,
  doStart,
  repeat,
  endRepeat,
  breakLoop,
  continueLoop,
};

// What a line does besides its words.
enum class CallKind : std::uint8_t { none, m98, m97, m99, g65, g66, g67, programEnd };

struct WordItem {
  char16_t letter = 0;
  int expr = -1;            // -1: literal
  std::uint32_t begin = 0;  // the word's text in `code` (literal words are copied as written)
  std::uint32_t length = 0;
  double literal = 0;
  bool hasPoint = false;
};

struct Assignment {
  int target = -1;  // expression giving the variable's number; -1 for a named one
  int name = -1;    // index in pool.names
  int value = -1;
};

struct ParsedLine {
  LineKind kind = LineKind::plain;
  CallKind call = CallKind::none;
  int label = -1;  // the N number, -1 for none
  bool blockDelete = false;
  bool movesAxis = false;  // names X, Y or Z (a G66 modal call follows such a block)
  bool polar = false;      // LinuxCNC polar words: @ distance, ^ angle
  bool repeats = false;    // an L word outside G10: a drilling cycle's repeat count
  std::u16string code;     // without blanks and comments
  std::u16string comment;  // the comments, each in parentheses
  ExprPool pool;
  std::vector<WordItem> words;
  std::vector<Assignment> assigns;
  int condition = -1;  // IF / WHILE / o-word condition; o-word return value
  int target = -1;     // GOTO target expression; o-word indirect label
  int loopId = 0;      // DO/END m
  OKind okind = OKind::sub;
  std::u16string olabel;  // "100" or "<NAME>"
  std::vector<int> args;  // o-word call arguments
  std::string error;      // for syntaxError
  // The line a flow statement continues at (the END of a WHILE, the next branch of an o-word if), found once.
  mutable int match = -2;
  // For an o-word IF or ELSEIF: its next ELSEIF, ELSE or ENDIF, found once.
  mutable int nextBranch = -2;
};

// Parses `line` (upper case, as the reader prepares it); `inComment`: a "/*" comment of the lines before is
// still open where it starts, and runs to the line's first "*/" or through the whole line.
void parseLine(std::u16string_view line, Dialect dialect, ParsedLine& out, bool inComment = false);
// Whether `line` could need evaluation: '#', '[', an O-word, a flow keyword, a call or a cycle's L repeats.
bool mayNeedEvaluation(std::u16string_view line, bool inComment = false);
// Whether a "/*" comment is open after `line`, given whether one was open where it starts. As in the plain
// reading, "/*" opens wherever it stands before a ';' (inside parentheses too), and the comment runs over lines
// to the first "*/".
bool leavesCommentOpen(std::u16string_view line, bool inComment);
// The code of `line`: without comments and blanks.
std::u16string lineCode(std::u16string_view line, bool inComment);
// Whether `line` moves by LinuxCNC polar words (@ distance, ^ angle).
bool hasPolarWords(std::u16string_view line);
// The header's program number of a line starting "O1234" / ":1234" (blanks ignored), or -1.
int headerNumber(std::u16string_view line);
