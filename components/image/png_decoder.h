// PNG pictures through libpng, read from memory into one 32-bit frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "components/image/frame_set.h"

namespace components {

// One frame (delay 0, no transparent colour): interlacing expanded, 16-bit channels reduced to
// their high byte, palette and grey images expanded (grey as an even ramp), tRNS and alpha
// channels turned into the transparency amount (255 - alpha). With a bKGD chunk the picture
// is composited over that colour (gamma 1.0, the stored values mixed as they are) and comes
// out opaque. Any libpng error, or a picture over `budget` bytes, gives no image.
FrameSet DecodePng(std::span<const uint8_t> bytes, size_t budget = kPictureBudget);

}  // namespace components
