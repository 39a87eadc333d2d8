// The modal state of one block in 32 bits: the code of each scanned G group (as its index among the codes
// the group accepts), the comment state and the delimiter pair that left a comment open.
#pragma once

#include <array>
#include <cstdint>

#include "nc/Ncgcode.hpp"

namespace packed_modal {

// The bits a group's code index takes.
constexpr std::array<int, kScannedGroups> widths() {
  std::array<int, kScannedGroups> widths{};
  for (int g = 0; g < kScannedGroups; ++g) {
    while ((1 << widths[g]) < kGroupRules[g].acceptedCount) ++widths[g];
  }
  return widths;
}

constexpr std::array<int, kScannedGroups> shifts() {
  const std::array<int, kScannedGroups> width = widths();
  std::array<int, kScannedGroups> shifts{};
  for (int g = 1; g < kScannedGroups; ++g) shifts[g] = shifts[g - 1] + width[g - 1];
  return shifts;
}

}  // namespace packed_modal

class PackedModal {
 public:
  PackedModal() = default;
  explicit PackedModal(std::uint32_t bits) : bits_(bits) {}

  // `code` is one the group accepts.
  void setCode(int group, int code) {
    put(kShifts[group], kWidths[group], static_cast<std::uint32_t>(gCodeIndex(group, code)));
  }
  int code(int group) const { return kGroupRules[group].accepted[get(kShifts[group], kWidths[group])]; }
  // -1, 0, 1 or 2 (0 unless set).
  void setCommentState(int state) { put(kStateShift, 2, static_cast<std::uint32_t>(state) & 3); }
  int commentState() const {
    const int state = static_cast<int>(get(kStateShift, 2));
    return state == 3 ? -1 : state;
  }
  // 0, 1 or 2.
  void setOpenPair(int pair) { put(kPairShift, 2, static_cast<std::uint32_t>(pair)); }
  int openPair() const { return static_cast<int>(get(kPairShift, 2)); }
  std::uint32_t bits() const { return bits_; }

 private:
  static constexpr std::array<int, kScannedGroups> kWidths = packed_modal::widths();
  static constexpr std::array<int, kScannedGroups> kShifts = packed_modal::shifts();
  static constexpr int kStateShift = kShifts[kScannedGroups - 1] + kWidths[kScannedGroups - 1];
  static constexpr int kPairShift = kStateShift + 2;
  static_assert(kPairShift + 2 <= 32, "the modal state of a block fits in 32 bits");

  void put(int shift, int width, std::uint32_t value) {
    const std::uint32_t mask = ((1u << width) - 1) << shift;
    bits_ = (bits_ & ~mask) | (value << shift & mask);
  }
  std::uint32_t get(int shift, int width) const { return bits_ >> shift & ((1u << width) - 1); }

  std::uint32_t bits_ = 0;
};
