// A control profile: which control a program is written for, as data that every stage of a reading reads —
// the reading of numbers, the evaluation of macros, the arc verdicts, the lint rules, the compensation.
// Pass it down; nothing looks it up globally.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The controls a profile can name; `strict` keeps the arc rule and the reading of numbers of old.
enum class Control : std::uint8_t { strict, fanuc, haas, linuxcnc, grbl, mach3 };
inline constexpr int kControlCount = 6;

// How a literal X Y Z I J K R Q value without a decimal point is read: as written (`calculator`), or in least
// increments, 0.001 mm or 0.0001 in (`standard`).
enum class DecimalInput : std::uint8_t { calculator, standard };

// What a `[rules]` line or the command line sets a rule to.
enum class RuleSetting : std::uint8_t { byDefault, off, warning, error };

// Something a profile file says that cannot be used: reported as a warning naming the file and line.
struct ProfileNote {
  std::string file;  // as given, never made absolute
  int line = 0;
  std::string message;  // UTF-8
};

struct ControlProfile {
  Control control = Control::strict;
  DecimalInput decimalInput = DecimalInput::calculator;
  // The fanuc and haas arc limit in program units; unset: the strict rule's.
  std::optional<double> arcTolerance;
  // The Z of the stock's top for the rapid rules; unset: Z0 is assumed and said so.
  std::optional<double> stockTop;
  // Rule id (as `check` prints it) → what the profile file or the command line sets it to.
  std::map<std::string, RuleSetting, std::less<>> rules;

  // Evaluation: known values of variables ([variables]: `#2001 = 5.0`, `#<_x> = 1`), where called programs
  // are looked for besides the program's folder, and the limits.
  std::map<std::string, double, std::less<>> variables;
  std::vector<std::string> subroutinePath;
  int maxCallDepth = 10;
  std::int64_t maxBlocks = 20'000'000;
  // Work offsets G54 … G59 (index 0 … 5) as X, Y, Z; unset ones are 0.
  std::array<std::array<double, 3>, 6> workOffsets{};

  // Compensation: a tool table file ([tools] table = FILE) and diameters by offset number ([tools] D1 = 10.0).
  std::string toolTable;
  std::map<int, double> toolDiameters;

  // The file the profile was read from ("" when none was), and what in it could not be used.
  std::string sourceFile;
  std::vector<ProfileNote> notes;
};

// The profile's name as the command line and the files spell it ("strict", "fanuc" …).
std::string_view controlName(Control control);
// The control of that name (ASCII case ignored); nullopt for none.
std::optional<Control> controlNamed(std::string_view name);
// The built-in defaults of a control: its decimal input and the like.
ControlProfile defaultProfile(Control control);

// The name of the profile file looked for beside a program and in the folders above it.
inline constexpr std::string_view kProfileFileName = ".velmora.ini";

// The profile a file gives: the built-in defaults of the control it names ([check] control; `control` when
// given wins over the file's), then what the file sets. A key or value that cannot be used, a line that is
// no setting, or a file that cannot be read, becomes a note naming the file and line.
ControlProfile loadProfileFile(const std::string& path, std::optional<Control> control = std::nullopt);
// The profile file of a program: `.velmora.ini` in the program's folder or the nearest folder above it that
// has one; "" when none has.
std::string findProfileFile(const std::string& programPath);
