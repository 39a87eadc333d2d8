// One address letter (X, G, T ...) across the whole program: its value and text for every block.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "nc/Vlist.hpp"

// The value of a number text as a word records it (0.0 when it does not start with a sign, point or digit).
double wordNumberValue(std::u16string_view numberText);

// A block text with the first position of every capital letter, found in one pass for all the words.
class ScannedBlock {
 public:
  explicit ScannedBlock(std::u16string_view block);
  // Position of the first occurrence of `letter`, npos when there is none.
  std::size_t firstOf(std::u16string_view letter) const;
  std::size_t firstOf(char16_t capital) const {
    const std::uint32_t at = first_[capital - u'A'];
    return at == 0xFFFFFFFFu ? std::u16string_view::npos : at;
  }
  // Some capital letter is followed by a blank, which ends its number before it starts.
  bool hasLetterBeforeBlank() const { return letterBeforeBlank_; }

  const std::u16string_view text;

 private:
  std::array<std::uint32_t, 26> first_;
  bool letterBeforeBlank_ = false;
};

class kNcWord : public kDoubleList {
 public:
  kNcWord(std::u16string_view letter, int isReal);
  ~kNcWord() override = default;

  // The number text after the first occurrence of the letter: a view into `block`, empty when there is none.
  std::u16string_view extractNumberText(std::u16string_view block) const;
  std::u16string_view extractNumberText(const ScannedBlock& block) const;
  int recordText(std::u16string_view block);
  // Records a number text already extracted from a block ("" records kNoValue).
  int recordNumberText(std::u16string_view number);
  int recordValue(double value, int digits);
  // The text recorded for the most recent block ("" before the first record).
  const std::u16string& lastText() const { return lastText_; }
  int count() const { return textCount; }
  // Appends the previous block's record again: the modal carry-over.
  int repeatLast() {
    if (textCount == 0 || lastFromValue_) return repeatLastText();
    add(at(kDoubleList::count() - 1));
    return ++textCount;
  }
  // Empties the word for a new program.
  void reset();

  const int isReal;
  const std::u16string letter;
  int textCount = 0;

 private:
  int repeatLastText();
  std::u16string_view numberTextAt(std::u16string_view block, std::size_t at) const;

  // Only the latest text is kept: no operation reads the text of an earlier block, and a 1M-block program
  // would otherwise carry twenty strings per block.
  std::u16string lastText_;
  // The last record came from recordValue, whose value may not read back from its text.
  bool lastFromValue_ = false;
};
