// One address letter across the whole program: number extraction and per-block records.
#include "nc/Ncword.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "util/Format.hpp"
#include "util/Number.hpp"
#include "util/Text.hpp"

namespace {

// The end of a '$' word: the rest of the block up to its first line break.
std::size_t dollarEnd(std::u16string_view block, std::size_t from) {
  const std::size_t stop = block.find_first_of(u"\r\n", from);
  return stop == std::u16string_view::npos ? block.size() : stop;
}

}  // namespace

double wordNumberValue(std::u16string_view numberText) {
  // '$' words are names, not numbers.
  return numberText.empty() || !startsNumber(numberText[0]) ? 0.0 : readNumber(numberText);
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
  if (block[i] == u'$') return block.substr(begin, dollarEnd(block, begin) - begin);
  return wordNumberAt(block, begin);
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
