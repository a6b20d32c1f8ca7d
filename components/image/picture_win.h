// The picture service behind the animation object's pictures that are neither GIF nor PNG
// (bitmaps, JPEG, icons, ...): the runtime's picture service decodes them, and they come back
// here as one 32-bit frame.
#pragma once

#include "components/image/picture.h"

namespace components {

class OlePictureService final : public PictureService {
 public:
  // OLE must be initialised on the calling thread (the runtime does so at start-up).
  FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) override;
};

}  // namespace components
