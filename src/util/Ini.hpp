// Single keys of an INI settings file ("[section]" lines, "key=value" lines), read and written in place.
//
// Section and key names compare without regard to ASCII case. Writing keeps every other line, and the order
// of sections and keys, as it was; the file is replaced in one step, so a failed write leaves it untouched.
// The file is UTF-8 (a byte-order mark is accepted when reading).
#pragma once

#include <string>
#include <string_view>

#include "util/Files.hpp"

inline constexpr std::size_t kIniValueLimit = 2047;

// The value of `key` in [section], blanks around it removed, at most kIniValueLimit characters; "" when the
// file, the section or the key is missing.
std::u16string iniReadString(std::u16string_view section, std::u16string_view key, const std::string& path);
// Sets key = value in [section], creating the file, section and key as needed. Names containing a line break,
// a '=' in a key or a ']' in a section are refused; line breaks in the value become blanks.
FileResult iniWriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                          const std::string& path);
// The same write, reporting only whether it succeeded.
bool writeProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                        const std::string& path);
