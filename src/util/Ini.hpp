// Single keys of an INI settings file ("[section]" lines, "key=value" lines), read and written in place.
//
// Section and key names compare without regard to ASCII case. Writing keeps every other line, and the order
// of sections and keys, as it was; the file is replaced in one step, so a failed write leaves it untouched.
// The file is UTF-8 (a byte-order mark is accepted when reading).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/Files.hpp"

inline constexpr std::size_t kIniValueLimit = 2047;

// The value of `key` in [section], blanks around it removed (and one pair of quotes around that), at most
// kIniValueLimit characters; "" when the file, the section or the key is missing. Blanks around the section
// and key names do not count.
std::u16string iniReadString(std::u16string_view section, std::u16string_view key, const std::string& path);
// Sets key = value in [section], creating the file, section and key as needed, so that iniReadString gives
// the value back (line breaks in it become blanks). Refused, with nothing written, when that cannot be:
// empty names, a line break in a name, a ']' in the section, a '=' in the key or a '[' at its start, a value
// longer than kIniValueLimit.
FileResult iniWriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                          const std::string& path);
struct IniEntry {
  std::u16string key;
  std::u16string value;
};
// Several keys of [section] set in one write of the file: all of them, or none when one cannot be stored.
FileResult iniWriteStrings(std::u16string_view section, const std::vector<IniEntry>& entries,
                           const std::string& path);
// The same write, reporting only whether it succeeded.
bool writeProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                        const std::string& path);
