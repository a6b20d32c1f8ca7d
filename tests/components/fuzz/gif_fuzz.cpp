// libFuzzer target: our GIF decoder on any bytes. Whatever it returns must be a whole frame set
// within the budget.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/image/gif_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A smaller budget than the product's keeps each run fast; the arithmetic is the same.
  constexpr size_t kBudget = size_t{1} << 20;
  const components::FrameSet set = components::DecodeGif({data, size}, kBudget);
  if (set.frames.empty()) return 0;
  if (set.width <= 0 || set.height <= 0) abort();
  if (set.frames.size() * set.PixelCount() * 4 > kBudget) abort();
  for (const auto& frame : set.frames) {
    if (frame.pixels.size() != set.PixelCount() || frame.delay < 10) abort();
  }
  return 0;
}
