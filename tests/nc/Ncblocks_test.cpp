// Tests of the side columns of the block store: a block's entry found by counting bits, across the words of
// 64 blocks and in the word still being filled, and values kept only where they change.
#include "nc/Ncblocks.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(BlockColumns, EntriesAreFoundByTheirBlocks) {
  std::mt19937 random(3);
  for (const int blocks : {1, 63, 64, 65, 200, 1000}) {
    SparseColumn<int> sparse;
    StepColumn<double> steps;
    std::vector<int> sparseExpected;
    std::vector<double> stepExpected;
    double value = 0;
    for (int b = 0; b < blocks; ++b) {
      const bool present = random() % 5 == 0;
      sparse.push(present, b * 10);
      sparseExpected.push_back(present ? b * 10 : -1);
      if (random() % 7 == 0) value = value == 0.0 ? -0.0 : static_cast<double>(b);
      steps.push(value);
      stepExpected.push_back(value);
    }
    ASSERT_EQ(sparse.size(), blocks);
    ASSERT_EQ(steps.size(), blocks);
    for (int b = 0; b < blocks; ++b) {
      const int* found = sparse.find(b);
      EXPECT_EQ(found == nullptr ? -1 : *found, sparseExpected[b]) << blocks << " blocks, block " << b;
      EXPECT_TRUE(sameBits(steps.at(b), stepExpected[b])) << blocks << " blocks, block " << b;
    }
  }
}

}  // namespace
