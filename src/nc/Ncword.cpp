// One address letter across the whole program: number extraction and per-block records.
#include "nc/Ncword.hpp"

#include "util/Utility.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The end of a '$' word: the rest of the block up to its first line break.
std::size_t dollarEnd(std::u16string_view block, std::size_t from) {
  const std::size_t stop = block.find_first_of(u"\r\n", from);
  return stop == std::u16string_view::npos ? block.size() : stop;
}

}  // namespace

int truncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

double wordNumberValue(std::u16string_view numberText) {
  // Extracted numbers are an optional sign or point, digits and at most one point: read them directly.
  // Anything else ('$' words) goes through the general reader.
  char ascii[64];
  if (numberText.empty() || numberText.size() >= sizeof ascii || numberText[0] == u'$') {
    return toNumber(numberText, 1);
  }
  std::size_t n = 0;
  for (char16_t c : numberText) {
    if (!isDigit(c) && c != u'.' && c != u'-' && c != u'+') return toNumber(numberText, 1);
    ascii[n++] = static_cast<char>(c);
  }
  const char* first = ascii[0] == '+' ? ascii + 1 : ascii;
  double value = 0.0;
  const auto result = std::from_chars(first, ascii + n, value);
  if (result.ec == std::errc::result_out_of_range) return toNumber(numberText, 1);
  return result.ec == std::errc() ? value : 0.0;
}

kNcWord::kNcWord(std::u16string_view letter, int isReal) : isReal(isReal), letter(letter) {}

std::u16string_view kNcWord::extractNumberText(std::u16string_view block) const {
  const std::size_t at = block.find(letter);
  if (at == std::u16string_view::npos) return {};
  const std::size_t begin = at + letter.size();
  std::size_t i = begin;
  if (i >= block.size()) return {};
  int points = 0;
  const char16_t first = block[i];
  if (first == u'$') return block.substr(begin, dollarEnd(block, begin) - begin);
  if (first == u'+' || first == u'-') {
    ++i;
  } else if (first == u'.') {
    points = 1;
    ++i;
  }
  for (; i < block.size(); ++i) {
    const char16_t c = block[i];
    if (isDigit(c)) continue;
    if (c == u'.' && points == 0) {
      points = 1;
      continue;
    }
    break;
  }
  return block.substr(begin, i - begin);
}

int kNcWord::recordText(std::u16string_view block) { return recordNumberText(extractNumberText(block)); }

int kNcWord::recordNumberText(std::u16string_view number) {
  if (number.empty()) {
    add(kNoValue);
    lastText_.clear();
  } else {
    add(wordNumberValue(number));
    const char16_t* own = lastText_.data();
    if (number.data() >= own && number.data() <= own + lastText_.size()) {
      lastText_ = letter + std::u16string(number);  // the block is our own last text
    } else {
      lastText_.assign(letter).append(number);
    }
  }
  lastFromValue_ = false;
  return ++textCount;
}

int kNcWord::recordValue(double value, int digits) {
  add(value);
  lastText_ = letter + (isReal ? formatReal(value, digits) : formatInt(truncToInt(value), digits));
  lastFromValue_ = true;
  return ++textCount;
}

// Recording the previous text again gives back the previous value, unless it came from recordValue.
int kNcWord::repeatLastText() { return recordText(std::u16string(lastText_)); }

void kNcWord::reset() {
  clearValues();
  lastText_.clear();
  lastFromValue_ = false;
  textCount = 0;
}
