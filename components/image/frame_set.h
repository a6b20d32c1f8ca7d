// The frame set: a decoded sprite image as the animation box and the animation object hold it.
// Every frame is a whole picture of width x height 32-bit pixels, rows top to bottom, so that
// drawing and the pixel tests are plain memory scans without any decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/colors.h"

namespace components {

// A pixel: 0x00RRGGBB read as an integer (blue, green, red in the low bytes) plus a
// transparency amount in the top byte, 0 opaque and 255 fully transparent.
inline constexpr uint32_t kTransparentPixel = 0xFFFFFFFF;
inline constexpr uint32_t kColorMask = 0x00FFFFFF;
// As a frame's transparent colour: the frame has none.
using base::kNoColor;

// The memory one decoded picture may take (frames x width x height x 4 bytes). A picture over
// it gives no image: the product is a 32-bit process, and a few of these must fit beside the
// program, its transforms and the canvas of a decoding GIF.
inline constexpr size_t kPictureBudget = size_t{256} << 20;

constexpr uint8_t TransparencyOf(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 24); }
// COLORREF (0x00BBGGRR) <-> pixel order (0x00RRGGBB): red and blue swap places.
constexpr uint32_t SwapRedBlue(uint32_t color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

struct Frame {
  uint32_t transparentColor = kNoColor;  // COLORREF, kNoColor when none
  int32_t delay = 0;                     // milliseconds
  std::vector<uint32_t> pixels;

  bool operator==(const Frame&) const = default;
};

// The frame's transparent colour in pixel order, or a value no pixel colour can take.
constexpr uint32_t KeyOf(uint32_t transparentColor) {
  return transparentColor == kNoColor ? 0xFFFFFFFF : SwapRedBlue(transparentColor);
}

// Opaque for every pixel test: not fully transparent, and not of the frame's transparent
// colour. `key` is KeyOf(frame.transparentColor).
constexpr bool IsOpaque(uint32_t pixel, uint32_t key) {
  return TransparencyOf(pixel) != 0xFF && (pixel & kColorMask) != key;
}

struct FrameSet {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Frame> frames;

  // No image: nothing to draw and nothing to test.
  bool Empty() const { return frames.empty() || width <= 0 || height <= 0; }
  size_t PixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
  bool operator==(const FrameSet&) const = default;
};

// Bytes of `frames` frames of width x height pixels, or 0 when a size is not positive, the
// arithmetic overflows or the result is over `budget`.
size_t FrameBytesWithin(int64_t width, int64_t height, int64_t frames, size_t budget = kPictureBudget);

// A frame set of one frame of the size filled with `fill`, or an empty set when over budget.
// (Allocation failure is reported the same way: no image.)
FrameSet MakeFrameSet(int32_t width, int32_t height, uint32_t fill, size_t budget = kPictureBudget);

}  // namespace components
