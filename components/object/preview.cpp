// The animation object's design-mode preview.
#include "components/object/preview.h"

#include <algorithm>

namespace components {
namespace {

void FillRect(Surface s, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.width);
  bottom = std::min(bottom, s.height);
  for (int32_t y = top; y < bottom; ++y)
    std::fill(s.pixels + y * s.stride + left, s.pixels + y * s.stride + right, color);
}

void PaintSheet(Surface s) {
  for (int32_t y = 0; y < s.height; ++y) {
    uint32_t* row = s.pixels + y * s.stride;
    std::fill(row, row + s.width, kPreviewSheet);
    if (y % 4 != 0) continue;
    for (int32_t x = 0; x < s.width; x += 4) row[x] = kPreviewDot;
  }
}

}  // namespace

Region PreviewPlacement(int32_t sheetWidth, int32_t sheetHeight, const FrameSet& image) {
  return {(sheetWidth - image.width) / 2, (sheetHeight - image.height) / 2, image.width, image.height};
}

void PaintPreview(Surface sheet, const FrameSet& image, size_t frame, int32_t alpha) {
  if (!sheet.pixels || sheet.width <= 0 || sheet.height <= 0) return;
  PaintSheet(sheet);
  if (image.Empty()) return;
  const Frame& shown = image.frames[std::min(frame, image.frames.size() - 1)];
  const Region at = PreviewPlacement(sheet.width, sheet.height, image);
  BlendFrame(shown, image.width, image.height, {0, 0, image.width, image.height}, sheet, at.x, at.y, alpha,
             shown.transparentColor);
  // The outline of the rectangle one pixel outside the image, drawn two pixels wide: it covers
  // the two pixels next to the image on every side.
  const int32_t left = at.x - 2, top = at.y - 2, right = at.x + at.width + 2, bottom = at.y + at.height + 2;
  FillRect(sheet, left, top, right, top + 2, kPreviewFrameColor);
  FillRect(sheet, left, bottom - 2, right, bottom, kPreviewFrameColor);
  FillRect(sheet, left, top, left + 2, bottom, kPreviewFrameColor);
  FillRect(sheet, right - 2, top, right, bottom, kPreviewFrameColor);
}

bool PreviewPlayer::Tick(uint32_t now, const FrameSet& image, int32_t gifDelay) {
  if (image.frames.size() < 2) return false;
  if (frame_ >= image.frames.size()) frame_ = 0;
  int64_t due = std::max(image.frames[frame_].delay, 0);
  if (frame_ == 0) due += std::max(gifDelay, 0);
  if (static_cast<int64_t>(now - last_) < due) return false;
  frame_ = (frame_ + 1) % image.frames.size();
  last_ = now;
  return true;
}

}  // namespace components
