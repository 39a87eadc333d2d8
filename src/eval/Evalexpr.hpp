// Expressions of macro programs: parsed once per line into a pool of nodes, evaluated per execution with the
// dialect's precedence, functions and traps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "eval/Evalue.hpp"

// Where an expression reads its variables.
class VariableReader {
 public:
  virtual ~VariableReader() = default;
  virtual Value read(double number) = 0;                  // #n
  virtual Value readNamed(std::u16string_view name) = 0;  // #<name>
  virtual bool exists(std::u16string_view name) = 0;      // EXISTS[#<name>]
};

enum class Op : std::uint8_t {
  number,
  variable,
  named,
  exists,
  negate,
  add,
  subtract,
  multiply,
  divide,
  modulo,
  power,
  eq,
  ne,
  gt,
  ge,
  lt,
  le,
  logicAnd,
  logicOr,
  logicXor,
  sin,
  cos,
  tan,
  asin,
  acos,
  atan,
  atan2,
  sqrt,
  abs,
  round,
  fix,
  fup,
  ln,
  exp,
  bin,
  bcd,
};

struct ExprNode {
  Op op = Op::number;
  int a = -1, b = -1;  // operands (node indexes); for `named`/`exists`, a is the name's index
  double value = 0;
};

// The nodes of every expression of one line; an expression is the index of its root.
struct ExprPool {
  std::vector<ExprNode> nodes;
  std::vector<std::u16string> names;
  int add(ExprNode node);
};

// What went wrong while evaluating: the first fault wins.
struct ExprFault {
  bool raised = false;
  EvalRule rule = EvalRule::syntax;
  std::string message;
  void raise(EvalRule r, std::string text);
};

// Parses an expression at `pos` of `text` (upper case, no blanks) into `pool`; returns its root, -1 on a
// syntax error (`pos` then points at it). `word` parses only what an address may hold: a number, a variable,
// a bracketed expression, a function or a signed one of those.
int parseExpression(std::u16string_view text, std::size_t& pos, Dialect dialect, ExprPool& pool);
int parseWordValue(std::u16string_view text, std::size_t& pos, Dialect dialect, ExprPool& pool);
// A plain number literal at `pos` (digits, one point, an optional sign); false when there is none.
bool parseNumber(std::u16string_view text, std::size_t& pos, double& value);

// Evaluates node `root`; on a fault (division by zero, domain) `fault` is raised and vacant returned.
Value evaluate(const ExprPool& pool, int root, Dialect dialect, VariableReader& vars, ExprFault& fault);
// The truth of a condition: comparisons tell vacant from 0 (EQ/NE) in the Fanuc dialect.
bool isTrue(Value value);
