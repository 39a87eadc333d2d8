// The controls by name and their built-in defaults.
#include "nc/Ncprofile.hpp"

#include <array>

namespace {

constexpr std::array<std::string_view, kControlCount> kNames{"strict", "fanuc", "haas", "linuxcnc", "grbl", "mach3"};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string_view controlName(Control control) { return kNames[static_cast<std::size_t>(control)]; }

std::optional<Control> controlNamed(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (sameIgnoringCase(name, kNames[i])) return static_cast<Control>(i);
  }
  return std::nullopt;
}

ControlProfile defaultProfile(Control control) {
  ControlProfile profile;
  profile.control = control;
  // Fanuc-type controls read a number without a point in least increments unless a parameter says otherwise.
  if (control == Control::fanuc || control == Control::haas) profile.decimalInput = DecimalInput::standard;
  return profile;
}
