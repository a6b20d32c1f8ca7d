// The animation object's design-mode preview: the picture it paints (a white sheet with a
// light grey dot at every fourth pixel of every fourth row, the current frame centred and
// blended with the object's transparency, a red frame round it) and the clock that steps a GIF's
// frames at their delays.
#pragma once

#include <cstddef>
#include <cstdint>

#include "components/image/blend.h"
#include "components/image/frame_set.h"

namespace components {

inline constexpr uint32_t kPreviewSheet = 0x00FFFFFF;  // pixel order
inline constexpr uint32_t kPreviewDot = 0x00C0C0C0;
inline constexpr uint32_t kPreviewFrameColor = 0x00FF0000;  // red, pixel order
inline constexpr uint32_t kPreviewTimerId = 1;
inline constexpr uint32_t kPreviewTimerPeriod = 10;  // milliseconds

// Where the image lies on a sheet of the size: centred (halves rounded toward the top left).
Region PreviewPlacement(int32_t sheetWidth, int32_t sheetHeight, const FrameSet& image);

// Paints the whole of `sheet`: dots, then frame `frame` of `image` (when there is one) centred
// and blended with `alpha` percent, then a red frame two pixels wide round it (the outline one
// pixel outside the image, drawn two pixels wide: the two pixels next to the image on each side).
void PaintPreview(Surface sheet, const FrameSet& image, size_t frame, int32_t alpha);

// Steps a multi-frame image: frame i lasts its delay, frame 0 also `gifDelay` (the pause before
// each new play). Times are milliseconds of a wrapping 32-bit clock.
class PreviewPlayer {
 public:
  // Whether the preview animates at all.
  static bool Plays(const FrameSet& image, bool playGif) { return playGif && image.frames.size() > 1; }

  void Restart(uint32_t now) {
    frame_ = 0;
    last_ = now;
  }
  // True when the frame advanced (the preview must be repainted).
  bool Tick(uint32_t now, const FrameSet& image, int32_t gifDelay);
  size_t frame() const { return frame_; }

 private:
  size_t frame_ = 0;
  uint32_t last_ = 0;
};

}  // namespace components
