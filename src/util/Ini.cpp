// The INI settings file: read one key, write one key and keep the rest of the file as it was.
#include "util/Ini.hpp"

#include <optional>
#include <vector>

#include "util/Text.hpp"

namespace {

using Lines = std::vector<std::string>;

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> sectionNameOf(std::string_view line) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trimmed(line.substr(1, close - 1));
}

bool isKeyLine(std::string_view line, std::string_view key) {
  const std::size_t equals = line.find('=');
  return equals != std::string_view::npos && sameName(trimmed(line.substr(0, equals)), key);
}

// Lines of the file; nothing when it exists but cannot be read, no lines when it does not exist.
std::optional<Lines> readLines(const std::string& path) {
  if (!isDirectory(path) && !fileExists(path)) return Lines{};
  const std::optional<std::string> read = readUtf8File(path);
  if (!read) return std::nullopt;
  const std::string& bytes = *read;
  Lines lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

// Index range [first, end) of the lines of [section]; first = 0 and end = 0 when it is missing.
std::pair<std::size_t, std::size_t> sectionRange(const Lines& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = sectionNameOf(lines[i]);
    if (!name || !sameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !sectionNameOf(lines[end])) ++end;
    return {i + 1, end};
  }
  return {0, 0};
}

std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void setKey(Lines& lines, const std::string& section, const std::string& key, const std::string& value) {
  const std::string keyLine = key + "=" + value;
  const auto [first, end] = sectionRange(lines, section);
  if (first == 0) {
    if (!lines.empty() && !trimmed(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(keyLine);
    return;
  }
  for (std::size_t i = first; i < end; ++i) {
    if (isKeyLine(lines[i], key)) {
      lines[i] = std::string(trimmed(std::string_view(lines[i]).substr(0, lines[i].find('=')))) + "=" + value;
      return;
    }
  }
  std::size_t insertAt = end;
  while (insertAt > first && trimmed(lines[insertAt - 1]).empty()) --insertAt;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// Names compare trimmed, when written and when read alike.
std::string nameOf(std::u16string_view name) { return std::string(trimmed(toUtf8(name))); }

// Why a name pair cannot be stored so that it reads back as itself; "" when it can.
std::string_view unstorableName(std::string_view section, std::string_view key) {
  if (section.empty() || key.empty()) return "an empty section or key name";
  if (hasLineBreak(section) || hasLineBreak(key)) return "a line break in the section or key name";
  if (section.find(']') != std::string_view::npos) return "a ']' in the section name";
  if (key.find('=') != std::string_view::npos) return "a '=' in the key name";
  // The key's line would read back as a section header.
  if (key.front() == '[') return "a key name beginning with '['";
  return {};
}

// The value as its line holds it: line breaks become blanks, and a value that the reader would trim or
// unquote is quoted, so that it reads back as written.
std::string storedValue(std::u16string_view value) {
  std::string text = toUtf8(value);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  if (trimmed(text) != text || unquoted(text) != text) return '"' + text + '"';
  return text;
}

}  // namespace

std::u16string iniReadString(std::u16string_view section, std::u16string_view key, const std::string& path) {
  const std::optional<Lines> lines = readLines(path);
  if (!lines) return {};
  const std::string keyName = nameOf(key);
  const auto [first, end] = sectionRange(*lines, nameOf(section));
  for (std::size_t i = first; i < end; ++i) {
    const std::string_view line = (*lines)[i];
    if (!isKeyLine(line, keyName)) continue;
    std::u16string value = fromUtf8(unquoted(trimmed(line.substr(line.find('=') + 1))));
    if (value.size() > kIniValueLimit) value.resize(kIniValueLimit);
    return value;
  }
  return {};
}

FileResult iniWriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                          const std::string& path) {
  return iniWriteStrings(section, {{std::u16string(key), std::u16string(value)}}, path);
}

FileResult iniWriteStrings(std::u16string_view section, const std::vector<IniEntry>& entries,
                           const std::string& path) {
  const std::string sectionName = nameOf(section);
  for (const IniEntry& entry : entries) {
    if (const std::string_view why = unstorableName(sectionName, nameOf(entry.key)); !why.empty()) {
      return {false, "cannot write to " + path + ": " + std::string(why) + " cannot be stored"};
    }
    if (entry.value.size() > kIniValueLimit) {
      return {false, "cannot write to " + path + ": a value longer than " + std::to_string(kIniValueLimit) +
                         " characters cannot be read back"};
    }
  }
  std::optional<Lines> lines = readLines(path);
  if (!lines) return {false, "cannot read " + path + ", so it is not written over"};
  for (const IniEntry& entry : entries) setKey(*lines, sectionName, nameOf(entry.key), storedValue(entry.value));
  std::string bytes;
  for (const std::string& line : *lines) bytes += line + "\n";
  return writeFileAtomically(path, bytes);
}

bool writeProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                        const std::string& path) {
  return iniWriteString(section, key, value, path).ok;
}
