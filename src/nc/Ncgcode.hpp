// The G code in effect in each of ten modal groups, for every block.
#pragma once

#include <array>
#include <string_view>

#include "nc/Ncword.hpp"

// The G groups that recognise codes, in the order a block is scanned.
inline constexpr int kScannedGroups = 9;
using GWordsFound = std::array<std::u16string_view, kScannedGroups>;
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
};

// The scanned group (a GroupIndex) that accepts the G word with this number text; -1 for none, and for an
// empty text, which ends the scan.
int gCodeGroupOf(std::u16string_view numberText);

// The G words of a block, group by group (the later of two words of one group wins): words are taken in
// order until one that belongs to no group, or has no number; `stoppedAt` gets that word's position, npos
// when every G word was taken.
GWordsFound scanGWords(std::u16string_view block, std::size_t* stoppedAt = nullptr);

class kNcGCode {
 public:
  kNcGCode();
  virtual ~kNcGCode() = default;

  int readGCodes(std::u16string_view block);
  // Records one group's text for the block being read; an empty text repeats the previous record.
  void recordGroup(kNcWord& group, std::u16string_view text);
  // The word of a scanned group, by GroupIndex.
  const kNcWord& scannedGroup(int group) const;
  // The G words the latest readGCodes took (views into its text), and where it stopped taking them (npos
  // when it took every G word).
  const GWordsFound& gWordsRead() const { return wordsRead_; }
  std::size_t gReadStop() const { return readStop_; }

  kNcWord groupOneShot{u"G", 0};
  kNcWord groupMotion{u"G", 0};
  kNcWord groupPlane{u"G", 0};
  kNcWord groupDistance{u"G", 0};
  kNcWord groupCutterComp{u"G", 0};
  kNcWord groupToolLength{u"G", 0};
  kNcWord groupCycle{u"G", 0};
  kNcWord groupReturn{u"G", 0};
  kNcWord groupWork{u"G", 0};
  kNcWord groupSpare{u"G", 0};
  int recordCount = 0;
  const std::u16string letter = u"G";

 protected:
  void resetGroups();

 private:
  // The scanned groups of a const or mutable object, in scan order.
  template <typename Self>
  static auto groupsOf(Self& self) {
    return std::array{&self.groupOneShot,  &self.groupMotion,     &self.groupPlane,
                      &self.groupDistance, &self.groupCutterComp, &self.groupToolLength,
                      &self.groupCycle,    &self.groupReturn,     &self.groupWork};
  }
  std::array<kNcWord*, kScannedGroups> scanned() { return groupsOf(*this); }
  void recordInitial();

  GWordsFound wordsRead_{};
  std::size_t readStop_ = std::u16string_view::npos;
};

// The G number a group recorded for block i (direct index, clamped), truncated toward zero.
int gNumberAt(const kNcWord& group, int block);
