// The pixel tests behind collisions, hit testing and the box's edges. A pixel counts when it is
// opaque (IsOpaque: not fully transparent and not of the frame's transparent colour). Positions
// are the frames' top-left corners.
#pragma once

#include <cstddef>
#include <cstdint>

#include "components/image/frame_set.h"

namespace components {

// One frame of a set, as the tests read it; `pixels` is null for an object without an image.
struct FrameView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  uint32_t key = KeyOf(kNoColor);  // transparent colour in pixel order
};

// The view of frame `index` of the set; an empty view when there is no such frame.
FrameView ViewOf(const FrameSet& set, size_t index);

// Right and bottom exclusive.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// True when some pixel of the intersection of the two frames' rectangles is opaque in both.
bool Overlap(const FrameView& a, int32_t ax, int32_t ay, const FrameView& b, int32_t bx, int32_t by);

// True when (px, py) lies on the frame and the frame's pixel there is opaque.
bool PointHit(const FrameView& a, int32_t ax, int32_t ay, int32_t px, int32_t py);

// False when the frame's rectangle misses r; true when r holds it wholly; otherwise whether any
// opaque pixel lies inside r. Without an image, whether r holds the position.
bool VisibleIn(const FrameView& a, int32_t ax, int32_t ay, const Rect& r);

// The edges of r beyond which the frame has opaque pixels: 1 left, 2 top, 4 right, 8 bottom.
// Only the part beside the intersection I of the frame and r counts (the rows of I for left, its
// columns for top and bottom); for right, the rows from I's top to the frame's bottom, so the
// part beyond the bottom-right corner counts too. 0 when I is empty.
int BorderBits(const FrameView& a, int32_t ax, int32_t ay, const Rect& r);

}  // namespace components
