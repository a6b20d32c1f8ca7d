// Operations on whole frame sets: flip, rotation, zoom, trend colour and brightness. Each works
// on every frame in place; one that runs out of memory or over the picture budget leaves no
// image (an empty set), never a half-made one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "components/image/frame_set.h"

namespace components {

// 1 mirrors each row, 2 reverses the row order, 3 does both; other modes change nothing.
void Flip(FrameSet& set, int mode);

// Clockwise by `degrees` (any integer, taken modulo 360): 0 leaves the set, 90 / 180 / 270 are
// exact, any other angle turns into the bounding box of the turned corners, nearest pixel, with
// 0xFFFFFFFF outside the source. Delays and transparent colours are kept.
void Rotate(FrameSet& set, int degrees, size_t budget = kPictureBudget);

// Per mille on each axis: nothing when both are 1000 or either is 0 or less; the new size is
// MulDiv(width, zx, 1000) x MulDiv(height, zy, 1000) and a side of 0 or less empties the set.
// Nearest-pixel sampling at pixel centres; pixels of a frame's transparent colour become fully
// transparent, and the frames then have no transparent colour.
void Zoom(FrameSet& set, int32_t zx, int32_t zy, size_t budget = kPictureBudget);
// The same, made from `source` without changing it (the whole copy first would cost as much as
// a shrinking zoom itself).
FrameSet Zoomed(const FrameSet& source, int32_t zx, int32_t zy, size_t budget = kPictureBudget);

// Every opaque pixel's channels move `percent` (clamped to 100; nothing at 0 or less) of the
// way toward `color` (a COLORREF): v + MulDiv(c - v, percent, 100).
void Trend(FrameSet& set, uint32_t color, int32_t percent);

// Every opaque pixel's channels become v + MulDiv(v, percent, 100), clamped to 0..255.
void Brighten(FrameSet& set, int32_t percent);

}  // namespace components
