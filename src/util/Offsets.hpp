// Increasing offsets into a text, four bytes each: where the lines or the blocks of a program start. A text
// longer than 4 GiB is still served, by a short list of the places where the offsets pass a 4 GiB boundary.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "util/BulkAllocator.hpp"

class OffsetList {
 public:
  // `offset` is not less than the offset pushed before it.
  void push(std::size_t offset) {
    while ((offset >> 32) > passes_.size()) passes_.push_back(low_.size());
    low_.push_back(static_cast<std::uint32_t>(offset));
  }
  std::size_t operator[](std::size_t i) const {
    const std::size_t high =
        passes_.empty()
            ? 0
            : static_cast<std::size_t>(std::upper_bound(passes_.begin(), passes_.end(), i) - passes_.begin());
    return high << 32 | low_[i];
  }
  std::size_t size() const { return low_.size(); }
  bool empty() const { return low_.empty(); }
  void reserve(std::size_t n) { low_.reserve(n); }
  // Gives the memory back.
  void clear() {
    low_ = decltype(low_)();
    passes_ = decltype(passes_)();
  }

 private:
  std::vector<std::uint32_t, BulkAllocator<std::uint32_t>> low_;
  // The indexes from which the offsets lie one more 4 GiB further on.
  std::vector<std::size_t> passes_;
};
