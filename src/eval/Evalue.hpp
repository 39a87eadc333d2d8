// The values of macro evaluation: a number, vacant (never set, #0) or unknown (machine data a viewer cannot
// know), and the dialect whose rules an evaluation follows.
#pragma once

#include <cstdint>
#include <string>

enum class ValueKind : std::uint8_t { number, vacant, unknown };

struct Value {
  double number = 0;
  ValueKind kind = ValueKind::vacant;

  static Value of(double v) { return {v, ValueKind::number}; }
  static Value vacant() { return {0, ValueKind::vacant}; }
  static Value unknown() { return {0, ValueKind::unknown}; }
  bool isNumber() const { return kind == ValueKind::number; }
  bool isVacant() const { return kind == ValueKind::vacant; }
  bool isUnknown() const { return kind == ValueKind::unknown; }
  // Vacant is 0 in arithmetic.
  double asNumber() const { return kind == ValueKind::number ? number : 0; }
};

// Fanuc macro B (also Haas) or LinuxCNC: precedence, FIX/FUP, ATAN range, logic, vacancy, rounding.
enum class Dialect : std::uint8_t { fanuc, linuxcnc };

// The problems evaluation reports, by the ids `check` prints.
enum class EvalRule : std::uint8_t {
  syntax,
  undefinedLabel,
  nesting,
  iterationLimit,
  divisionByZero,
  domain,
  alarm,
  unknownValue,
  subprogramNotFound,
  subprogramDepth,
  argumentWithoutDecimal,
  message,
};
inline constexpr int kEvalRuleCount = static_cast<int>(EvalRule::message) + 1;
const char* evalRuleId(EvalRule rule);
bool evalRuleIsError(EvalRule rule);
// One line on why the rule exists, for the rule lists of check.
const char* evalRuleWhy(EvalRule rule);

// An evaluation problem: which rule, where (file index, line from 1) and what, in UTF-8.
struct EvalProblem {
  EvalRule rule = EvalRule::syntax;
  int file = 0;
  int line = 0;
  std::string message;
  // False where the run that raised it cannot be the machine's: the control may well run the program.
  bool certain = true;
};
