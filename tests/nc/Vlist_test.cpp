// Tests of the per-block value lists: clamped reads, the cursor, empty lists and in-place writes.
#include "nc/Vlist.hpp"

#include <gtest/gtest.h>

namespace {

kIntList intsOf(std::initializer_list<int> values) {
  kIntList list;
  for (int v : values) list.add(v);
  return list;
}

TEST(ValueList, AddReturnsTheNewCount) {
  kIntList ints;
  kDoubleList doubles;
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(ints.add(100 - n), n);
    EXPECT_EQ(doubles.add(-n * 0.5), n);
  }
  EXPECT_EQ(ints.count(), 5);
  EXPECT_EQ(doubles.count(), 5);
  EXPECT_EQ(ints.cursor(), 0) << "add never moves the cursor";
}

TEST(ValueList, ReadsClampAndMoveTheCursor) {
  struct Case {
    int index, value, cursor;
  };
  const Case cases[] = {{-5, 7, 0}, {0, 7, 0}, {1, 8, 1}, {2, 9, 2}, {3, 9, 2}, {99, 9, 2}};
  kIntList ints = intsOf({7, 8, 9});
  kDoubleList doubles;
  for (double v : {7.5, 8.5, 9.5}) doubles.add(v);
  for (const auto& c : cases) {
    EXPECT_EQ(ints.get(c.index), c.value) << c.index;
    EXPECT_EQ(ints.cursor(), c.cursor) << c.index;
    EXPECT_EQ(doubles.get(c.index), c.value + 0.5) << c.index;
    EXPECT_EQ(doubles.cursor(), c.cursor) << c.index;
  }
}

TEST(ValueList, EmptyListsReadTheNoValueMarkerAndKeepTheCursor) {
  kIntList ints;
  kDoubleList doubles;
  for (int index : {-1, 0, 5}) {
    EXPECT_EQ(ints.get(index), -99991);
    EXPECT_EQ(doubles.get(index), -99991.999);
  }
  EXPECT_EQ(kNoValueInt, static_cast<int>(kNoValue));
  // A list that was read (cursor 2) and then cleared: the cursor is 0 again and stays there on empty reads.
  kIntList list = intsOf({1, 2, 3});
  list.get(2);
  list.clear();
  EXPECT_EQ(list.cursor(), 0);
  EXPECT_EQ(list.get(7), -99991);
  EXPECT_EQ(list.cursor(), 0);
}

TEST(ValueList, SelectAndWritesInPlace) {
  kIntList empty;
  EXPECT_EQ(empty.select(3), -1);
  EXPECT_EQ(empty.setCurrent(5), -1);
  EXPECT_EQ(empty.count(), 0) << "a write to an empty list is ignored";
  EXPECT_EQ(empty.setAt(5, 0), -1);
  EXPECT_EQ(empty.count(), 0);
  EXPECT_EQ(empty.cursor(), -1);
  EXPECT_EQ(empty.get(5), -99991);
  EXPECT_EQ(empty.cursor(), -1) << "an empty read leaves the cursor alone";

  kIntList list = intsOf({1, 2, 3});
  EXPECT_EQ(list.select(-4), 0);
  EXPECT_EQ(list.setCurrent(11), 0);
  EXPECT_EQ(list.setAt(4, 10), 2) << "value first, index second; the index is clamped";
  EXPECT_EQ(list.setAt(22, 1), 1);
  EXPECT_EQ(list.get(0), 11);
  EXPECT_EQ(list.get(1), 22);
  EXPECT_EQ(list.get(2), 4);
  EXPECT_EQ(list.count(), 3);

  list.clear();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.add(1), 1);
  EXPECT_EQ(list.get(0), 1);
}

}  // namespace
