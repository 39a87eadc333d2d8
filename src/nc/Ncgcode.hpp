// The G code in effect in each of ten modal groups: which codes each group accepts, the block scan, and the
// codes of the latest block.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "nc/Ncword.hpp"

// The G groups that recognise codes, in the order a block is scanned.
inline constexpr int kScannedGroups = 9;
enum GroupIndex : int {
  kGroupOneShot,
  kGroupMotion,
  kGroupPlane,
  kGroupDistance,
  kGroupCutterComp,
  kGroupToolLength,
  kGroupCycle,
  kGroupReturn,
  kGroupWork,
  // Beyond the groups kept per block: the words that choose how I, J, K give a centre (G90.1, G91.1) and the
  // units (G20, G21), which the reading follows without recording them.
  kArcCentreWord = kScannedGroups,
  kUnitsWord,
};
inline constexpr int kGWordSlots = kUnitsWord + 1;
using GWordsFound = std::array<std::u16string_view, kGWordSlots>;

// G90.1: I, J, K are absolute centre coordinates until G91.1.
inline constexpr double kAbsoluteCentres = 90.1;
inline constexpr double kInchUnits = 20;

// The slot (a GroupIndex) that takes the G word with this number text; -1 for none and for an empty text. A
// code with a decimal part is a code of its own, never its whole number's.
int gCodeGroupOf(std::u16string_view numberText);
// The same for the G word's value, where `empty` says that the number text was empty.
int gCodeGroupOf(double value, bool empty);

// The G words of a block, slot by slot (the later of two words of one slot wins): every G word of the line is
// looked at. `outsideAt` gets the position of the first G word that no slot takes, npos when there is none.
GWordsFound scanGWords(std::u16string_view block, std::size_t* outsideAt = nullptr);
// The value of a word's text as written: its letter, any blanks, its number.
double wordTextValue(std::u16string_view word);

// The G numbers each group accepts, and its code for block 0.
struct GroupRule {
  static constexpr int kMostCodes = 13;
  int accepted[kMostCodes];
  int acceptedCount;
  int initial;
};
// In scan order: one-shot, motion, plane, distance, cutter compensation, tool length, cycle, return, work.
inline constexpr GroupRule kGroupRules[kScannedGroups] = {
    {{4, 28, 29, 30, 52, 53, 92}, 7, 28},
    {{0, 1, 2, 3, 33}, 5, 0},
    {{17, 18, 19}, 3, 17},
    {{90, 91}, 2, 90},
    {{40, 41, 42}, 3, 40},
    {{43, 44, 49}, 3, 49},
    {{73, 74, 76, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89}, 13, 80},
    {{98, 99}, 2, 98},
    {{54, 55, 56, 57, 58, 59}, 6, 54},
};
// The position of `code` (a truncated G number) among those the group accepts, -1 when it accepts no such
// code: per-block records keep this small index.
int gCodeIndex(int group, int code);

// The G words of one block as values, slot by slot.
struct BlockGCodes {
  std::uint16_t given = 0;
  std::array<double, kGWordSlots> values{};

  bool has(int group) const { return (given >> group & 1) != 0; }
  void set(int group, double value) {
    given = static_cast<std::uint16_t>(given | 1u << group);
    values[group] = value;
  }
};

class kNcGCode {
 public:
  kNcGCode();
  virtual ~kNcGCode() = default;

  // Records the G codes of one block; returns the new recordCount.
  int readGCodes(std::u16string_view block) { return recordGCodes(scanGCodes(block)); }
  // The G codes of a block text, which gWordsRead and gOutsideAt then tell about.
  BlockGCodes scanGCodes(std::u16string_view block);
  int recordGCodes(const BlockGCodes& codes);
  // The G words the latest readGCodes took (views into its text), and where the first G word that no slot
  // takes stands (npos when there is none).
  const GWordsFound& gWordsRead() const { return wordsRead_; }
  std::size_t gOutsideAt() const { return outsideAt_; }
  // The latest block's G number of a scanned group (a GroupIndex), truncated toward zero.
  int code(int group) const;
  void reset();

  kNcWord groupOneShot{u'G'};
  kNcWord groupMotion{u'G'};
  kNcWord groupPlane{u'G'};
  kNcWord groupDistance{u'G'};
  kNcWord groupCutterComp{u'G'};
  kNcWord groupToolLength{u'G'};
  kNcWord groupCycle{u'G'};
  kNcWord groupReturn{u'G'};
  kNcWord groupWork{u'G'};
  // Recognises no G code; it only ever repeats its initial record.
  kNcWord groupSpare{u'G'};
  int recordCount = 0;

 private:
  // The scanned groups of a const or mutable object, in scan order.
  template <typename Self>
  static auto groupsOf(Self& self) {
    return std::array{&self.groupOneShot,  &self.groupMotion,     &self.groupPlane,
                      &self.groupDistance, &self.groupCutterComp, &self.groupToolLength,
                      &self.groupCycle,    &self.groupReturn,     &self.groupWork};
  }
  void recordInitial();

  GWordsFound wordsRead_{};
  std::size_t outsideAt_ = std::u16string_view::npos;
};
