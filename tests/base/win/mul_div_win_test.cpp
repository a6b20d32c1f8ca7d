// Our portable MulDiv against the system's own, over a grid of signs, halves and limits.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>

#include "base/mul_div.h"

namespace {

TEST(MulDivAgainstKernel32, AgreesOnEveryCombination) {
  const int32_t values[] = {0,     1,     -1,     2,     -2,      3,       -3,      5,           -5,
                            7,     -7,    100,    -100,  127,     128,     255,     -255,        1000,
                            -1000, 46341, -46341, 65536, 1 << 30, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
  int compared = 0;
  for (int32_t a : values) {
    for (int32_t b : values) {
      for (int32_t c : values) {
        // Wine negates the multiplicand and a negative divisor in 32 bits, which wraps for
        // -2^31; our hand-made tests cover those cases.
        if (c == INT_MIN || (c < 0 && a == INT_MIN)) continue;
        ASSERT_EQ(base::MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 27 * 27 * 26 - 10 * 27);  // ten negative divisors besides -2^31
}

}  // namespace
