// One address letter: finding its number in a block text, and the words of a block.
#include "nc/Ncword.hpp"

#include <algorithm>

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

ScannedBlock::ScannedBlock(std::u16string_view block) : text(block) {
  first_.fill(kAbsent);
  const std::size_t end = std::min<std::size_t>(block.size(), kAbsent);
  for (std::size_t i = 0; i < end; ++i) {
    const char16_t c = block[i];
    if (c < u'A' || c > u'Z') continue;
    if (first_[c - u'A'] == kAbsent) first_[c - u'A'] = static_cast<std::uint32_t>(i);
  }
}

std::u16string_view kNcWord::extractNumberText(std::u16string_view block) const {
  return numberTextAt(block, block.find(letter));
}

std::u16string_view kNcWord::extractNumberText(const ScannedBlock& block) const {
  return numberTextAt(block.text, block.firstOf(letter));
}

std::u16string_view kNcWord::numberTextAt(std::u16string_view block, std::size_t at) const {
  if (at == std::u16string_view::npos) return {};
  const std::size_t begin = at + 1;
  if (begin >= block.size()) return {};
  if (block[begin] == u'$') return block.substr(begin, dollarEnd(block, begin) - begin);
  // Controls skip blanks between a letter and its number ("X 45." is X45), but not inside the number.
  std::size_t from = begin;
  while (from < block.size() && isBlank(block[from])) ++from;
  return wordNumberAt(block, from);
}

BlockWords wordsOf(const ScannedBlock& block) {
  BlockWords words;
  for (int w = 0; w < kWordLetters; ++w) {
    const std::u16string_view number = kNcWord(kWordLetterChars[w]).extractNumberText(block);
    if (number.empty()) continue;
    words.set(static_cast<WordLetter>(w), wordNumberValue(number));
    if ((kIncrementWords >> w & 1) != 0 && hasNoPoint(number))
      words.withoutPoint |= static_cast<std::uint16_t>(1u << w);
    if (w == kWordF) words.feedNumber = number;
  }
  return words;
}
