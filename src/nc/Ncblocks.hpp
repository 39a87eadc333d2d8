// Per-block columns for data that most blocks do not have or do not change: a bit per block with counts
// that find a block's entry in constant time, so that a million blocks pay a fraction of a byte each for a
// column that only arcs or tool changes fill.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

// One bit per block, appended in block order. The word being filled is kept apart, so that appending a bit
// costs a few instructions.
class BlockBits {
 public:
  void push(bool bit) {
    filling_ |= static_cast<std::uint64_t>(bit) << (size_ % 64);
    total_ += bit;
    if (++size_ % 64 == 0) {
      words_.push_back(filling_);
      before_.push_back(total_ - static_cast<std::uint32_t>(std::popcount(filling_)));
      filling_ = 0;
    }
  }
  bool test(int block) const { return (wordOf(block) >> (block % 64) & 1) != 0; }
  // The set bits of blocks 0 … block.
  int countThrough(int block) const {
    const auto w = static_cast<std::size_t>(block / 64);
    const std::uint32_t before = w < before_.size() ? before_[w] : total_ - std::popcount(filling_);
    return static_cast<int>(before) + std::popcount(wordOf(block) << (63 - block % 64));
  }
  int size() const { return size_; }
  void reserve(int blocks) {
    words_.reserve(static_cast<std::size_t>(blocks) / 64 + 1);
    before_.reserve(static_cast<std::size_t>(blocks) / 64 + 1);
  }
  void clear() { *this = BlockBits(); }

 private:
  std::uint64_t wordOf(int block) const {
    const auto w = static_cast<std::size_t>(block / 64);
    return w < words_.size() ? words_[w] : filling_;
  }

  std::vector<std::uint64_t> words_;   // the full words
  std::vector<std::uint32_t> before_;  // set bits in the words before each full word
  std::uint64_t filling_ = 0;
  int size_ = 0;
  std::uint32_t total_ = 0;
};

// Two values are the same when their bits are: -0.0 is not 0.0, and a NaN is itself. T has no padding.
template <typename T>
bool sameBits(const T& a, const T& b) {
  static_assert(std::is_trivially_copyable_v<T>);
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Values kept for some blocks, a bit per block saying which: what the two kinds of column share.
template <typename T>
class BitColumn {
 public:
  int size() const { return bits_.size(); }
  // Room for `more` blocks' bits.
  void reserve(int more) { bits_.reserve(bits_.size() + more); }
  void clear() {
    bits_.clear();
    values_ = std::vector<T>();
  }

 protected:
  // The value kept last at or before block b.
  const T& keptThrough(int block) const { return values_[bits_.countThrough(block) - 1]; }

  BlockBits bits_;
  std::vector<T> values_;
};

// A value for some blocks only.
template <typename T>
class SparseColumn : public BitColumn<T> {
 public:
  void push(bool present, const T& value = T()) {
    this->bits_.push(present);
    if (present) this->values_.push_back(value);
  }
  // Block b's value, or nullptr when it has none; b must be held.
  const T* find(int block) const { return this->bits_.test(block) ? &this->keptThrough(block) : nullptr; }
  // Block b's value, or `none` when it has none.
  const T& valueOr(int block, const T& none) const {
    const T* value = find(block);
    return value != nullptr ? *value : none;
  }
};

// A value for every block that changes from time to time: only the changes are kept.
template <typename T>
class StepColumn : public BitColumn<T> {
 public:
  void push(const T& value) {
    const bool changed = this->values_.empty() || !sameBits(this->values_.back(), value);
    this->bits_.push(changed);
    if (changed) this->values_.push_back(value);
  }
  // Block b's value; b must be held.
  const T& at(int block) const { return this->keptThrough(block); }
  const T& last() const { return this->values_.back(); }
};
