// The rotation arithmetic compiled for the x87 unit, in a namespace of its own so that it can
// sit beside the SSE2 build in one test.
#define components components_x87
#include "components/image/rotation_math.cpp"
#undef components

#include "rotation_x87.h"

namespace rotation_x87 {

std::vector<int32_t> SourceMap(int32_t width, int32_t height, int degrees, bool guard, int32_t* newWidth,
                               int32_t* newHeight) {
  using namespace components_x87;
  RotationGeometry g;
  if (guard) {
    [[maybe_unused]] DoublePrecisionFpu precision;
    g = RotatedGeometry(width, height, degrees);
  } else {
    g = RotatedGeometry(width, height, degrees);
  }
  std::vector<int32_t> map(static_cast<size_t>(g.width) * g.height);
  for (int32_t row = 0; row < g.height; ++row) {
    int32_t* out = map.data() + static_cast<size_t>(row) * g.width;
    if (guard) {
      [[maybe_unused]] DoublePrecisionFpu precision;
      SourceIndexesOfRow(g, row, width, height, out);
    } else {
      SourceIndexesOfRow(g, row, width, height, out);
    }
  }
  *newWidth = g.width;
  *newHeight = g.height;
  return map;
}

std::vector<int32_t> SpanMap(int32_t width, int32_t height, int degrees) {
  using namespace components_x87;
  [[maybe_unused]] DoublePrecisionFpu precision;
  const RotationGeometry g = RotatedGeometry(width, height, degrees);
  const size_t n = static_cast<size_t>(g.width);
  std::vector<double> cosX(n), sinX(n);
  ColumnProducts(g, cosX.data(), sinX.data());
  std::vector<int32_t> map(n * g.height, -1);
  for (int32_t row = 0; row < g.height; ++row) {
    int32_t first, last;
    SourceSpanOfRow(g, row, width, height, cosX.data(), sinX.data(), map.data() + row * n, &first, &last);
  }
  return map;
}

}  // namespace rotation_x87
