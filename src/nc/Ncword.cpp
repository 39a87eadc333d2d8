// One address letter across the whole program: number extraction and per-block records.
#include "nc/Ncword.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "util/Utility.hpp"

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The end of a '$' word: the rest of the block up to its first line break.
std::size_t dollarEnd(std::u16string_view block, std::size_t from) {
  const std::size_t stop = block.find_first_of(u"\r\n", from);
  return stop == std::u16string_view::npos ? block.size() : stop;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// An optional sign, digits and at most one point, with up to 15 significant digits and 22 decimals: then
// mantissa / 10^decimals divides two exact doubles and rounds once, which is what a correct reader gives.
bool readShortDecimal(std::u16string_view text, double& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::uint64_t mantissa = 0;
  int significant = 0, decimals = 0;
  bool point = false, anyDigit = false;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'.' && !point) {
      point = true;
      continue;
    }
    if (!isDigit(c)) return false;
    anyDigit = true;
    if (point) ++decimals;
    if (mantissa == 0 && c == u'0') continue;
    if (++significant > 15) return false;
    mantissa = mantissa * 10 + static_cast<unsigned>(c - u'0');
  }
  if (decimals > 22) return false;
  value = anyDigit ? static_cast<double>(mantissa) / kPowersOfTen[decimals] : 0.0;
  if (negative && anyDigit) value = -value;
  return true;
}

}  // namespace

double wordNumberValue(std::u16string_view numberText) {
  // Extracted numbers are an optional sign or point, digits and at most one point: read them directly.
  // Anything else ('$' words) goes through the general reader.
  double quick = 0.0;
  if (!numberText.empty() && numberText[0] != u'$' && readShortDecimal(numberText, quick)) return quick;
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

constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

ScannedBlock::ScannedBlock(std::u16string_view block) : text(block) {
  first_.fill(kAbsent);
  const std::size_t end = std::min<std::size_t>(block.size(), kAbsent);
  for (std::size_t i = 0; i < end; ++i) {
    const char16_t c = block[i];
    if (c < u'A' || c > u'Z') continue;
    if (first_[c - u'A'] == kAbsent) first_[c - u'A'] = static_cast<std::uint32_t>(i);
    if (i + 1 < end && (block[i + 1] == u' ' || block[i + 1] == u'\t' || block[i + 1] == 0x3000)) {
      letterBeforeBlank_ = true;
    }
  }
}

std::size_t ScannedBlock::firstOf(std::u16string_view letter) const {
  if (letter.size() == 1 && letter[0] >= u'A' && letter[0] <= u'Z' && text.size() < kAbsent) {
    const std::uint32_t at = first_[letter[0] - u'A'];
    return at == kAbsent ? std::u16string_view::npos : at;
  }
  return text.find(letter);
}

kNcWord::kNcWord(std::u16string_view letter, int isReal) : isReal(isReal), letter(letter) {}

std::u16string_view kNcWord::extractNumberText(std::u16string_view block) const {
  return numberTextAt(block, block.find(letter));
}

std::u16string_view kNcWord::extractNumberText(const ScannedBlock& block) const {
  return numberTextAt(block.text, block.firstOf(letter));
}

std::u16string_view kNcWord::numberTextAt(std::u16string_view block, std::size_t at) const {
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
