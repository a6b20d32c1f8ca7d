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

PixelArea ChangedArea(SourcePixels before, SourcePixels after) {
  return ChangedArea(before, after, {0, 0, before.width, before.height});
}

PixelArea ChangedArea(SourcePixels before, SourcePixels after, PixelArea within) {
  const int32_t w = before.width, h = before.height;
  if (w != after.width || h != after.height || w <= 0 || h <= 0) return {};
  within = {std::max(0, within.left), std::max(0, within.top), std::min(w, within.right),
            std::min(h, within.bottom)};
  if (within.empty()) return {};
  const auto row = [w](SourcePixels picture, int32_t y) {
    return picture.pixels + static_cast<size_t>(y) * w;
  };
  const size_t span = size_t(within.right - within.left) * 4;
  const auto same = [&](int32_t y) {
    return std::memcmp(row(before, y) + within.left, row(after, y) + within.left, span) == 0;
  };
  int32_t top = within.top, bottom = within.bottom;
  while (top < bottom && same(top)) ++top;
  if (top == bottom) return {};
  while (same(bottom - 1)) --bottom;
  int32_t left = within.right, right = within.left;
  for (int32_t y = top; y < bottom && (left > within.left || right < within.right); ++y) {
    const uint32_t *from = row(before, y), *to = row(after, y);
    int32_t first = within.left, last = within.right;
    while (first < left && from[first] == to[first]) ++first;
    while (last > right && from[last - 1] == to[last - 1]) --last;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  return {left, top, right, bottom};
}

namespace {

PixelArea Clip(PixelArea area, int32_t width, int32_t height) {
  return {std::max(0, area.left), std::max(0, area.top), std::min(width, area.right),
          std::min(height, area.bottom)};
}

}  // namespace

void CopyArea(PixelView target, SourcePixels source, PixelArea area) {
  if (source.width != target.width || source.height != target.height) return;
  area = Clip(area, target.width, target.height);
  if (area.empty()) return;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    const size_t at = static_cast<size_t>(y) * target.width + area.left;
    std::memcpy(target.pixels + at, source.pixels + at, static_cast<size_t>(area.right - area.left) * 4);
  }
}

void ClearArea(PixelView target, PixelArea area) {
  area = Clip(area, target.width, target.height);
  if (area.empty()) return;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    uint32_t* row = target.pixels + static_cast<size_t>(y) * target.width;
    std::fill(row + area.left, row + area.right, 0u);
  }
}

}  // namespace skin
