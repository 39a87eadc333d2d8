// Growable per-block value lists whose reads never fail: indexes are clamped, an empty list reads kNoValue.
#pragma once

#include <vector>

#include "util/BulkAllocator.hpp"

inline constexpr double kNoValue = -99991.999;
inline constexpr int kNoValueInt = -99991;

class kIntList {
 public:
  virtual ~kIntList() = default;
  int add(int value) {
    items.push_back(value);
    return count();
  }
  int count() const { return static_cast<int>(items.size()); }
  // Clamped read; moves the cursor (but not on an empty list).
  int get(int index) const;
  // Unchecked read for loops that already know the index is held.
  int at(int index) const { return items[index]; }
  int select(int index);
  // Overwrites the element under the cursor, if the cursor designates one.
  int setCurrent(int value);
  int setAt(int value, int index);
  void clear();
  int cursor() const { return cursor_; }
  void reserve(int n) { items.reserve(n); }

 private:
  std::vector<int, BulkAllocator<int>> items;
  mutable int cursor_ = 0;
};

class kDoubleList {
 public:
  virtual ~kDoubleList() = default;
  int add(double value) {
    items.push_back(value);
    return count();
  }
  int count() const { return static_cast<int>(items.size()); }
  double get(int index) const {
    if (items.empty()) return kNoValue;
    const int last = static_cast<int>(items.size()) - 1;
    cursor_ = index < 0 ? 0 : (index > last ? last : index);
    return items[cursor_];
  }
  int cursor() const { return cursor_; }
  // Unchecked read for loops that already know the index is held.
  double at(int index) const { return items[index]; }
  void reserve(int n) { items.reserve(n); }

 protected:
  void clearValues();

 private:
  std::vector<double, BulkAllocator<double>> items;
  mutable int cursor_ = 0;
};
