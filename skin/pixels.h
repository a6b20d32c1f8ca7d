// Premultiplied 32-bit pixels (0xAARRGGBB, top row first): the copies and source-over blends
// with which the layered window's picture is put together where no scaling is needed.
#pragma once

#include <cstdint>

namespace skin {

struct PixelView {
  uint32_t* pixels;
  int32_t width, height;
};

struct SourcePixels {
  const uint32_t* pixels;
  int32_t width, height;  // the whole source; rows are width pixels apart
};

// Source-over of the source's top-left w x h part at (x, y), clipped to the target.
void BlendPixels(PixelView target, int32_t x, int32_t y, SourcePixels source, int32_t w, int32_t h);

// Replaces the target with a source of its own size.
void CopyPixels(PixelView target, SourcePixels source);

// A rectangle of pixels, right and bottom exclusive.
struct PixelArea {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return left >= right || top >= bottom; }
  bool Meets(const PixelArea& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

// The smallest rectangle outside which two pictures of the same size are equal; empty when
// they are equal everywhere. With `within`, only that part of them is compared.
PixelArea ChangedArea(SourcePixels before, SourcePixels after);
PixelArea ChangedArea(SourcePixels before, SourcePixels after, PixelArea within);

// Copies the area of the source into the target of the same size.
void CopyArea(PixelView target, SourcePixels source, PixelArea area);
// Makes the area of the target transparent (0).
void ClearArea(PixelView target, PixelArea area);

}  // namespace skin
