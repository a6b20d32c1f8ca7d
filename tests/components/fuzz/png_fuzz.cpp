// libFuzzer target: PNG loading through libpng. The chunks' CRCs are recomputed first, so that
// mutations reach the chunk contents instead of stopping at a checksum. A result must be one
// whole frame within the budget; libpng's errors must come back as no image.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/image/png_decoder.h"

namespace {

uint32_t BigEndian(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void FixChunkChecksums(std::vector<uint8_t>& png) {
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = BigEndian(&png[at]);
    if (length > png.size() - at - 12) return;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[at + 4], length + 4));
    uint8_t* out = &png[at + 8 + length];
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kBudget = size_t{1} << 20;
  std::vector<uint8_t> png(data, data + size);
  FixChunkChecksums(png);
  const components::FrameSet set = components::DecodePng(png, kBudget);
  if (set.frames.empty()) return 0;
  if (set.frames.size() != 1 || set.width <= 0 || set.height <= 0) abort();
  if (set.frames[0].pixels.size() != set.PixelCount() || set.PixelCount() * 4 > kBudget) abort();
  return 0;
}
