// The G code in effect in each of ten modal groups, for every block.
#pragma once

#include <array>
#include <string_view>

#include "nc/Ncword.hpp"

// The G groups that recognise codes, in the order a block is scanned.
inline constexpr int kScannedGroups = 9;
using GWordsFound = std::array<std::u16string_view, kScannedGroups>;

// The G words of a block, group by group (the later of two words of one group wins): words are taken in
// order until one that belongs to no group, or has no number.
GWordsFound scanGWords(std::u16string_view block);

class kNcGCode {
 public:
  kNcGCode();
  virtual ~kNcGCode() = default;

  int readGCodes(std::u16string_view block);
  // Records one group's text for the block being read; an empty text repeats the previous record.
  void recordGroup(kNcWord& group, std::u16string_view text);

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
  std::array<kNcWord*, kScannedGroups> scanned();
  void recordInitial();
};

// The G number a group recorded for block i (direct index, clamped), truncated toward zero.
int gNumberAt(const kNcWord& group, int block);
