// Finding text in a program: each line decoded and upper-cased once as the search passes it.
#include "nc/Ncfind.hpp"

#include <algorithm>
#include <string>

#include "util/Text.hpp"

namespace {

std::u16string upperLine(const kNcText& text, int line) {
  std::u16string upper = text.lineText(line);
  upperCaseInPlace(upper);
  return upper;
}

// The occurrence in `line` starting in [begin, end) that comes first (forwards) or last (backwards).
std::optional<TextSpot> findInLine(const std::u16string& line, int number, std::u16string_view needle,
                                   std::size_t begin, std::size_t end, bool forward) {
  if (begin >= end || begin >= line.size()) return std::nullopt;
  const std::size_t at = forward ? line.find(needle, begin) : line.rfind(needle, end - 1);
  if (at == std::u16string::npos || at < begin || at >= end) return std::nullopt;
  return TextSpot{number, static_cast<int>(at)};
}

}  // namespace

std::optional<TextSpot> findInText(const kNcText& text, std::u16string_view needle, TextSpot from, bool forward,
                                   bool* wrapped) {
  if (wrapped) *wrapped = false;
  const int lines = text.lineCount();
  if (needle.empty() || lines == 0) return std::nullopt;
  std::u16string upperNeedle(needle);
  upperCaseInPlace(upperNeedle);
  const int start = std::clamp(from.line, 1, lines);
  const auto column = static_cast<std::size_t>(std::max(from.column, 0));
  // The starting line is looked at twice: from the column on, and once round, before it.
  for (int step = 0; step <= lines; ++step) {
    const int offset = forward ? step : -step;
    const int line = (start - 1 + offset % lines + lines) % lines + 1;
    const bool first = step == 0, last = step == lines;
    const std::u16string upper = upperLine(text, line);
    std::size_t begin = 0, end = upper.size() + 1;
    if (first) (forward ? begin : end) = column;
    if (last) (forward ? end : begin) = column;
    if (const auto found = findInLine(upper, line, upperNeedle, begin, end, forward)) {
      if (wrapped) *wrapped = forward ? (line < start || (line == start && !first)) : (line > start || last);
      return found;
    }
  }
  return std::nullopt;
}
