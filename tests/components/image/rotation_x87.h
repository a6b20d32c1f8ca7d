// The rotation arithmetic as the x87 unit computes it (rotation_x87.cpp is built with
// -mfpmath=387), for comparison with the SSE2 build.
#pragma once

#include <cstdint>
#include <vector>

namespace rotation_x87 {

// Source index of every pixel of the turned picture, row by row; its size in *width, *height.
// `guard`: under DoublePrecisionFpu, as the product runs it.
std::vector<int32_t> SourceMap(int32_t width, int32_t height, int degrees, bool guard, int32_t* newWidth,
                               int32_t* newHeight);

// The same map as the product builds it, under DoublePrecisionFpu: from the column products,
// one run of source pixels per row.
std::vector<int32_t> SpanMap(int32_t width, int32_t height, int degrees);

}  // namespace rotation_x87
