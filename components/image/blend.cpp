// Blending. d + MulDiv(s - d, f, 255) is the nearest integer to (s f + d (255 - f)) / 255:
// the two could differ only in rounding a half, and (s - d) f / 255 is never a half (255 is
// odd). So each channel is (s f + d (255 - f) + 127) / 255, with n / 255 computed as
// (n + 1 + (n >> 8)) >> 8, exact for every n up to 255 * 255 + 127. Every value fits 16 bits:
// where SSE2 exists (x86_64) eight channels go through one vector; the i686 product, which
// cannot count on SSE2, takes the scalar row.
#include "components/image/blend.h"

#include <algorithm>

#include "base/mul_div.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace components {

using base::MulDiv;

void BlendRowScalar(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t s = src[i], d = dst[i];
    // o is never negative (a and the amount are 0..255); the transparent colour draws nothing.
    const uint32_t o = (s & kColorMask) == key ? 255 : static_cast<uint32_t>(a) + (s >> 24);
    if (o >= 255) continue;
    const uint32_t f = 255 - o, g = o;
    // o == 0: the pixel replaces the destination, its transparency byte (0) too.
    uint32_t out = o == 0 ? 0 : (d & 0xFF000000);
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t n = ((s >> shift) & 0xFF) * f + ((d >> shift) & 0xFF) * g + 127;
      out |= ((n + 1 + (n >> 8)) >> 8) << shift;
    }
    dst[i] = out;
  }
}

#if defined(__SSE2__)
namespace {

// Channels of two pixels (16-bit lanes) mixed by their factors f (each repeated over its
// pixel's four lanes): n = 255 d + (s - d) f + 127 taken modulo 2^16, which is exact because
// the true n lies in 0..65152, and n / 255 as the high half of n * 0x8081 shifted by 7.
inline __m128i MixChannels(__m128i s, __m128i d, __m128i f) {
  __m128i n = _mm_sub_epi16(_mm_slli_epi16(d, 8), d);
  n = _mm_add_epi16(n, _mm_mullo_epi16(_mm_sub_epi16(s, d), f));
  n = _mm_add_epi16(n, _mm_set1_epi16(127));
  return _mm_srli_epi16(_mm_mulhi_epu16(n, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// Four pixels at a time; `keyed` when the frame has a transparent colour.
template <bool keyed>
int32_t BlendFours(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colorMask = _mm_set1_epi32(static_cast<int>(kColorMask));
  const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
  const __m128i as = _mm_set1_epi32(a);
  const __m128i full = _mm_set1_epi32(255);
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i o = _mm_add_epi32(as, _mm_srli_epi32(s, 24));
    if (keyed) {
      const __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(s, colorMask), keys);
      o = _mm_or_si128(_mm_andnot_si128(isKey, o), _mm_and_si128(isKey, full));
    }
    const __m128i replace = _mm_cmpeq_epi32(o, zero);
    const int replaced = _mm_movemask_epi8(replace);
    if (replaced == 0xFFFF) {  // four pixels that replace the destination
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_and_si128(s, colorMask));
      continue;
    }
    // o in 0..510 as 16 bits, capped at 255: f = 255 - o.
    const __m128i o16 = _mm_min_epi16(_mm_packs_epi32(o, o), _mm_set1_epi16(255));
    const __m128i f16 = _mm_sub_epi16(_mm_set1_epi16(255), o16);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(f16, zero)) == 0xFFFF) continue;  // nothing drawn
    const __m128i fPairs = _mm_unpacklo_epi16(f16, f16);
    const __m128i fLow = _mm_unpacklo_epi32(fPairs, fPairs), fHigh = _mm_unpackhi_epi32(fPairs, fPairs);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i low = MixChannels(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), fLow);
    const __m128i high = MixChannels(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), fHigh);
    const __m128i mixed = _mm_and_si128(_mm_packus_epi16(low, high), colorMask);
    // The destination keeps its transparency byte unless the pixel replaces it (o == 0).
    const __m128i top = _mm_andnot_si128(_mm_or_si128(colorMask, replace), d);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(mixed, top));
  }
  return i;
}

}  // namespace

bool HasVectorBlendRow() { return true; }

void BlendRowVector(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  const int32_t done = key == KeyOf(kNoColor) ? BlendFours<false>(src, dst, count, a, key)
                                              : BlendFours<true>(src, dst, count, a, key);
  BlendRowScalar(src + done, dst + done, count - done, a, key);
}
#else
bool HasVectorBlendRow() { return false; }

void BlendRowVector(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  BlendRowScalar(src, dst, count, a, key);
}
#endif

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
    BlendRowVector(src, out, static_cast<int32_t>(i1 - i0), a, key);
  }
}

}  // namespace components
