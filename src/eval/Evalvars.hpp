// The variables of an evaluation: local levels, commons, LinuxCNC numbered and named parameters, and the
// system variables a viewer can know (modal codes, the previous block's words, the current position).
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "eval/Evalexpr.hpp"

// What the interpreter knows while evaluation runs: it has read every block handed on so far.
class MachineState {
 public:
  virtual ~MachineState() = default;
  // The end point of the latest block in work coordinates: axis 0, 1, 2 for X, Y, Z.
  virtual double position(int axis) const = 0;
  // The code in force of a Fanuc modal group (1 motion, 2 plane, 3 distance, 7 cutter compensation, 8 tool
  // length, 9 cycle, 14 work coordinates); -1 when the interpreter does not keep it.
  virtual int modalCode(int group) const = 0;
};

class EvalVariables : public VariableReader {
 public:
  static constexpr int kLocals = 33;
  // What unknownRead holds after a read of #<_HAL[…]> or #<_INI[…]>.
  static constexpr int kMachineName = -2;
  EvalVariables(Dialect dialect, const std::map<std::string, double, std::less<>>& seeds,
                const MachineState* machine);

  Value read(double number) override;
  Value readNamed(std::u16string_view name) override;
  bool exists(std::u16string_view name) override;
  // Sets #number; false (with `error` said) for one that cannot be set.
  bool write(double number, Value value, std::string& error);
  void writeNamed(std::u16string_view name, Value value);

  // A new local level (G65, G66, o-word call): every local vacant (LinuxCNC: 0).
  void pushLocals();
  void popLocals();
  void setLocal(int number, Value value);
  // The words of the latest block handed on, for #4102 … #4120.
  void noteWord(char16_t letter, double value);
  // A probing move (G38.x) or skip (G31) ran: only the machine knows where it stopped.
  void forgetProbeResults();

  // The variable whose value a viewer cannot know that was read last (0 for none); the named parameter read
  // before it was set ("" for none). The evaluator reports and clears them.
  int unknownRead = 0;
  std::u16string unsetNamed;

 private:
  Value system(int number) const;

  Dialect dialect_;
  const MachineState* machine_;
  std::vector<std::array<Value, kLocals + 1>> locals_;
  std::vector<std::unordered_map<std::u16string, Value>> namedLocals_;
  std::unordered_map<int, Value> numbered_;  // commons and seeded system values
  std::unordered_map<std::u16string, Value> namedGlobals_;
  std::array<double, 26> previousWords_{};
  std::array<bool, 26> previousGiven_{};
};
