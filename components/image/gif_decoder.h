// Our own GIF decoder: every image of the file drawn in turn onto the logical screen, each
// frame a copy of the whole canvas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "components/image/frame_set.h"

namespace components {

// The frames of a GIF (GIF87a or GIF89a). The canvas starts fully transparent (0xFFFFFFFF).
// Decoding stops at the trailer, at the first block that cannot be read, or at the first frame
// that would take the frames over `budget` bytes in all, keeping the frames decoded so far; no
// decodable image gives no image.
// Every frame's transparent colour is kNoColor; the delay is the GIF's in milliseconds, 50 for
// a delay of 0.
FrameSet DecodeGif(std::span<const uint8_t> bytes, size_t budget = kPictureBudget);

}  // namespace components
