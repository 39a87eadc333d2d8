// Macro evaluation: expressions under both dialects, and programs run to their blocks and problems.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "eval/Evaluator.hpp"
#include "util/Text.hpp"

namespace {

struct NoMachine : MachineState {
  double position(int axis) const override { return axis * 100.0; }
  int modalCode(int group) const override { return group == 1 ? 1 : -1; }
};

// The value of `text`, or NaN for a fault, with the fault's rule in `rule`.
double valueOf(const char* text, Dialect dialect, EvalRule* rule = nullptr) {
  NoMachine machine;
  EvalVariables vars(dialect, {{"#500", 2.5}, {"#<_seed>", 4}}, &machine);
  std::string error;
  vars.write(1, Value::of(3), error);
  ExprPool pool;
  std::u16string code = fromUtf8(text);
  std::size_t pos = 0;
  const int root = parseExpression(code, pos, dialect, pool);
  if (root < 0 || pos != code.size()) return -12345;
  ExprFault fault;
  const Value v = evaluate(pool, root, dialect, vars, fault);
  if (fault.raised) {
    if (rule) *rule = fault.rule;
    return std::nan("");
  }
  return v.isVacant() ? -999 : v.isUnknown() ? -777 : v.number;
}

TEST(Evalexpr, ValuesUnderEachDialect) {
  struct Row {
    const char* text;
    double fanuc, linuxcnc;
  };
  const Row rows[] = {
      {"1+2*3", 7, 7},
      {"[1+2]*3", 9, 9},
      {"1OR2", 3, 1},  // bitwise on Fanuc, logical on LinuxCNC
      {"6AND3", 2, 1},
      {"5XOR1", 4, 0},
      {"1+2AND3", 3, 1},  // Fanuc: AND binds like *, so 1 + (2 AND 3)
      {"FIX[-2.8]", -2, -3},
      {"FUP[-2.8]", -3, -2},
      {"FUP[2.1]", 3, 3},
      {"ROUND[-2.5]", -3, -3},
      {"ATAN[-1]/[-1]", 225, -135},
      {"ATAN[1]/[1]", 45, 45},
      {"-7MOD3", -1, 2},
      {"2**3**2", 512, 512},
      {"1EQ1.0000001", 0, 1},  // LinuxCNC compares within 1e-6
      {"#1*2", 6, 6},
      {"#2", -999, 0},  // a never-set local: vacant, or 0
      {"#2+1", 1, 1},
      {"#2EQ#0", 1, 1},
      {"#2EQ0", 0, 1},
      {"#2GE#0", 1, 1},
      {"#500", 2.5, 2.5},  // seeded by the profile
      {"#501", -777, 0},   // unknown machine data, or a LinuxCNC global read as 0
      {"#5002", 100, -777},
      {"#5421", -777, 100},
      {"#4001", 1, 0},
      {"#[#1-2]", 3, 3},
      {"SQRT[16]+ABS[-2]+SIN[90]+COS[0]+LN[EXP[1]]", 9, 9},
      {"EXISTS[#<_SEED>]", 1, 1},
      {"[2==2]+[1>=3]+[1!=1]", 1, 1},  // the comparison symbols some controls write
      {".", 0, 0},
  };
  for (const Row& r : rows) {
    EXPECT_DOUBLE_EQ(valueOf(r.text, Dialect::fanuc), r.fanuc) << r.text;
    EXPECT_DOUBLE_EQ(valueOf(r.text, Dialect::linuxcnc), r.linuxcnc) << r.text;
  }
}

TEST(Evalexpr, FaultsAndSyntax) {
  struct Row {
    const char* text;
    EvalRule rule;
  };
  const Row rows[] = {{"1/0", EvalRule::divisionByZero}, {"1MOD0", EvalRule::divisionByZero},
                      {"SQRT[-1]", EvalRule::domain},    {"ASIN[2]", EvalRule::domain},
                      {"LN[0]", EvalRule::domain},       {"[-8]**0.5", EvalRule::domain}};
  for (const Row& r : rows) {
    EvalRule rule = EvalRule::syntax;
    EXPECT_TRUE(std::isnan(valueOf(r.text, Dialect::linuxcnc, &rule))) << r.text;
    EXPECT_EQ(rule, r.rule) << r.text;
  }
  for (const char* bad : {"[1+2", "1+", "SIN1", "#<A", ""}) EXPECT_EQ(valueOf(bad, Dialect::fanuc), -12345) << bad;
}

struct EvalRun {
  std::vector<std::string> blocks;  // "line:text" without the line feed
  std::vector<EvalProblem> problems;
  bool completed = true;
};

EvalRun run(const char* program, Dialect dialect = Dialect::fanuc, std::int64_t maxLines = 100000,
            const std::atomic<bool>* stop = nullptr) {
  EvalFiles files(dialect, {});
  files.addMainLines(fromUtf8(program), "");
  EvalOptions options;
  options.dialect = dialect;
  options.maxLines = maxLines;
  options.stop = stop;
  NoMachine machine;
  Evaluator evaluator(files, options, &machine);
  EvalRun result;
  result.completed = evaluator.run([&](std::u16string_view text, int, int line) {
    std::string t = toUtf8(text);
    if (!t.empty() && t.back() == '\n') t.pop_back();
    result.blocks.push_back(std::to_string(line) + ":" + t);
  });
  result.problems = evaluator.problems();
  return result;
}

std::string joined(const EvalRun& r) {
  std::string out;
  for (const std::string& b : r.blocks) out += b + "|";
  return out;
}

TEST(Evaluator, FlowAndCalls) {
  struct Row {
    const char* program;
    Dialect dialect;
    const char* blocks;
  };
  const Row rows[] = {
      // Words evaluated and rounded, vacant words dropped, comments kept.
      {"#1=1.23456\nG01X#1Y#2(C)\nM#1S[#1*100]\n", Dialect::fanuc, "2:G01X1.235(C)|3:M1S123|"},
      {"#1=2\nN5X#1\n#1=#1-1\nIF[#1GT0]GOTO5\nM30\nX9\n", Dialect::fanuc, "2:N5X2.|2:N5X1.|5:M30|"},
      {"IF[1EQ1]THEN#1=4\nX#1\n", Dialect::fanuc, "2:X4.|"},
      // Conditions without brackets, address arithmetic without brackets, an empty assignment.
      {"#1=3\n#2=\nIF #1>2 GOTO 7\nX1\nN7 WHILE #1 <= 4 DO1\nX#1-#2*2 Y#2\n#1=#1+1\nEND1\n", Dialect::fanuc,
       "6:X3.|6:X4.|"},
      {"DO1\n#1=#1+1\nIF[#1GE2]GOTO9\nEND1\nN9X#1\n", Dialect::fanuc, "5:N9X2.|"},
      // M97 and M99 P: a local subprogram, a return to a sequence number.
      {"M97P10L2\nX1\nM30\nN10Y2\nM99\n", Dialect::fanuc, "4:N10Y2|4:N10Y2|2:X1|3:M30|"},
      {"M98P7\nX1\nN8X2\nM30\nO7\nM99P8\n", Dialect::fanuc, "3:N8X2|4:M30|"},
      // G66: the macro follows each block that moves, until G67.
      {"G66P9A1.\nX1\nX2\nG67\nX3\nM30\nO9\nY#1\nM99\n", Dialect::fanuc, "2:X1|8:Y1.|3:X2|8:Y1.|5:X3|6:M30|"},
      // LinuxCNC: parameters set after the line, named parameters, loops, branches, return values.
      {"#1=1\n#1=2 G1 X#1\n", Dialect::linuxcnc, "2:G1X1.|"},
      {"#<_i>=0\no1 repeat [3]\nX#<_i>\n#<_i>=[#<_i>+1]\no1 endrepeat\n", Dialect::linuxcnc, "3:X0.|3:X1.|3:X2.|"},
      {"#<_i>=0\no2 do\n#<_i>=[#<_i>+1]\no3 if [#<_i> EQ 2]\no2 continue\no3 endif\nX#<_i>\no2 while [#<_i> LT "
       "4]\n",
       Dialect::linuxcnc, "7:X1.|7:X3.|7:X4.|"},
      {"#<_i>=0\no4 while [1]\n#<_i>=[#<_i>+1]\no5 if [#<_i> GT 2]\no4 break\no5 elseif [#<_i> EQ 1]\nX1\no5 "
       "else\nX2\n"
       "o5 endif\no4 endwhile\nY#<_i>\n",
       Dialect::linuxcnc, "7:X1|9:X2|12:Y3.|"},
      {"o<f> sub\no<f> return [#1*2]\no<f> endsub\no<f> call [21]\nX#<_value>\nM2\n", Dialect::linuxcnc,
       "5:X42.|6:M2|"},
      // Polar words from the current point (0, 100): absolute, incremental, a repeat turning on; a feed from
      // machine data still makes a block.
      {"^90 @5\nG91 @5\nG91 G81 ^-90 L2\n", Dialect::linuxcnc,
       "1:X0.Y5.|2:G91X0.Y5.|3:G91G81X100.Y-100.|3:X100.Y-100.|"},
      {"F#<_HAL[A]>\nG1X1\n", Dialect::linuxcnc, "1:|2:G1X1|"},
      // A /* */ comment over lines is closed on each line, so that every line reads alone; what it holds is never
      // run. One that never closes stays open as written.
      {"X1/*A\n#1=5\nB*/Y#1 X2\n", Dialect::fanuc, "1:X1/*A*/|2:/*#1=5*/|3:X2(B)|"},
      {"#1=3\nX#1(C/*\nD*/Y1\n", Dialect::fanuc, "2:X3.(C/**/)|3:/*D*/Y1|"},
      {"X1/*A\n#1=5\nX#1\n", Dialect::fanuc, "1:X1/*A|2:#1=5|3:X#1|"},
  };
  for (const Row& r : rows) EXPECT_EQ(joined(run(r.program, r.dialect)), r.blocks) << r.program;
}

TEST(Evaluator, LimitsAndErrorsStopWithAProblemAtTheirLine) {
  struct Row {
    const char* program;
    Dialect dialect;
    EvalRule rule;
    int line;
    const char* phrase;
    bool certain = true;
  };
  const Row rows[] = {
      {"X1\nWHILE[1EQ1]DO1\nG91X1\nEND1\n", Dialect::fanuc, EvalRule::iterationLimit, 2, "WHILE at line 2 ran"},
      {"N1X1\nGOTO1\n", Dialect::fanuc, EvalRule::iterationLimit, 2, "GOTO at line 2 jumped back"},
      {"o1 do\no1 while [1]\n", Dialect::linuxcnc, EvalRule::iterationLimit, 1, "o-word loop at line 1"},
      {"DO1\nDO2\nDO3\nDO1\n", Dialect::fanuc, EvalRule::nesting, 4, "deeper than 3"},
      {"END1\n", Dialect::fanuc, EvalRule::nesting, 1, "without its DO1"},
      {"GOTO77\n", Dialect::fanuc, EvalRule::undefinedLabel, 1, "N77"},
      {"#3000=12(NO TOOL)\nX1\n", Dialect::fanuc, EvalRule::alarm, 1, "alarm 12 (NO TOOL)"},
      {"X[1/#1]\n", Dialect::fanuc, EvalRule::divisionByZero, 1, "division by zero"},
      {"M98P4321\n", Dialect::fanuc, EvalRule::subprogramNotFound, 1, "O4321"},
      {"o<nowhere> call\n", Dialect::linuxcnc, EvalRule::subprogramNotFound, 1, "<NOWHERE>"},
      {"X#<undefined>\n", Dialect::linuxcnc, EvalRule::syntax, 1, "before it is set"},
      {"#0=1\n", Dialect::fanuc, EvalRule::syntax, 1, "#0"},
      {"G01X[1+\n", Dialect::fanuc, EvalRule::syntax, 1, "cannot be read"},
      // A subprogram run without the arguments of a call, another control's operators, a line not read: what
      // the run finds then is uncertain.
      {"O9001\nIF[#1NE#0]GOTO9\n#3000=1(NO ARGUMENT)\nN9G01X#1\nM99\n", Dialect::fanuc, EvalRule::alarm, 3,
       "ran on its own", false},
      {"#1=0\nIF[#1==1]GOTO5\n#2=1/#1\n", Dialect::fanuc, EvalRule::divisionByZero, 3,
       "operators such as ==", false},
      {"#1=[2\n#2=1/#3\n", Dialect::fanuc, EvalRule::divisionByZero, 2, "after a line", false},
      // A skip move leaves where it stopped to the machine: the loop waiting for it ends.
      {"#5070=1\nWHILE[#5070NE0]DO1\nG31Z-1.\nEND1\nX1\n", Dialect::fanuc, EvalRule::unknownValue, 2, "#5070"},
  };
  for (const Row& r : rows) {
    const EvalRun result = run(r.program, r.dialect, 1000);
    ASSERT_FALSE(result.problems.empty()) << r.program;
    const EvalProblem& p = result.problems.back();
    EXPECT_EQ(p.rule, r.rule) << r.program;
    EXPECT_EQ(p.line, r.line) << r.program;
    EXPECT_NE(p.message.find(r.phrase), std::string::npos) << p.message;
    EXPECT_EQ(p.certain, r.certain) << r.program;
  }
  // The blocks before a limit are kept.
  EXPECT_EQ(run("X1\nWHILE[1EQ1]DO1\nG91X1\nEND1\n", Dialect::fanuc, 10).blocks.size(), 4u);
  // Vacant and unknown words are left out; an unknown one is reported once.
  const EvalRun unknown = run("X#500Y1\nX#500Y2\n");
  EXPECT_EQ(joined(unknown), "1:Y1|2:Y2|");
  ASSERT_EQ(unknown.problems.size(), 1u);
  EXPECT_EQ(unknown.problems[0].rule, EvalRule::unknownValue);
  // The stop flag ends an endless loop.
  std::atomic<bool> stop{true};
  EXPECT_FALSE(run("DO1\nEND1\n", Dialect::fanuc, 1'000'000, &stop).completed);
}

}  // namespace
