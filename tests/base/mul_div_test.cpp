// MulDiv as Windows rounds it, against values worked out by hand; tests/base/win compares it
// with the system's own.
#include "base/mul_div.h"

#include <gtest/gtest.h>

#include <climits>

using base::MulDiv;

namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroWhateverTheSigns) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(-5, 1, -2), 3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);  // 2.33
  EXPECT_EQ(MulDiv(8, 1, 3), 3);  // 2.67
  EXPECT_EQ(MulDiv(-8, 1, 3), -3);
  EXPECT_EQ(MulDiv(50, 255, 100), 128);    // 127.5
  EXPECT_EQ(MulDiv(333, 500, 1000), 167);  // 166.5
  EXPECT_EQ(MulDiv(0, -7, 3), 0);
}

TEST(MulDiv, UsesA64BitProductAndGivesMinusOneOnOverflowOrZeroDivisor) {
  EXPECT_EQ(MulDiv(INT_MAX, 2, 2), INT_MAX);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 1, 1), -1);  // -2^31 does not count as representable
  EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, INT_MIN, INT_MIN), -1);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(-INT_MAX, 1, 1), -INT_MAX);
}

}  // namespace
