// Rotation of frame sets: exact turns by 90, 180 and 270 degrees, and the general turn whose
// arithmetic lives in rotation_math.cpp.
#include <algorithm>
#include <new>
#include <vector>

#include "components/image/rotation_math.h"
#include "components/image/transform.h"

namespace components {
namespace {

// Side of the square blocks the quarter turns copy: a block's source rows and its destination
// rows both stay in the first-level cache, whatever the picture's width.
constexpr int32_t kTile = 16;

// 90: new (c, r) = old (r, h - 1 - c); 270: new (c, r) = old (w - 1 - r, c). Width and height swap.
template <bool kClockwise>
void TransposeFrames(FrameSet& set) {
  const int32_t w = set.width, h = set.height;
  std::vector<uint32_t> out(set.PixelCount());
  for (Frame& frame : set.frames) {
    const uint32_t* src = frame.pixels.data();
    for (int32_t r0 = 0; r0 < w; r0 += kTile) {
      const int32_t r1 = std::min(r0 + kTile, w);
      for (int32_t c0 = 0; c0 < h; c0 += kTile) {
        const int32_t c1 = std::min(c0 + kTile, h);
        for (int32_t r = r0; r < r1; ++r) {
          uint32_t* dst = out.data() + static_cast<size_t>(r) * h;
          for (int32_t c = c0; c < c1; ++c) {
            dst[c] = kClockwise ? src[static_cast<size_t>(h - 1 - c) * w + r]
                                : src[static_cast<size_t>(c) * w + (w - 1 - r)];
          }
        }
      }
    }
    // The frame's old pixels, of the same size, take the next frame's turn.
    frame.pixels.swap(out);
  }
  set.width = h;
  set.height = w;
}

void TurnHalf(FrameSet& set) {
  for (Frame& frame : set.frames) std::reverse(frame.pixels.begin(), frame.pixels.end());
}

void TurnAnyAngle(FrameSet& set, int degrees, size_t budget) {
  RotationGeometry g;
  {
    [[maybe_unused]] DoublePrecisionFpu precision;
    g = RotatedGeometry(set.width, set.height, degrees);
  }
  if (FrameBytesWithin(g.width, g.height, static_cast<int64_t>(set.frames.size()), budget) == 0) {
    set = {};
    return;
  }
  const size_t n = static_cast<size_t>(g.width);
  std::vector<std::vector<uint32_t>> out(set.frames.size());
  for (auto& pixels : out) pixels.resize(n * static_cast<size_t>(g.height));
  std::vector<double> cosX(n), sinX(n);
  {
    [[maybe_unused]] DoublePrecisionFpu precision;
    ColumnProducts(g, cosX.data(), sinX.data());
  }
  std::vector<int32_t> sources(n);
  for (int32_t row = 0; row < g.height; ++row) {
    int32_t first, last;
    {
      [[maybe_unused]] DoublePrecisionFpu precision;
      SourceSpanOfRow(g, row, set.width, set.height, cosX.data(), sinX.data(), sources.data(), &first, &last);
    }
    for (size_t f = 0; f < set.frames.size(); ++f) {
      const uint32_t* src = set.frames[f].pixels.data();
      uint32_t* dst = out[f].data() + static_cast<size_t>(row) * n;
      std::fill(dst, dst + first, kTransparentPixel);
      for (int32_t i = first; i < last; ++i) dst[i] = src[sources[i]];
      std::fill(dst + last, dst + n, kTransparentPixel);
    }
  }
  for (size_t f = 0; f < set.frames.size(); ++f) set.frames[f].pixels = std::move(out[f]);
  set.width = g.width;
  set.height = g.height;
}

}  // namespace

void Rotate(FrameSet& set, int degrees, size_t budget) {
  if (set.Empty()) return;
  int a = degrees % 360;
  if (a < 0) a += 360;
  if (a == 0) return;
  try {
    if (a == 90 || a == 270) {
      a == 90 ? TransposeFrames<true>(set) : TransposeFrames<false>(set);
    } else if (a == 180) {
      TurnHalf(set);
    } else {
      TurnAnyAngle(set, a, budget);
    }
  } catch (const std::bad_alloc&) {
    set = {};
  }
}

}  // namespace components
