// The tool radius of compensation from its sources, in their order.
#include "toolpath/Compradius.hpp"

#include <cctype>
#include <charconv>
#include <filesystem>

#include "util/Files.hpp"
#include "util/Number.hpp"

namespace {

std::optional<double> numberAt(std::string_view text, std::size_t& at) {
  while (at < text.size() && text[at] == ' ') ++at;
  double value = 0;
  const char* begin = text.data() + at;
  if (at < text.size() && text[at] == '+') ++begin;
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (error != std::errc()) return std::nullopt;
  at = static_cast<std::size_t>(end - text.data());
  return value;
}

void readTableLine(std::string_view line, ToolTable& table) {
  std::optional<double> tool, pocket, diameter;
  for (std::size_t at = 0; at < line.size();) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[at++])));
    if (letter == ';') break;
    if (letter != 'T' && letter != 'P' && letter != 'D') continue;
    const std::optional<double> value = numberAt(line, at);
    if (!value) continue;
    (letter == 'T' ? tool : letter == 'P' ? pocket : diameter) = value;
  }
  if (!diameter) return;
  if (tool) table.byTool[truncToInt(*tool)] = *diameter;
  if (pocket) table.byPocket[truncToInt(*pocket)] = *diameter;
}

template <typename Map>
std::optional<double> lookUp(const Map& map, int key) {
  const auto found = map.find(key);
  return found == map.end() ? std::nullopt : std::optional<double>(found->second);
}

}  // namespace

ToolTable parseToolTable(std::string_view text) {
  ToolTable table;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    readTableLine(text.substr(start, end - start), table);
    start = end + 1;
  }
  return table;
}

ToolTable readProfileToolTable(const ControlProfile& profile) {
  if (profile.toolTable.empty()) return {};
  std::filesystem::path path(profile.toolTable);
  if (path.is_relative() && !profile.sourceFile.empty()) {
    path = std::filesystem::path(profile.sourceFile).parent_path() / path;
  }
  const std::optional<std::string> text = readUtf8File(path.string());
  return text ? parseToolTable(*text) : ToolTable{};
}

std::optional<double> toolRadius(const RadiusQuery& query, const ControlProfile& profile, const ToolTable& table) {
  if (query.blockDiameter) return std::abs(*query.blockDiameter) / 2;
  if (query.offset && *query.offset == 0) return 0.0;
  // The table is looked up by the offset number as tool, then as pocket; without a D word, by the tool.
  const int key = query.offset.value_or(query.tool);
  if (auto d = lookUp(table.byTool, key)) return *d / 2;
  if (auto d = lookUp(table.byPocket, key)) return *d / 2;
  if (query.offset) {
    if (auto d = lookUp(profile.toolDiameters, *query.offset)) return *d / 2;
  }
  if (query.commentDiameter) return *query.commentDiameter / 2;
  return std::nullopt;
}
