// The animation box's background.
#include "components/box/box_background.h"

#include <algorithm>

namespace components {

namespace {

// Copies the picture with its top-left at (x, y), clipped to the destination.
void Place(Surface dst, const PictureView& picture, int64_t x, int64_t y) {
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(x + picture.width, dst.width);
  const int64_t bottom = std::min<int64_t>(y + picture.height, dst.height);
  if (left >= right || top >= bottom) return;
  for (int64_t row = top; row < bottom; ++row) {
    const uint32_t* from = picture.pixels + (row - y) * picture.stride + (left - x);
    std::copy_n(from, right - left, dst.pixels + row * dst.stride + left);
  }
}

}  // namespace

void RenderBackground(Surface dst, uint32_t color, const PictureView& picture, int32_t mode) {
  if (!dst.pixels || dst.width <= 0 || dst.height <= 0) return;
  const bool hasPicture = picture.pixels && picture.width > 0 && picture.height > 0;
  if (!hasPicture || mode != kPictureTile) {
    for (int32_t row = 0; row < dst.height; ++row)
      std::fill_n(dst.pixels + row * dst.stride, dst.width, color);
  }
  if (!hasPicture) return;
  switch (mode) {
    case kPictureTopLeft:
      Place(dst, picture, 0, 0);
      break;
    case kPictureCentre:
      Place(dst, picture, (dst.width - picture.width) / 2, (dst.height - picture.height) / 2);
      break;
    case kPictureTile:
      for (int64_t y = 0; y < dst.height; y += picture.height)
        for (int64_t x = 0; x < dst.width; x += picture.width) Place(dst, picture, x, y);
      break;
    default:
      break;
  }
}

}  // namespace components
