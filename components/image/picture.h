// Loading a picture of an animation object from its bytes: GIF and PNG by our own decoders,
// anything else through the operating system's picture service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "components/image/frame_set.h"

namespace components {

// The picture service of the platform: turns bytes of a format we do not decode ourselves
// (bitmap, JPEG, icon, ...) into one 32-bit frame, or no image.
class PictureService {
 public:
  virtual ~PictureService() = default;
  virtual FrameSet Decode(std::span<const uint8_t> bytes, size_t budget) = 0;
};

// The picture in `bytes`: GIF87a/GIF89a and PNG signatures go to our decoders, anything else to
// `service` (no image without one). Every frame's transparent colour is then the colour of its
// top-left pixel when `automatic`, else `transparentColor` (a COLORREF, kNoColor for none).
FrameSet LoadPicture(std::span<const uint8_t> bytes, uint32_t transparentColor, bool automatic,
                     PictureService* service, size_t budget = kPictureBudget);

}  // namespace components
