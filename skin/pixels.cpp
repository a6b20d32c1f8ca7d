// Copies and source-over blends of premultiplied pixels.
#include "skin/pixels.h"

#include <algorithm>
#include <cstring>

namespace skin {
namespace {

// d * (255 - a) / 255, rounded, on the four bytes at once (two lanes of two bytes).
inline uint32_t ScaleRemaining(uint32_t d, uint32_t remaining) {
  uint32_t rb = (d & 0x00FF00FF) * remaining + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t ag = ((d >> 8) & 0x00FF00FF) * remaining + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return rb | ag;
}

inline uint32_t Over(uint32_t s, uint32_t d) {
  const uint32_t alpha = s >> 24;
  if (alpha == 255) return s;
  if (alpha == 0) return d;
  return s + ScaleRemaining(d, 255 - alpha);
}

}  // namespace

void BlendPixels(PixelView target, int32_t x, int32_t y, SourcePixels source, int32_t w, int32_t h) {
  w = std::min(w, source.width);
  h = std::min(h, source.height);
  const int32_t left = std::max(0, -x), top = std::max(0, -y);
  const int32_t right = std::min(w, target.width - x), bottom = std::min(h, target.height - y);
  for (int32_t row = top; row < bottom; ++row) {
    const uint32_t* from = source.pixels + static_cast<size_t>(row) * source.width;
    uint32_t* to = target.pixels + static_cast<size_t>(y + row) * target.width + x;
    for (int32_t column = left; column < right; ++column) to[column] = Over(from[column], to[column]);
  }
}

void CopyPixels(PixelView target, SourcePixels source) {
  if (source.width != target.width || source.height != target.height) return;
  std::memcpy(target.pixels, source.pixels, static_cast<size_t>(target.width) * target.height * 4);
}

}  // namespace skin
