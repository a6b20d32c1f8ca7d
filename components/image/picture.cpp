// Picture loading dispatch.
#include "components/image/picture.h"

#include <cstring>

#include "components/image/gif_decoder.h"
#include "components/image/png_decoder.h"

namespace components {
namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* signature, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

}  // namespace

FrameSet LoadPicture(std::span<const uint8_t> bytes, uint32_t transparentColor, bool automatic,
                     PictureService* service, size_t budget) {
  FrameSet set;
  if (bytes.empty()) return set;
  if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) {
    set = DecodeGif(bytes, budget);
  } else if (StartsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) {
    set = DecodePng(bytes, budget);
  } else if (service) {
    set = service->Decode(bytes, budget);
  }
  if (set.Empty()) return {};
  for (Frame& frame : set.frames) {
    // The top-left pixel as a COLORREF: its colour bytes with red and blue swapped back.
    frame.transparentColor = automatic ? SwapRedBlue(frame.pixels[0] & kColorMask) : transparentColor;
  }
  return set;
}

}  // namespace components
