// Expressions of macro programs: a precedence-climbing parser over upper-case text without blanks, and the
// evaluation of its nodes under Fanuc or LinuxCNC rules.
#include "eval/Evalexpr.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "util/Text.hpp"

namespace {

using View = std::u16string_view;

constexpr double kDegree = std::numbers::pi / 180;
// LinuxCNC compares for equality within this.
constexpr double kLinuxEqual = 1e-6;
// Brackets deeper than any program writes: a guard against runaway recursion.
constexpr int kMaxDepth = 64;

struct Keyword {
  View text;
  Op op;
};

constexpr std::array kFunctions{
    Keyword{u"ASIN", Op::asin},   Keyword{u"ACOS", Op::acos}, Keyword{u"ATAN", Op::atan}, Keyword{u"SIN", Op::sin},
    Keyword{u"COS", Op::cos},     Keyword{u"TAN", Op::tan},   Keyword{u"SQRT", Op::sqrt}, Keyword{u"ABS", Op::abs},
    Keyword{u"ROUND", Op::round}, Keyword{u"FIX", Op::fix},   Keyword{u"FUP", Op::fup},   Keyword{u"LN", Op::ln},
    Keyword{u"EXP", Op::exp},     Keyword{u"BIN", Op::bin},   Keyword{u"BCD", Op::bcd},
};

constexpr std::array kOperators{
    // The symbols some controls write for comparisons.
    Keyword{u"==", Op::eq},        Keyword{u"!=", Op::ne},      Keyword{u"<=", Op::le},
    Keyword{u">=", Op::ge},        Keyword{u"<", Op::lt},       Keyword{u">", Op::gt},
    Keyword{u"**", Op::power},     Keyword{u"+", Op::add},      Keyword{u"-", Op::subtract},
    Keyword{u"*", Op::multiply},   Keyword{u"/", Op::divide},   Keyword{u"MOD", Op::modulo},
    Keyword{u"EQ", Op::eq},        Keyword{u"NE", Op::ne},      Keyword{u"GT", Op::gt},
    Keyword{u"GE", Op::ge},        Keyword{u"LT", Op::lt},      Keyword{u"LE", Op::le},
    Keyword{u"AND", Op::logicAnd}, Keyword{u"OR", Op::logicOr}, Keyword{u"XOR", Op::logicXor},
};

bool isComparison(Op op) { return op >= Op::eq && op <= Op::le; }

// Binding strength: Fanuc puts * / AND MOD above + - OR XOR and comparisons lowest; LinuxCNC orders
// ** > * / MOD > + - > comparisons > AND OR XOR.
int precedence(Op op, Dialect dialect) {
  const bool fanuc = dialect == Dialect::fanuc;
  switch (op) {
    case Op::power:
      return 5;
    case Op::multiply:
    case Op::divide:
    case Op::modulo:
      return 4;
    case Op::add:
    case Op::subtract:
      return 3;
    case Op::logicAnd:
      return fanuc ? 4 : 1;
    case Op::logicOr:
    case Op::logicXor:
      return fanuc ? 3 : 1;
    default:
      return isComparison(op) ? (fanuc ? 1 : 2) : 0;
  }
}

struct Parser {
  View text;
  std::size_t& pos;
  Dialect dialect;
  ExprPool& pool;
  int depth = 0;

  bool at(View word) const { return text.substr(pos).starts_with(word); }
  bool take(char16_t c) {
    if (pos < text.size() && text[pos] == c) return ++pos, true;
    return false;
  }

  int binary(int minLevel) {
    int left = unary();
    while (left >= 0) {
      const Keyword* found = nullptr;
      for (const Keyword& k : kOperators) {
        if (at(k.text)) {
          found = &k;
          break;
        }
      }
      if (!found) return left;
      const int level = precedence(found->op, dialect);
      if (level < minLevel) return left;
      pos += found->text.size();
      // ** binds to the right; everything else to the left.
      const int right = binary(found->op == Op::power ? level : level + 1);
      if (right < 0) return -1;
      left = pool.add({found->op, left, right, 0});
    }
    return left;
  }

