// The animation box's background: the client area filled with the background colour and the
// background picture placed by its picture mode, into a 32-bit top-down bitmap.
#pragma once

#include <cstdint>

#include "components/image/blend.h"

namespace components {

// A picture as 32-bit top-down pixels (a device-independent bitmap read back).
struct PictureView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  ptrdiff_t stride = 0;  // pixels from one row to the next
};

enum PictureMode : int32_t {
  kPictureTopLeft,  // fill, then the picture once at (0, 0)
  kPictureStretch,  // the picture stretched over the whole area (by the platform)
  kPictureCentre,   // fill, then the picture at ((W - w) / 2, (H - h) / 2): cropped evenly
  kPictureTile,     // no fill; the picture in rows and columns from (0, 0)
};

// Renders the background into `dst`. `color` is in pixel order (0x00RRGGBB). Without a picture
// (null pixels or an empty size) the area is filled. For kPictureStretch this only fills: the
// platform stretches the picture over it with its own filter.
void RenderBackground(Surface dst, uint32_t color, const PictureView& picture, int32_t mode);

}  // namespace components
