// libFuzzer target: PNG loading through libpng. A result must be one whole frame within the
// budget; libpng's errors must come back as no image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "components/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kBudget = size_t{1} << 20;
  const components::FrameSet set = components::DecodePng({data, size}, kBudget);
  if (set.frames.empty()) return 0;
  if (set.frames.size() != 1 || set.width <= 0 || set.height <= 0) abort();
  if (set.frames[0].pixels.size() != set.PixelCount() || set.PixelCount() * 4 > kBudget) abort();
  return 0;
}
