// One address letter (X, G, T ...): finding its number in a block text, and the value it holds for the modal
// carry-over from one block to the next.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "nc/Vlist.hpp"

// The value of a word's number text: 0.0 for a '$' name or an empty text.
double wordNumberValue(std::u16string_view numberText);

// A block text with the first position of every capital letter, found in one pass for all the words.
class ScannedBlock {
 public:
  explicit ScannedBlock(std::u16string_view block);
  // Position of the first occurrence of `capital`, npos when there is none.
  std::size_t firstOf(char16_t capital) const {
    const std::uint32_t at = first_[capital - u'A'];
    if (at != kAbsent) return at;
    return text.size() < kAbsent ? std::u16string_view::npos : text.find(capital);
  }

  const std::u16string_view text;

 private:
  // Positions are kept in 32 bits; a text longer than that is searched beyond them.
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
  std::array<std::uint32_t, 26> first_;
};

class kNcWord {
 public:
  explicit kNcWord(char16_t letter) : letter(letter) {}

  // The number text after the first occurrence of the letter and any blanks: a view into `block`, empty
  // when there is none.
  // After '$' it is the rest of the block's line (a name, which reads as 0).
  std::u16string_view extractNumberText(std::u16string_view block) const;
  std::u16string_view extractNumberText(const ScannedBlock& block) const;

  // Each record makes the word's value for one more block; the counts are the records made.
  int recordText(std::u16string_view block) { return recordNumberText(extractNumberText(block)); }
  // A number text already extracted: its value, or kNoValue when it is empty.
  int recordNumberText(std::u16string_view number) {
    return recordValue(number.empty() ? kNoValue : wordNumberValue(number));
  }
  int recordValue(double value) {
    last_ = value;
    return ++count_;
  }
  // The previous block's value again: the modal carry-over.
  int repeatLast() { return ++count_; }
  // The value of the most recent block (kNoValue before the first record).
  double lastValue() const { return last_; }
  int count() const { return count_; }
  void reset() {
    last_ = kNoValue;
    count_ = 0;
  }

  const char16_t letter;

 private:
  std::u16string_view numberTextAt(std::u16string_view block, std::size_t at) const;

  double last_ = kNoValue;
  int count_ = 0;
};

// The address letters whose numbers the interpreter reads.
enum WordLetter : int { kWordX, kWordY, kWordZ, kWordI, kWordJ, kWordK, kWordT, kWordH, kWordD, kWordF, kWordR };
inline constexpr int kWordLetters = kWordR + 1;
inline constexpr char16_t kWordLetterChars[kWordLetters + 1] = u"XYZIJKTHDFR";

// The words whose numbers some controls read in least increments when they have no decimal point: X Y Z I J K R.
inline constexpr std::uint16_t kIncrementWords =
    1u << kWordX | 1u << kWordY | 1u << kWordZ | 1u << kWordI | 1u << kWordJ | 1u << kWordK | 1u << kWordR;

// The number text has no decimal point.
template <typename Char>
bool hasNoPoint(std::basic_string_view<Char> number) {
  // A loop, not find: numbers are a few characters, and a call per word shows in the reading's time.
  for (const Char c : number) {
    if (c == Char('.')) return false;
  }
  return true;
}

// The words of one block as its text gives them: for each letter, whether its first occurrence is followed
// by a number text, and that number's value.
struct BlockWords {
  std::uint16_t given = 0;
  // A bit per word of kIncrementWords whose number has no decimal point.
  std::uint16_t withoutPoint = 0;
  std::array<double, kWordLetters> values{};
  // The number text of the F word (a '$' name with what follows it on the line), for the feed's text.
  std::u16string_view feedNumber;

  bool has(WordLetter w) const { return (given >> w & 1) != 0; }
  double value(WordLetter w) const { return values[w]; }
  void set(WordLetter w, double value) {
    given = static_cast<std::uint16_t>(given | 1u << w);
    values[w] = value;
  }
};

// The words of a block text.
BlockWords wordsOf(const ScannedBlock& block);
