// Profile files: `.velmora.ini` read into a control profile, every line that cannot be used told as a note,
// and the file of a program found in its folder or the folders above.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "nc/Ncproblems.hpp"
#include "nc/Ncprofile.hpp"
#include "util/Files.hpp"

namespace {

using View = std::string_view;

// One "key = value" line of a section, blanks around both removed.
struct IniSetting {
  std::string section;  // lower case
  std::string key;      // as written
  std::string value;
  int line = 0;
};

View trimmed(View text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string lowered(View text) {
  std::string out(text);
  for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return out;
}

std::string inQuotes(View text) { return "\"" + std::string(text) + "\""; }

// A whole text as a number; nothing for anything else ("1.5mm", "", "nan").
std::optional<double> numberOf(View text) {
  double value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<long long> wholeNumberOf(View text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

class ProfileReader {
 public:
  ProfileReader(const std::string& path, ControlProfile& profile) : path_(path), profile_(profile) {}

  // The settings of the file's lines; the lines that are none become notes.
  std::vector<IniSetting> settingsOf(const std::string& bytes) {
    std::vector<IniSetting> settings;
    std::string section;
    int line = 0;
    for (std::size_t start = 0; start < bytes.size();) {
      std::size_t end = bytes.find_first_of("\r\n", start);
      if (end == std::string::npos) end = bytes.size();
      const View text = trimmed(View(bytes).substr(start, end - start));
      ++line;
      start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      const std::size_t equals = text.find('=');
      // ';' starts a comment line; so does '#', except for a variable's setting ("#2001 = 5").
      if (text.empty() || text.front() == ';' || (text.front() == '#' && equals == View::npos)) continue;
      if (text.front() == '[' && text.back() == ']') {
        section = lowered(trimmed(text.substr(1, text.size() - 2)));
        if (!isKnownSection(section)) note(line, "unknown section [" + section + "]: its settings are ignored");
        continue;
      }
      if (equals == View::npos) {
        note(line, "not a setting (KEY = VALUE): " + inQuotes(text));
        continue;
      }
      if (!isKnownSection(section)) continue;
      settings.push_back({section, std::string(trimmed(text.substr(0, equals))),
                          std::string(trimmed(text.substr(equals + 1))), line});
    }
    return settings;
  }

  void apply(const IniSetting& s) {
    if (s.section == "check") {
      applyCheck(s);
    } else if (s.section == "rules") {
      applyRule(s);
    } else if (s.section == "eval") {
      applyEval(s);
    } else if (s.section == "variables") {
      applyVariable(s);
    } else if (s.section == "tools") {
      applyTool(s);
    } else if (s.section == "offsets") {
      applyOffset(s);
    }
  }

  void note(int line, std::string message) { profile_.notes.push_back({path_, line, std::move(message)}); }

 private:
  static bool isKnownSection(View section) {
    for (View known : {"check", "rules", "eval", "variables", "tools", "offsets"}) {
      if (section == known) return true;
    }
    return false;
  }

  void unknownKey(const IniSetting& s) {
    note(s.line, "unknown key " + inQuotes(s.key) + " in [" + s.section + "]");
  }
  void badValue(const IniSetting& s, View expected) {
    note(s.line,
         "unusable value " + inQuotes(s.value) + " for " + s.key + ": " + std::string(expected) + " expected");
  }

  void applyCheck(const IniSetting& s) {
    const std::string key = lowered(s.key);
    if (key == "control") {
      // Taken before the other settings, as the defaults they change.
      if (!controlNamed(s.value)) badValue(s, "strict, fanuc, haas, linuxcnc, grbl or mach3");
    } else if (key == "decimal_input") {
      const std::string value = lowered(s.value);
      if (value == "standard" || value == "calculator") {
        profile_.decimalInput = value == "standard" ? DecimalInput::standard : DecimalInput::calculator;
      } else {
        badValue(s, "standard or calculator");
      }
    } else if (key == "stock_top") {
      const auto value = numberOf(s.value);
      if (!value) return badValue(s, "a number");
      profile_.stockTop = *value;
    } else if (key == "arc_tolerance") {
      const auto value = numberOf(s.value);
      if (!value || *value <= 0) return badValue(s, "a number above 0");
      profile_.arcTolerance = *value;
    } else {
      unknownKey(s);
    }
  }

  void applyRule(const IniSetting& s) {
    const std::string id = lowered(s.key);
    bool known = false;
    for (int r = 0; r < kRuleCount && !known; ++r) known = ruleInfo(static_cast<Rule>(r)).id == id;
    if (!known) return unknownKey(s);
    constexpr std::pair<View, RuleSetting> kSettings[] = {
        {"off", RuleSetting::off}, {"warning", RuleSetting::warning}, {"error", RuleSetting::error}};
    const std::string value = lowered(s.value);
    for (const auto& [name, setting] : kSettings) {
      if (value == name) {
        profile_.rules[id] = setting;
        return;
      }
    }
    badValue(s, "off, warning or error");
  }

  void applyEval(const IniSetting& s) {
    const std::string key = lowered(s.key);
    if (key == "subroutine_path") {
      for (std::size_t from = 0; from <= s.value.size();) {
        std::size_t end = s.value.find(';', from);
        if (end == std::string::npos) end = s.value.size();
        const View folder = trimmed(View(s.value).substr(from, end - from));
        if (!folder.empty()) profile_.subroutinePath.push_back(besideFile(folder));
        from = end + 1;
      }
      return;
    }
    const auto value = wholeNumberOf(s.value);
    if (key == "max_blocks" || key == "call_depth" || key == "max_call_depth") {
      if (!value || *value < 1 || (key != "max_blocks" && *value > 1000)) {
        return badValue(s, "a whole number above 0");
      }
      if (key == "max_blocks") {
        profile_.maxBlocks = *value;
      } else {
        profile_.maxCallDepth = static_cast<int>(*value);
      }
      return;
    }
    unknownKey(s);
  }

  void applyVariable(const IniSetting& s) {
    if (s.key.empty()) return unknownKey(s);
    const auto value = numberOf(s.value);
    if (!value) return badValue(s, "a number");
    profile_.variables[s.key] = *value;
  }

  void applyTool(const IniSetting& s) {
    const std::string key = lowered(s.key);
    if (key == "table") {
      profile_.toolTable = besideFile(s.value);
      return;
    }
    const auto number = key.size() > 1 && key[0] == 'd' ? wholeNumberOf(View(key).substr(1)) : std::nullopt;
    if (!number || *number < 0 || *number > 9999) return unknownKey(s);
    const auto diameter = numberOf(s.value);
    if (!diameter || *diameter < 0) return badValue(s, "a diameter of 0 or more");
    profile_.toolDiameters[static_cast<int>(*number)] = *diameter;
  }

  // G54 = X Y Z, by blanks or commas.
  void applyOffset(const IniSetting& s) {
    const std::string key = lowered(s.key);
    const auto number = key.size() == 3 && key[0] == 'g' ? wholeNumberOf(View(key).substr(1)) : std::nullopt;
    if (!number || *number < 54 || *number > 59) return unknownKey(s);
    std::array<double, 3> axes{};
    int count = 0;
    std::string values = s.value;
    for (char& c : values) c = c == ',' ? ' ' : c;
    for (std::size_t from = 0; from < values.size();) {
      const std::size_t start = values.find_first_not_of(" \t", from);
      if (start == std::string::npos) break;
      const std::size_t end = std::min(values.find_first_of(" \t", start), values.size());
      const auto value = numberOf(View(values).substr(start, end - start));
      if (!value || count == 3) return badValue(s, "X Y Z");
      axes[static_cast<std::size_t>(count++)] = *value;
      from = end;
    }
    if (count != 3) return badValue(s, "X Y Z");
    profile_.workOffsets[static_cast<std::size_t>(*number - 54)] = axes;
  }

  // A relative path in the file is taken from the file's folder.
  std::string besideFile(View path) const {
    const std::filesystem::path given{std::string(path)};
    if (given.is_absolute()) return std::string(path);
    return (std::filesystem::path(path_).parent_path() / given).lexically_normal().string();
  }

  const std::string& path_;
  ControlProfile& profile_;
};

}  // namespace

ControlProfile loadProfileFile(const std::string& path, std::optional<Control> control) {
  ControlProfile profile;
  ProfileReader reader(path, profile);
  const std::optional<std::string> bytes = readUtf8File(path);
  if (!bytes) {
    reader.note(0, "cannot read the profile file");
  } else {
    const std::vector<IniSetting> settings = reader.settingsOf(*bytes);
    std::optional<Control> named;
    for (const IniSetting& s : settings) {
      if (s.section == "check" && lowered(s.key) == "control") named = controlNamed(s.value);
    }
    std::vector<ProfileNote> notes = std::move(profile.notes);
    profile = defaultProfile(control.value_or(named.value_or(Control::strict)));
    profile.notes = std::move(notes);
    for (const IniSetting& s : settings) reader.apply(s);
    std::stable_sort(profile.notes.begin(), profile.notes.end(),
                     [](const ProfileNote& a, const ProfileNote& b) { return a.line < b.line; });
  }
  profile.sourceFile = path;
  if (control) profile.control = *control;
  return profile;
}

std::string findProfileFile(const std::string& programPath) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::absolute(programPath, error).parent_path();
  if (error) return {};
  for (;;) {
    const std::filesystem::path candidate = folder / kProfileFileName;
    if (fileExists(candidate.string()) && !isDirectory(candidate.string())) return candidate.string();
    if (!folder.has_relative_path()) return {};
    folder = folder.parent_path();
  }
}
