// The ten modal G-code groups: which codes each accepts, the initial records, and the block scan.
#include "nc/Ncgcode.hpp"

#include <algorithm>

#include "util/Number.hpp"

namespace {

struct GroupRule {
  int accepted[13];
  int acceptedCount;
  int initial;
};

// In scan order: one-shot, motion, plane, distance, cutter compensation, tool length, cycle, return, work.
constexpr GroupRule kGroupRules[kScannedGroups] = {
    {{4, 28, 29, 30, 52, 53, 92}, 7, 28},
    {{0, 1, 2, 3, 33}, 5, 0},
    {{17, 18, 19}, 3, 17},
    {{90, 91}, 2, 90},
    {{40, 41, 42}, 3, 40},
    {{43, 44, 49}, 3, 49},
    {{73, 74, 76, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89}, 13, 80},
    {{98, 99}, 2, 98},
    {{54, 55, 56}, 3, 54},
};
constexpr int kSpareInitial = 1;

int groupOf(std::u16string_view numberText) {
  const int n = truncToInt(wordNumberValue(numberText));
  for (int g = 0; g < kScannedGroups; ++g) {
    const GroupRule& rule = kGroupRules[g];
    if (std::find(rule.accepted, rule.accepted + rule.acceptedCount, n) == rule.accepted + rule.acceptedCount) {
      continue;
    }
    // An empty number reads as 0, but a bare "G" is no G00.
    if (g == kGroupMotion && numberText.empty()) continue;
    return g;
  }
  return -1;
}

}  // namespace

int gCodeGroupOf(std::u16string_view numberText) { return groupOf(numberText); }

GWordsFound scanGWords(std::u16string_view block, std::size_t* stoppedAt) {
  static const kNcWord scratch(u"G", 0);
  GWordsFound found{};
  std::size_t from = 0;
  if (stoppedAt != nullptr) *stoppedAt = std::u16string_view::npos;
  for (;;) {
    const std::size_t at = block.find(u'G', from);
    if (at == std::u16string_view::npos) break;
    const std::u16string_view rest = block.substr(at);
    const std::u16string_view number = scratch.extractNumberText(rest);
    const int group = groupOf(number);
    if (group < 0) {
      if (stoppedAt != nullptr) *stoppedAt = at;
      break;
    }
    found[group] = rest.substr(0, 1 + number.size());
    from = at + 1 + number.size();
  }
  return found;
}

int gNumberAt(const kNcWord& group, int block) { return truncToInt(group.get(block)); }

kNcGCode::kNcGCode() { recordInitial(); }

const kNcWord& kNcGCode::scannedGroup(int group) const { return *groupsOf(*this)[group]; }

void kNcGCode::recordInitial() {
  const auto groups = scanned();
  for (int g = 0; g < kScannedGroups; ++g) groups[g]->recordValue(kGroupRules[g].initial, 2);
  groupSpare.recordValue(kSpareInitial, 3);
  recordCount = 1;
}

void kNcGCode::resetGroups() {
  for (kNcWord* group : scanned()) group->reset();
  groupSpare.reset();
  wordsRead_ = {};
  readStop_ = std::u16string_view::npos;
  recordInitial();
}

void kNcGCode::recordGroup(kNcWord& group, std::u16string_view text) {
  if (text.empty() && recordCount > 0) {
    group.repeatLast();
  } else {
    group.recordText(text);
  }
}

int kNcGCode::readGCodes(std::u16string_view block) {
  wordsRead_ = scanGWords(block, &readStop_);
  const auto groups = scanned();
  for (int g = 0; g < kScannedGroups; ++g) recordGroup(*groups[g], wordsRead_[g]);
  recordGroup(groupSpare, {});
  return ++recordCount;
}