  // An address value: a signed primary, or arithmetic of them without brackets (X#1-#2), as some controls
  // accept; * and / bind before + and -.
  int term() {
    int left = unary();
    while (left >= 0 && pos + 1 < text.size() && (text[pos] == u'*' || text[pos] == u'/') &&
           text[pos + 1] != u'*') {
      const Op op = text[pos++] == u'*' ? Op::multiply : Op::divide;
      const int right = unary();
      left = right < 0 ? -1 : pool.add({op, left, right, 0});
    }
    return left;
  }
  int arithmetic() {
    int left = term();
    while (left >= 0 && pos + 1 < text.size() && (text[pos] == u'+' || text[pos] == u'-') &&
           (text[pos + 1] == u'#' || text[pos + 1] == u'[' || text[pos + 1] == u'.' || isDigit(text[pos + 1]))) {
      const Op op = text[pos++] == u'+' ? Op::add : Op::subtract;
      const int right = term();
      left = right < 0 ? -1 : pool.add({op, left, right, 0});
    }
    return left;
  }

  int bracketed() {
    if (!take(u'[') || ++depth > kMaxDepth) return -1;
    const int inner = binary(0);
    --depth;
    return inner >= 0 && take(u']') ? inner : -1;
  }

  int unary() {
    if (take(u'-')) {
      const int operand = unary();
      return operand < 0 ? -1 : pool.add({Op::negate, operand, -1, 0});
    }
    if (take(u'+')) return unary();
    return primary();
  }

  int variable() {
    if (take(u'<')) {
      const std::size_t end = text.find(u'>', pos);
      if (end == View::npos) return -1;
      pool.names.emplace_back(text.substr(pos, end - pos));
      pos = end + 1;
      return pool.add({Op::named, static_cast<int>(pool.names.size()) - 1, -1, 0});
    }
    int index = -1;
    if (pos < text.size() && text[pos] == u'[') {
      index = bracketed();
    } else if (pos < text.size() && text[pos] == u'#') {
      ++pos;
      index = variable();
    } else {
      double number = 0;
      if (!parseNumber(text, pos, number)) return -1;
      index = pool.add({Op::number, -1, -1, number});
    }
    return index < 0 ? -1 : pool.add({Op::variable, index, -1, 0});
  }

  int function() {
    if (at(u"EXISTS[#<")) {
      pos += 9;
      const std::size_t end = text.find(u">]", pos);
      if (end == View::npos) return -1;
      pool.names.emplace_back(text.substr(pos, end - pos));
      pos = end + 2;
      return pool.add({Op::exists, static_cast<int>(pool.names.size()) - 1, -1, 0});
    }
    for (const Keyword& k : kFunctions) {
      if (!at(k.text) || text.substr(pos + k.text.size()).empty() || text[pos + k.text.size()] != u'[') continue;
      pos += k.text.size();
      const int argument = bracketed();
      if (argument < 0) return -1;
      // ATAN[a]/[b] is the two-argument arc tangent.
      if (k.op == Op::atan && at(u"/[")) {
        ++pos;
        const int second = bracketed();
        return second < 0 ? -1 : pool.add({Op::atan2, argument, second, 0});
      }
      return pool.add({k.op, argument, -1, 0});
    }
    return -1;
  }

  int primary() {
    if (pos >= text.size()) return -1;
    const char16_t c = text[pos];
    if (c == u'[') return bracketed();
    if (c == u'#') {
      ++pos;
      return variable();
    }
    if (isDigit(c) || c == u'.') {
      double number = 0;
      return parseNumber(text, pos, number) ? pool.add({Op::number, -1, -1, number}) : -1;
    }
    return function();
  }
};

double fanucInteger(double v) { return std::trunc(v); }

bool equalValues(Value a, Value b, Dialect dialect) {
  if (dialect == Dialect::fanuc) {
    // EQ and NE tell vacant from 0.
    if (a.isVacant() || b.isVacant()) return a.isVacant() == b.isVacant();
    return a.number == b.number;
  }
  return std::fabs(a.asNumber() - b.asNumber()) < kLinuxEqual;
}

Value logic(Op op, double a, double b, Dialect dialect) {
  if (dialect == Dialect::linuxcnc) {
    const bool x = a != 0, y = b != 0;
    const bool r = op == Op::logicAnd ? (x && y) : op == Op::logicOr ? (x || y) : (x != y);
    return Value::of(r ? 1 : 0);
  }
  // Fanuc: bitwise on the integer parts.
  constexpr double kLimit = 9.2e18;
  if (!(std::fabs(a) <= kLimit && std::fabs(b) <= kLimit)) return Value::of(0);  // NaN too
  const auto x = static_cast<std::int64_t>(fanucInteger(a)), y = static_cast<std::int64_t>(fanucInteger(b));
  const std::int64_t r = op == Op::logicAnd ? (x & y) : op == Op::logicOr ? (x | y) : (x ^ y);
  return Value::of(static_cast<double>(r));
}

double roundHalfAway(double v) { return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5); }

