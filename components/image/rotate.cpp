// Rotation of frame sets: exact turns by 90, 180 and 270 degrees, and the general turn whose
// arithmetic lives in rotation_math.cpp.
#include <algorithm>
#include <new>
#include <vector>

#include "components/image/rotation_math.h"
#include "components/image/transform.h"

namespace components {
namespace {

// 90: new (c, r) = old (r, h - 1 - c); 270: new (c, r) = old (w - 1 - r, c). Width and height swap.
void Transpose(FrameSet& set, bool clockwise) {
  const int32_t w = set.width, h = set.height;
  for (Frame& frame : set.frames) {
    std::vector<uint32_t> out(frame.pixels.size());
    const uint32_t* src = frame.pixels.data();
    for (int32_t r = 0; r < w; ++r) {
      uint32_t* dst = out.data() + static_cast<size_t>(r) * h;
      for (int32_t c = 0; c < h; ++c) {
        dst[c] = clockwise ? src[static_cast<size_t>(h - 1 - c) * w + r]
                           : src[static_cast<size_t>(c) * w + (w - 1 - r)];
      }
    }
    frame.pixels = std::move(out);
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
  std::vector<std::vector<uint32_t>> out(set.frames.size());
  for (auto& pixels : out) pixels.resize(static_cast<size_t>(g.width) * g.height);
  std::vector<int32_t> sources(static_cast<size_t>(g.width));
  for (int32_t row = 0; row < g.height; ++row) {
    {
      [[maybe_unused]] DoublePrecisionFpu precision;
      SourceIndexesOfRow(g, row, set.width, set.height, sources.data());
    }
    for (size_t f = 0; f < set.frames.size(); ++f) {
      const uint32_t* src = set.frames[f].pixels.data();
      uint32_t* dst = out[f].data() + static_cast<size_t>(row) * g.width;
      for (int32_t i = 0; i < g.width; ++i) dst[i] = sources[i] < 0 ? kTransparentPixel : src[sources[i]];
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
      Transpose(set, a == 90);
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
