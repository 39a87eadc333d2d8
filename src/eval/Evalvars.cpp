// The variables of an evaluation by number range and dialect.
#include "eval/Evalvars.hpp"

#include <cmath>

#include "util/Text.hpp"

namespace {

constexpr double kLargestNumber = 1e9;

// LinuxCNC's numbered parameters: #1-#30 belong to a call, #31-#5000 are global, and an unset one reads 0.
constexpr int kLinuxParameters = 30;
constexpr int kLinuxGlobalsEnd = 5000;
// Where a probing or skip move left the axes, and whether it touched: the machine sets them.
constexpr int kFirstProbeResult = 5061;
constexpr int kLastProbeResult = 5070;

bool isLocal(int n, Dialect dialect) {
  return n >= 1 && n <= (dialect == Dialect::fanuc ? EvalVariables::kLocals : kLinuxParameters);
}

}  // namespace

EvalVariables::EvalVariables(Dialect dialect, const std::map<std::string, double, std::less<>>& seeds,
                             const MachineState* machine)
    : dialect_(dialect), machine_(machine) {
  pushLocals();
  for (const auto& [key, value] : seeds) {
    if (key.starts_with("#<") && key.ends_with(">")) {
      std::u16string name = fromUtf8(key.substr(2, key.size() - 3));
      upperCaseInPlace(name);
      namedGlobals_[name] = Value::of(value);
    } else if (key.starts_with("#")) {
      const double n = std::atof(key.c_str() + 1);
      if (n >= 1 && n < kLargestNumber) numbered_[static_cast<int>(n)] = Value::of(value);
    }
  }
}

void EvalVariables::pushLocals() {
  std::array<Value, kLocals + 1> fresh;
  fresh.fill(dialect_ == Dialect::fanuc ? Value::vacant() : Value::of(0));
  locals_.push_back(fresh);
  namedLocals_.emplace_back();
}

void EvalVariables::popLocals() {
  if (locals_.size() <= 1) return;
  locals_.pop_back();
  namedLocals_.pop_back();
}

void EvalVariables::setLocal(int number, Value value) {
  if (isLocal(number, dialect_)) locals_.back()[static_cast<std::size_t>(number)] = value;
}

void EvalVariables::forgetProbeResults() {
  for (int n = kFirstProbeResult; n <= kLastProbeResult; ++n) numbered_[n] = Value::unknown();
}

void EvalVariables::noteWord(char16_t letter, double value) {
  if (letter < u'A' || letter > u'Z') return;
  previousWords_[letter - u'A'] = value;
  previousGiven_[letter - u'A'] = true;
}

Value EvalVariables::system(int n) const {
  if (dialect_ == Dialect::fanuc) {
    if (n >= 4001 && n <= 4022 && machine_) {
      const int code = machine_->modalCode(n - 4000);
      return code < 0 ? Value::unknown() : Value::of(code);
    }
    if (n >= 4102 && n <= 4120) {
      // The address each of #4102 … #4120 holds ('.': none a viewer knows).
      constexpr std::string_view kLetters = "B....D.F.H.MNO...ST";
      const char letter = kLetters[static_cast<std::size_t>(n - 4102)];
      if (letter == '.') return Value::unknown();
      const auto i = static_cast<std::size_t>(letter - 'A');
      return previousGiven_[i] ? Value::of(previousWords_[i]) : Value::vacant();
    }
    if (machine_ && ((n >= 5001 && n <= 5003) || (n >= 5041 && n <= 5043))) {
      return Value::of(machine_->position((n - 1) % 10));
    }
    if (n == 3001) return Value::of(0);
    return Value::unknown();
  }
  if (machine_ && n >= 5420 && n <= 5422) return Value::of(machine_->position(n - 5420));
  return Value::unknown();
}

Value EvalVariables::read(double number) {
  if (!(number >= 0 && number < kLargestNumber)) {
    unknownRead = -1;
    return Value::unknown();
  }
  const int n = static_cast<int>(std::lround(number));
  if (n == 0) return Value::vacant();
  if (isLocal(n, dialect_)) return locals_.back()[static_cast<std::size_t>(n)];
  if (const auto found = numbered_.find(n); found != numbered_.end()) {
    if (found->second.isUnknown()) unknownRead = n;
    return found->second;
  }
  if (dialect_ == Dialect::linuxcnc && n <= kLinuxGlobalsEnd) return Value::of(0);
  if (dialect_ == Dialect::fanuc && n >= 100 && n <= 199) return Value::vacant();
  if (dialect_ == Dialect::fanuc && n >= 34 && n < 100) return Value::vacant();
  const Value value = system(n);
  if (value.isUnknown()) unknownRead = n;
  return value;
}

bool EvalVariables::write(double number, Value value, std::string& error) {
  if (!(number >= 1 && number < kLargestNumber)) {
    error = number == 0 ? "#0 cannot be set" : "no variable has that number";
    return false;
  }
  const int n = static_cast<int>(std::lround(number));
  if (isLocal(n, dialect_)) {
    locals_.back()[static_cast<std::size_t>(n)] = value;
  } else {
    numbered_[n] = value;
  }
  return true;
}

Value EvalVariables::readNamed(std::u16string_view name) {
  if (name.starts_with(u"_HAL[") || name.starts_with(u"_INI[")) {
    unknownRead = kMachineName;
    return Value::unknown();
  }
  const std::u16string key(name);
  if (!name.empty() && name[0] == u'_') {
    if (const auto found = namedGlobals_.find(key); found != namedGlobals_.end()) return found->second;
  } else if (const auto found = namedLocals_.back().find(key); found != namedLocals_.back().end()) {
    return found->second;
  }
  unsetNamed = key;
  return Value::of(0);
}

bool EvalVariables::exists(std::u16string_view name) {
  const std::u16string key(name);
  return namedGlobals_.contains(key) || namedLocals_.back().contains(key);
}

void EvalVariables::writeNamed(std::u16string_view name, Value value) {
  std::u16string key(name);
  if (!name.empty() && name[0] == u'_') {
    namedGlobals_[std::move(key)] = value;
  } else {
    namedLocals_.back()[std::move(key)] = value;
  }
}