struct Evaluation {
  const ExprPool& pool;
  Dialect dialect;
  VariableReader& vars;
  ExprFault& fault;

  Value fail(EvalRule rule, std::string message) {
    fault.raise(rule, std::move(message));
    return Value::vacant();
  }

  Value function(Op op, double x) {
    switch (op) {
      case Op::sin:
        return Value::of(std::sin(x * kDegree));
      case Op::cos:
        return Value::of(std::cos(x * kDegree));
      case Op::tan:
        return Value::of(std::tan(x * kDegree));
      case Op::asin:
      case Op::acos:
        if (x < -1 || x > 1)
          return fail(EvalRule::domain,
                      (op == Op::asin ? "ASIN" : "ACOS") + std::string(" of a value outside -1 … 1"));
        return Value::of((op == Op::asin ? std::asin(x) : std::acos(x)) / kDegree);
      case Op::atan: {
        const double angle = std::atan(x) / kDegree;
        return Value::of(dialect == Dialect::fanuc && angle < 0 ? angle + 360 : angle);
      }
      case Op::sqrt:
        if (x < 0) return fail(EvalRule::domain, "SQRT of a negative value");
        return Value::of(std::sqrt(x));
      case Op::abs:
        return Value::of(std::fabs(x));
      case Op::round:
        return Value::of(roundHalfAway(x));
      case Op::fix:
        return Value::of(dialect == Dialect::fanuc ? std::trunc(x) : std::floor(x));
      case Op::fup:
        return Value::of(dialect == Dialect::fanuc ? (x < 0 ? std::floor(x) : std::ceil(x)) : std::ceil(x));
      case Op::ln:
        if (x <= 0) return fail(EvalRule::domain, "LN of a value not above 0");
        return Value::of(std::log(x));
      case Op::exp:
        return Value::of(std::exp(x));
      default:
        return Value::of(x);  // BIN and BCD leave ordinary numbers as they are
    }
  }

  Value binary(Op op, Value a, Value b) {
    const double x = a.asNumber(), y = b.asNumber();
    switch (op) {
      case Op::add:
        return Value::of(x + y);
      case Op::subtract:
        return Value::of(x - y);
      case Op::multiply:
        return Value::of(x * y);
      case Op::divide:
        if (y == 0) return fail(EvalRule::divisionByZero, "division by zero");
        return Value::of(x / y);
      case Op::modulo: {
        if (y == 0) return fail(EvalRule::divisionByZero, "MOD by zero");
        double r = std::fmod(x, y);
        if (dialect == Dialect::linuxcnc && r < 0) r += std::fabs(y);
        return Value::of(r);
      }
      case Op::power:
        if (x < 0 && y != std::floor(y)) return fail(EvalRule::domain, "a negative value to a fractional power");
        return Value::of(std::pow(x, y));
      case Op::eq:
        return Value::of(equalValues(a, b, dialect) ? 1 : 0);
      case Op::ne:
        return Value::of(equalValues(a, b, dialect) ? 0 : 1);
      case Op::gt:
        return Value::of(x > y ? 1 : 0);
      case Op::ge:
        return Value::of(x >= y ? 1 : 0);
      case Op::lt:
        return Value::of(x < y ? 1 : 0);
      case Op::le:
        return Value::of(x <= y ? 1 : 0);
      case Op::atan2: {
        double angle = std::atan2(x, y) / kDegree;
        if (dialect == Dialect::fanuc && angle < 0) angle += 360;
        return Value::of(angle);
      }
      default:
        return logic(op, x, y, dialect);
    }
  }

