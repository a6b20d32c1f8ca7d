// The product computes doubles on the x87 unit; the tests run on SSE2. The turned picture must
// be the same pixel for pixel: with the FPU held at double precision it is, and the same code
// at the x87's default extended precision is shown to differ, so the comparison can fail. The
// row runs the product turns with are held to the same per-pixel map.
#include "rotation_x87.h"

#include <gtest/gtest.h>

#include "components/image/rotation_math.h"

namespace {

std::vector<int32_t> Sse2Map(int32_t w, int32_t h, int degrees, int32_t* newWidth, int32_t* newHeight) {
  const components::RotationGeometry g = components::RotatedGeometry(w, h, degrees);
  std::vector<int32_t> map(static_cast<size_t>(g.width) * g.height);
  for (int32_t row = 0; row < g.height; ++row) {
    components::SourceIndexesOfRow(g, row, w, h, map.data() + static_cast<size_t>(row) * g.width);
  }
  *newWidth = g.width;
  *newHeight = g.height;
  return map;
}

TEST(RotationOnX87, PicksTheSamePixelsAsSse2AtDoublePrecision) {
  // Sizes that include the rare knife edges where extended precision turns a truncation the
  // other way (4 x 10 at 120 degrees, 23 x 4 at 240, ...).
  const int32_t sizes[] = {1, 2, 3, 4, 5, 7, 10, 16, 23, 33, 45, 61};
  int unguardedDifferences = 0;
  for (int32_t w : sizes) {
    for (int32_t h : sizes) {
      for (int degrees = 1; degrees < 360; ++degrees) {
        if (degrees % 90 == 0) continue;
        int32_t sw, sh, xw, xh, uw, uh;
        const auto sse2 = Sse2Map(w, h, degrees, &sw, &sh);
        const auto x87 = rotation_x87::SourceMap(w, h, degrees, true, &xw, &xh);
        ASSERT_EQ(xw, sw) << w << "x" << h << " at " << degrees;
        ASSERT_EQ(xh, sh) << w << "x" << h << " at " << degrees;
        ASSERT_TRUE(x87 == sse2) << w << "x" << h << " at " << degrees;
        ASSERT_TRUE(rotation_x87::SpanMap(w, h, degrees) == sse2) << w << "x" << h << " at " << degrees;
        const auto unguarded = rotation_x87::SourceMap(w, h, degrees, false, &uw, &uh);
        unguardedDifferences += (uw != sw || uh != sh || unguarded != sse2);
      }
    }
  }
  EXPECT_GT(unguardedDifferences, 0);
}

}  // namespace
