// Size checks and construction of frame sets.
#include "components/image/frame_set.h"

#include <limits>
#include <new>

namespace components {

size_t FrameBytesWithin(int64_t width, int64_t height, int64_t frames, size_t budget) {
  if (width <= 0 || height <= 0 || frames <= 0) return 0;
  // Each factor is bounded by the budget first, so the products below cannot overflow 64 bits.
  const uint64_t limit = budget;
  if (static_cast<uint64_t>(width) > limit || static_cast<uint64_t>(height) > limit ||
      static_cast<uint64_t>(frames) > limit) {
    return 0;
  }
  const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixels > limit / 4) return 0;
  const uint64_t frameBytes = pixels * 4;
  if (static_cast<uint64_t>(frames) > limit / frameBytes) return 0;
  const uint64_t total = frameBytes * static_cast<uint64_t>(frames);
  if (total > std::numeric_limits<size_t>::max()) return 0;
  return static_cast<size_t>(total);
}

FrameSet MakeFrameSet(int32_t width, int32_t height, uint32_t fill, size_t budget) {
  FrameSet set;
  if (FrameBytesWithin(width, height, 1, budget) == 0) return set;
  try {
    Frame frame;
    frame.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    set.frames.push_back(std::move(frame));
  } catch (const std::bad_alloc&) {
    return {};
  }
  set.width = width;
  set.height = height;
  return set;
}

}  // namespace components