  Value at(int index) {
    const ExprNode& n = pool.nodes[static_cast<std::size_t>(index)];
    switch (n.op) {
      case Op::number:
        return Value::of(n.value);
      case Op::variable: {
        const Value number = at(n.a);
        return fault.raised ? Value::vacant() : vars.read(number.asNumber());
      }
      case Op::named:
        return vars.readNamed(pool.names[static_cast<std::size_t>(n.a)]);
      case Op::exists:
        return Value::of(vars.exists(pool.names[static_cast<std::size_t>(n.a)]) ? 1 : 0);
      case Op::negate: {
        const Value v = at(n.a);
        return v.isNumber() ? Value::of(-v.number) : v;
      }
      default:
        break;
    }
    const Value a = at(n.a);
    if (n.b < 0) return a.isUnknown() ? a : function(n.op, a.asNumber());
    const Value b = at(n.b);
    if (a.isUnknown() || b.isUnknown()) return Value::unknown();
    return binary(n.op, a, b);
  }
};

}  // namespace

int ExprPool::add(ExprNode node) {
  nodes.push_back(node);
  return static_cast<int>(nodes.size()) - 1;
}

void ExprFault::raise(EvalRule r, std::string text) {
  if (raised) return;
  raised = true;
  rule = r;
  message = std::move(text);
}

bool parseNumber(View text, std::size_t& pos, double& value) {
  std::size_t i = pos;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  double whole = 0, scale = 1;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isDigit(c)) {
      digits = true;
      if (point) {
        scale /= 10;
        whole += (c - u'0') * scale;
      } else {
        whole = whole * 10 + (c - u'0');
      }
    } else if (c == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  // A lone point is 0 ("#1=.").
  if (!digits && !(point && (i >= text.size() || !isDigit(text[i])))) return false;
  pos = i;
  value = negative ? -whole : whole;
  return true;
}

int parseExpression(View text, std::size_t& pos, Dialect dialect, ExprPool& pool) {
  Parser parser{text, pos, dialect, pool};
  return parser.binary(0);
}

int parseWordValue(View text, std::size_t& pos, Dialect dialect, ExprPool& pool) {
  Parser parser{text, pos, dialect, pool};
  return parser.arithmetic();
}

Value evaluate(const ExprPool& pool, int root, Dialect dialect, VariableReader& vars, ExprFault& fault) {
  Evaluation evaluation{pool, dialect, vars, fault};
  return evaluation.at(root);
}

bool isTrue(Value value) { return value.isNumber() && value.number != 0; }

namespace {

struct EvalRuleRow {
  const char* id;
  bool error;
  const char* why;
};
constexpr EvalRuleRow kEvalRules[kEvalRuleCount] = {
    {"macro-syntax", true, "a macro line that cannot be read: the control alarms"},
    {"macro-undefined-label", true, "a jump or call to a label that does not exist: the control alarms"},
    {"macro-nesting", true, "DO loops nested deeper than the control allows, or an END without its DO"},
    {"macro-iteration-limit", true, "a loop or jump that runs past the budget of executed blocks: likely endless"},
    {"macro-division-by-zero", true, "a division by zero: the control alarms"},
    {"macro-domain", true, "SQRT, ASIN, ACOS or LN outside its domain: the control alarms"},
    {"macro-alarm", true, "the program raises an alarm (#3000): the control stops"},
    {"macro-unknown-value", false, "machine data a viewer cannot know: the words using it are left out"},
    {"subprogram-not-found", false,
     "a called program is neither in the file nor beside it: the control may hold it"},
    {"subprogram-depth", true, "calls nested deeper than the control allows: the control alarms"},
    {"argument-without-decimal", false, "under standard decimal input a G65 argument without a point is tiny"},
    {"macro-message", false, "a message the program shows the operator (#3006)"},
};

}  // namespace

const char* evalRuleId(EvalRule rule) { return kEvalRules[static_cast<int>(rule)].id; }

bool evalRuleIsError(EvalRule rule) { return kEvalRules[static_cast<int>(rule)].error; }

const char* evalRuleWhy(EvalRule rule) { return kEvalRules[static_cast<int>(rule)].why; }
