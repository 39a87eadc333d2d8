// Growable per-block value lists with clamped reads.
#include "nc/Vlist.hpp"

namespace {

template <typename T>
int clampIndex(int index, const T& items) {
  if (index < 0) index = 0;
  const int last = static_cast<int>(items.size()) - 1;
  return index > last ? last : index;
}

}  // namespace

int kIntList::get(int index) const {
  if (items.empty()) return kNoValueInt;
  cursor_ = clampIndex(index, items);
  return items[cursor_];
}

int kIntList::select(int index) {
  cursor_ = clampIndex(index, items);
  return cursor_;
}

int kIntList::setCurrent(int value) {
  if (cursor_ >= 0 && cursor_ < count()) items[cursor_] = value;
  return cursor_;
}

int kIntList::setAt(int value, int index) {
  select(index);
  return setCurrent(value);
}

void kIntList::clear() {
  items = decltype(items)();
  cursor_ = 0;
}

void kDoubleList::clearValues() {
  items = decltype(items)();
  cursor_ = 0;
}
