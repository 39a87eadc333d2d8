// The ten modal G-code groups: which codes each accepts, the initial records, and the block scan.
#include "nc/Ncgcode.hpp"

#include <algorithm>

#include "util/Number.hpp"
#include "util/Text.hpp"

namespace {

constexpr int kSpareInitial = 1;

}  // namespace

int gCodeGroupOf(double value, bool empty) {
  const int n = truncToInt(value);
  if (value != n) {
    if (value == kAbsoluteCentres || value == 91.1) return kArcCentreWord;
    // Compensation by the diameter the block's D gives: the same modal group as G41 and G42.
    if (value == 41.1 || value == 42.1) return kGroupCutterComp;
    return -1;
  }
  if (n == 20 || n == 21) return kUnitsWord;
  for (int g = 0; g < kScannedGroups; ++g) {
    if (gCodeIndex(g, n) < 0) continue;
    // An empty number reads as 0, but a bare "G" is no G00.
    if (g == kGroupMotion && empty) continue;
    return g;
  }
  return -1;
}

int gCodeGroupOf(std::u16string_view numberText) {
  return gCodeGroupOf(wordNumberValue(numberText), numberText.empty());
}

int gCodeIndex(int group, int code) {
  const GroupRule& rule = kGroupRules[group];
  const int* end = rule.accepted + rule.acceptedCount;
  const int* found = std::find(rule.accepted, end, code);
  return found == end ? -1 : static_cast<int>(found - rule.accepted);
}

GWordsFound scanGWords(std::u16string_view block, std::size_t* outsideAt) {
  static const kNcWord scratch(u'G');
  GWordsFound found{};
  std::size_t from = 0;
  if (outsideAt != nullptr) *outsideAt = std::u16string_view::npos;
  for (;;) {
    const std::size_t at = block.find(u'G', from);
    if (at == std::u16string_view::npos) break;
    const std::u16string_view rest = block.substr(at);
    const std::u16string_view number = scratch.extractNumberText(rest);
    // A bare G (GOTO) is no G code; the blanks before a number belong to the word.
    const std::size_t length =
        number.empty() ? 1 : static_cast<std::size_t>(number.data() - rest.data()) + number.size();
    from = at + length;
    const int group = gCodeGroupOf(number);
    if (group >= 0) {
      found[group] = rest.substr(0, length);
    } else if (!number.empty() && outsideAt != nullptr && *outsideAt == std::u16string_view::npos) {
      *outsideAt = at;
    }
  }
  return found;
}

double wordTextValue(std::u16string_view word) {
  std::size_t i = 1;
  while (i < word.size() && isBlank(word[i])) ++i;
  return i < word.size() ? wordNumberValue(word.substr(i)) : 0.0;
}

kNcGCode::kNcGCode() { recordInitial(); }

void kNcGCode::recordInitial() {
  const auto groups = groupsOf(*this);
  for (int g = 0; g < kScannedGroups; ++g) groups[g]->recordValue(kGroupRules[g].initial);
  groupSpare.recordValue(kSpareInitial);
  recordCount = 1;
}

void kNcGCode::reset() {
  for (kNcWord* group : groupsOf(*this)) group->reset();
  groupSpare.reset();
  wordsRead_ = {};
  outsideAt_ = std::u16string_view::npos;
  recordInitial();
}

int kNcGCode::code(int group) const { return truncToInt(groupsOf(*this)[group]->lastValue()); }

BlockGCodes kNcGCode::scanGCodes(std::u16string_view block) {
  wordsRead_ = scanGWords(block, &outsideAt_);
  BlockGCodes codes;
  for (int g = 0; g < kGWordSlots; ++g) {
    if (!wordsRead_[g].empty()) codes.set(g, wordTextValue(wordsRead_[g]));
  }
  return codes;
}

int kNcGCode::recordGCodes(const BlockGCodes& codes) {
  const auto groups = groupsOf(*this);
  // A group the block does not name stays as it was.
  for (int g = 0; g < kScannedGroups; ++g) {
    if (codes.has(g)) {
      groups[g]->recordValue(codes.values[g]);
    } else {
      groups[g]->repeatLast();
    }
  }
  groupSpare.repeatLast();
  return ++recordCount;
}
