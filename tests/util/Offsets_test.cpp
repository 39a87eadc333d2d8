// Tests of the offsets kept in 32 bits: texts longer than 4 GiB, with lines that pass one boundary or more.
#include "util/Offsets.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(Offsets, ReadBackAcrossFourGibBoundaries) {
  constexpr std::size_t kGib4 = std::size_t{1} << 32;
  const std::vector<std::size_t> offsets = {0,         5,         kGib4 - 1,     kGib4,        kGib4 + 7,
                                            3 * kGib4, 3 * kGib4, 3 * kGib4 + 1, 5 * kGib4 + 9};
  OffsetList list;
  for (std::size_t offset : offsets) list.push(offset);
  ASSERT_EQ(list.size(), offsets.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) EXPECT_EQ(list[i], offsets[i]) << i;
  list.clear();
  EXPECT_TRUE(list.empty());
}

}  // namespace
