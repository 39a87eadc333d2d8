// Fuzz target: writing one key of a settings file and reading it back. The input is the file's bytes, then,
// each after a NUL, the section, key and value to write and a second section and key to watch.
#include <array>
#include <fstream>
#include <iterator>

#include "FuzzSupport.hpp"
#include "util/Ini.hpp"
#include "util/Text.hpp"

namespace {

struct Input {
  std::string_view file;
  std::u16string section, key, value, otherSection, otherKey;
};

Input split(std::string_view bytes) {
  std::array<std::string_view, 6> parts{};
  for (std::size_t i = 0; i < parts.size() && !bytes.empty(); ++i) {
    const std::size_t nul = bytes.find('\0');
    parts[i] = bytes.substr(0, nul);
    bytes = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
  }
  return {parts[0],           fromUtf8(parts[1]), fromUtf8(parts[2]),
          fromUtf8(parts[3]), fromUtf8(parts[4]), fromUtf8(parts[5])};
}

// Names as the settings file compares them: blanks around them do not count, nor ASCII case.
bool sameName(std::u16string_view a, std::u16string_view b) {
  const auto folded = [](std::u16string_view name) {
    std::string text = toUtf8(name);
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
  };
  return folded(a) == folded(b);
}

std::u16string withoutLineBreaks(std::u16string text) {
  for (char16_t& c : text) c = (c == u'\r' || c == u'\n') ? u' ' : c;
  return text;
}

std::string bytesAt(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFolder folder;
  const std::string path = folder.path() + "fuzz.INI";
  const Input in = split(bytesOf(data, size));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << in.file;
  const std::string before = bytesAt(path);
  const std::u16string otherBefore = iniReadString(in.otherSection, in.otherKey, path);

  const FileResult written = iniWriteString(in.section, in.key, in.value, path);
  if (!written.ok) {
    require(bytesAt(path) == before, "a refused write leaves the file as it was");
    return 0;
  }
  require(iniReadString(in.section, in.key, path) == withoutLineBreaks(in.value), "a written value reads back");
  if (!sameName(in.section, in.otherSection) || !sameName(in.key, in.otherKey)) {
    require(iniReadString(in.otherSection, in.otherKey, path) == otherBefore, "other keys keep their values");
  }
  return 0;
}
