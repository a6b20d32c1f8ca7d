// Blending. The inner loop has no branches, so compilers turn it into vector code where the
// target has it; every pixel still gets the exact MulDiv rounding.
#include "components/blend.h"

#include <algorithm>

#include "components/mul_div.h"

namespace components {
namespace {

// MulDiv(diff, f, 255) for diff in -255..255 and f in 0..255, without a division:
// n / 255 == (n + 1 + (n >> 8)) >> 8 for every n up to 255 * 255 + 127.
inline int32_t MulDiv255(int32_t diff, int32_t f) {
  const int32_t product = diff * f;
  const int32_t sign = product >> 31;
  const int32_t n = ((product ^ sign) - sign) + 127;
  const int32_t q = (n + 1 + (n >> 8)) >> 8;
  return (q ^ sign) - sign;
}

void BlendRow(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t s = src[i], d = dst[i];
    int32_t f = 255 - a - static_cast<int32_t>(s >> 24);
    f = f < 0 ? 0 : f;
    f = (s & kColorMask) == key ? 0 : f;
    // f == 255 is "o <= 0": the pixel replaces the destination, its transparency byte (0) too.
    uint32_t out = f == 255 ? 0 : (d & 0xFF000000);
    for (int shift = 0; shift < 24; shift += 8) {
      const int32_t sc = static_cast<int32_t>((s >> shift) & 0xFF);
      const int32_t dc = static_cast<int32_t>((d >> shift) & 0xFF);
      out |= static_cast<uint32_t>(dc + MulDiv255(sc - dc, f)) << shift;
    }
    dst[i] = out;
  }
}

}  // namespace

void BlendFrame(const Frame& frame, int32_t frameWidth, int32_t frameHeight, Region region, Surface dst,
                int32_t dx, int32_t dy, int32_t transparency, uint32_t transparentColor) {
  if (!dst.pixels || frameWidth <= 0 || frameHeight <= 0 || region.width <= 0 || region.height <= 0) return;
  if (frame.pixels.size() < static_cast<size_t>(frameWidth) * static_cast<size_t>(frameHeight)) return;
  // Offsets i, j of the region that lie inside both the frame and the buffer.
  const int64_t sx = region.x, sy = region.y;
  const int64_t i0 = std::max<int64_t>({0, -sx, -int64_t{dx}});
  const int64_t j0 = std::max<int64_t>({0, -sy, -int64_t{dy}});
  const int64_t i1 = std::min<int64_t>({region.width, frameWidth - sx, int64_t{dst.width} - dx});
  const int64_t j1 = std::min<int64_t>({region.height, frameHeight - sy, int64_t{dst.height} - dy});
  if (i0 >= i1 || j0 >= j1) return;

  const int32_t a = MulDiv(std::clamp(transparency, 0, 100), 255, 100);
  const uint32_t key = KeyOf(transparentColor);
  for (int64_t j = j0; j < j1; ++j) {
    const uint32_t* src = frame.pixels.data() + (sy + j) * frameWidth + (sx + i0);
    uint32_t* out = dst.pixels + (dy + j) * dst.stride + (dx + i0);
    BlendRow(src, out, static_cast<int32_t>(i1 - i0), a, key);
  }
}

}  // namespace components
