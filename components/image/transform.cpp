// Flip, zoom, trend and brightness: integer arithmetic only. Rotation is in rotate.cpp.
#include "components/image/transform.h"

#include <algorithm>
#include <new>
#include <vector>

#include "base/mul_div.h"

namespace components {

using base::MulDiv;
namespace {

// Applies `channel` to each colour byte of every opaque pixel, keeping the transparency byte.
template <typename ChannelFn>
void ForEachOpaqueChannel(FrameSet& set, ChannelFn channel) {
  for (Frame& frame : set.frames) {
    const uint32_t key = KeyOf(frame.transparentColor);
    for (uint32_t& p : frame.pixels) {
      if (!IsOpaque(p, key)) continue;
      uint32_t out = p & 0xFF000000;
      for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<uint32_t>(channel(static_cast<int32_t>((p >> shift) & 0xFF), shift)) << shift;
      }
      p = out;
    }
  }
}

// Source positions of nearest sampling at pixel centres: ((2i + 1) from) / (2 to), stepped
// without a division per entry: the quotient grows by (2 from) / (2 to) and the remainder
// carries.
std::vector<int32_t> NearestMap(int32_t from, int32_t to) {
  std::vector<int32_t> map(static_cast<size_t>(to));
  const int64_t divisor = 2 * static_cast<int64_t>(to);
  const int64_t stepQuotient = 2 * static_cast<int64_t>(from) / divisor;
  const int64_t stepRemainder = 2 * static_cast<int64_t>(from) % divisor;
  int64_t quotient = from / divisor, remainder = from % divisor;
  for (int32_t i = 0; i < to; ++i) {
    map[i] = static_cast<int32_t>(quotient);
    quotient += stepQuotient;
    remainder += stepRemainder;
    if (remainder >= divisor) {
      remainder -= divisor;
      ++quotient;
    }
  }
  return map;
}

// Copies the sampled pixels of one row. An unchanged width is a plain copy; halving (from = 2 to, the
// commonest shrink) samples columns 1, 3, 5, ...: a fixed stride the compiler turns into whole-register
// shuffles.
void SampleRow(const uint32_t* src, int32_t from, const std::vector<int32_t>& columns, uint32_t* dst) {
  const int32_t to = static_cast<int32_t>(columns.size());
  if (from == to) {
    std::copy_n(src, to, dst);
    return;
  }
  if (from == 2 * to) {
    for (int32_t x = 0; x < to; ++x) dst[x] = src[2 * x + 1];
    return;
  }
  for (int32_t x = 0; x < to; ++x) dst[x] = src[columns[x]];
}

// One frame's zoomed pixels into `out`, newWidth x newHeight.
void ZoomFrame(const Frame& frame, int32_t width, const std::vector<int32_t>& columns,
               const std::vector<int32_t>& rows, uint32_t* out) {
  const int32_t newWidth = static_cast<int32_t>(columns.size()),
                newHeight = static_cast<int32_t>(rows.size());
  const uint32_t key = KeyOf(frame.transparentColor);
  for (int32_t y = 0; y < newHeight; ++y) {
    uint32_t* dst = out + static_cast<size_t>(y) * newWidth;
    if (y > 0 && rows[y] == rows[y - 1]) {  // enlarging: the same source row again
      std::copy_n(dst - newWidth, newWidth, dst);
      continue;
    }
    const uint32_t* src = frame.pixels.data() + static_cast<size_t>(rows[y]) * width;
    if (frame.transparentColor == kNoColor) {
      SampleRow(src, width, columns, dst);
      continue;
    }
    for (int32_t x = 0; x < newWidth; ++x) {
      const uint32_t p = src[columns[x]];
      dst[x] = (p & kColorMask) == key ? (p | 0xFF000000) : p;
    }
  }
}

// The zoomed copy of `source`; an empty set when over the budget.
FrameSet ZoomedTo(const FrameSet& source, int32_t newWidth, int32_t newHeight, size_t budget) {
  if (FrameBytesWithin(newWidth, newHeight, static_cast<int64_t>(source.frames.size()), budget) == 0)
    return {};
  const std::vector<int32_t> columns = NearestMap(source.width, newWidth);
  const std::vector<int32_t> rows = NearestMap(source.height, newHeight);
  const size_t count = static_cast<size_t>(newWidth) * newHeight;
  FrameSet out;
  out.width = newWidth;
  out.height = newHeight;
  out.frames.reserve(source.frames.size());
  for (const Frame& frame : source.frames) {
    Frame& zoomed = out.frames.emplace_back();
    zoomed.delay = frame.delay;
    zoomed.pixels.resize(count);
    ZoomFrame(frame, source.width, columns, rows, zoomed.pixels.data());
  }
  return out;
}

}  // namespace

void Flip(FrameSet& set, int mode) {
  if (set.Empty() || mode < 1 || mode > 3) return;
  const size_t width = static_cast<size_t>(set.width);
  for (Frame& frame : set.frames) {
    if (mode == 3) {
      std::reverse(frame.pixels.begin(), frame.pixels.end());
      continue;
    }
    for (int32_t y = 0; y < set.height; ++y) {
      auto row = frame.pixels.begin() + static_cast<ptrdiff_t>(y * width);
      if (mode == 1) std::reverse(row, row + static_cast<ptrdiff_t>(width));
      if (mode == 2 && y < set.height / 2) {
        auto mirror = frame.pixels.begin() + static_cast<ptrdiff_t>((set.height - 1 - y) * width);
        std::swap_ranges(row, row + static_cast<ptrdiff_t>(width), mirror);
      }
    }
  }
}

FrameSet Zoomed(const FrameSet& source, int32_t zx, int32_t zy, size_t budget) {
  if (source.Empty() || (zx == 1000 && zy == 1000) || zx <= 0 || zy <= 0) return source;
  const int32_t newWidth = MulDiv(source.width, zx, 1000);
  const int32_t newHeight = MulDiv(source.height, zy, 1000);
  if (newWidth <= 0 || newHeight <= 0) return {};
  // With nearest sampling the two axes are independent, so the order of the passes that a
  // separable filter would need (one enlarging, one shrinking) changes nothing.
  try {
    return ZoomedTo(source, newWidth, newHeight, budget);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

void Zoom(FrameSet& set, int32_t zx, int32_t zy, size_t budget) {
  if (set.Empty() || (zx == 1000 && zy == 1000) || zx <= 0 || zy <= 0) return;
  set = Zoomed(set, zx, zy, budget);
}

void Trend(FrameSet& set, uint32_t color, int32_t percent) {
  if (percent <= 0) return;
  percent = std::min(percent, 100);
  const uint32_t target = SwapRedBlue(color & kColorMask);
  ForEachOpaqueChannel(set, [&](int32_t v, int shift) {
    const int32_t c = static_cast<int32_t>((target >> shift) & 0xFF);
    return v + MulDiv(c - v, percent, 100);
  });
}

void Brighten(FrameSet& set, int32_t percent) {
  if (percent == 0) return;
  // Outside -100..25500 every channel ends at 0 or 255 anyway (v <= 255); bounding the factor
  // keeps MulDiv from overflowing into its -1.
  percent = std::clamp(percent, -100, 25500);
  ForEachOpaqueChannel(set, [&](int32_t v, int) { return std::clamp(v + MulDiv(v, percent, 100), 0, 255); });
}

}  // namespace components
