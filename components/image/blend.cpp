// Blending. d + MulDiv(s - d, f, 255) is the nearest integer to (s f + d (255 - f)) / 255:
// the two could differ only in rounding a half, and (s - d) f / 255 is never a half (255 is
// odd). So each channel is (s f + d (255 - f) + 127) / 255, with n / 255 computed as
// (n + 1 + (n >> 8)) >> 8, exact for every n up to 255 * 255 + 127. Every value fits 16 bits,
// so eight channels go through one SSE2 vector. x86_64 always has SSE2; the i686 product runs
// on processors that may not, so there the vector row is compiled for SSE2 on its own and
// chosen at run time, and everything else keeps to the base instruction set.
#include "components/image/blend.h"

#include <algorithm>

#include "base/mul_div.h"

#if defined(__x86_64__) || defined(__i386__)
#define BLEND_HAS_SSE2_ROW 1
#include <emmintrin.h>
#if defined(__i386__)
#include <cpuid.h>
// Only these functions may use SSE2: the caller checks the processor first.
#define SSE2_FUNCTION __attribute__((target("sse2"), always_inline))
// The Windows i686 ABI promises 4-byte stack alignment; vectors spilled there need 16.
#define SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define SSE2_FUNCTION __attribute__((always_inline))
#define SSE2_ENTRY
#endif
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

#if defined(BLEND_HAS_SSE2_ROW)
namespace {

// Channels of two pixels (16-bit lanes) mixed by their factors f: with n = s f + d (255 - f)
// + 127 = 255 k + r (r < 255, k <= 255), (n + 1) 257 = 65536 k + 257 (r + 1) - k, and the last
// two terms lie in 0..65535, so n / 255 is the high half of (n + 1) * 257; n + 1 <= 65153.
SSE2_FUNCTION inline __m128i MixChannels(__m128i s, __m128i d, __m128i f) {
  const __m128i g = _mm_sub_epi16(_mm_set1_epi16(255), f);
  __m128i n = _mm_add_epi16(_mm_mullo_epi16(s, f), _mm_mullo_epi16(d, g));
  n = _mm_add_epi16(n, _mm_set1_epi16(128));
  return _mm_mulhi_epu16(n, _mm_set1_epi16(257));
}

// Factor lanes for two pixels from their factor words (f in the top byte, the transparency
// byte's factor in the bottom one), widened to 16 bits: f over the colour channels, the
// bottom byte over the transparency channel.
SSE2_FUNCTION inline __m128i SpreadFactors(__m128i words) {
  const __m128i spread = _mm_shufflelo_epi16(words, _MM_SHUFFLE(0, 3, 3, 3));
  return _mm_shufflehi_epi16(spread, _MM_SHUFFLE(0, 3, 3, 3));
}

// Four pixels s onto d with factor words f (see SpreadFactors).
SSE2_FUNCTION inline __m128i MixPixels(__m128i s, __m128i d, __m128i f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = MixChannels(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero),
                                  SpreadFactors(_mm_unpacklo_epi8(f, zero)));
  const __m128i high = MixChannels(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero),
                                   SpreadFactors(_mm_unpackhi_epi8(f, zero)));
  return _mm_packus_epi16(low, high);
}

// Four pixels s onto the four d: the new d. `keyed` when the frame has a transparent colour,
// `copies` when a == 0 (only then can o be 0). The factor f = 255 - o = (255 - a) - amount,
// saturated at 0, is one byte subtraction with the amount in place; key pixels get amount 255
// first. The transparency channel mixes with factor 0 (the destination's byte stays) unless
// o == 0, where it takes factor 255 and the pixel's byte, 0.
template <bool keyed, bool copies>
SSE2_FUNCTION inline __m128i BlendFour(__m128i s, __m128i d, __m128i fMax, uint32_t key) {
  if (keyed) {
    const __m128i color = _mm_and_si128(s, _mm_set1_epi32(static_cast<int>(kColorMask)));
    s = _mm_or_si128(s, _mm_cmpeq_epi32(color, _mm_set1_epi32(static_cast<int>(key))));
  }
  __m128i f = _mm_subs_epu8(fMax, s);
  if (copies) f = _mm_or_si128(f, _mm_cmpeq_epi32(f, _mm_set1_epi32(static_cast<int>(0xFF000000u))));
  return MixPixels(s, d, f);
}

// Eight pixels at a time, then four, then the last one to three as part of the four that end
// the row; returns how many it did (fewer than four are left to the caller only when the row
// is shorter than four). Groups of eight that draw nothing or only copy take shortcuts.
template <bool keyed, bool copies>
SSE2_FUNCTION inline int32_t BlendEights(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a,
                                         uint32_t key) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colorMask = _mm_set1_epi32(static_cast<int>(kColorMask));
  const __m128i top = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
  const __m128i fMax = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(255 - a) << 24));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
    if (keyed) {
      s0 = _mm_or_si128(s0, _mm_cmpeq_epi32(_mm_and_si128(s0, colorMask), keys));
      s1 = _mm_or_si128(s1, _mm_cmpeq_epi32(_mm_and_si128(s1, colorMask), keys));
    }
    __m128i f0 = _mm_subs_epu8(fMax, s0), f1 = _mm_subs_epu8(fMax, s1);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(f0, f1), zero)) == 0xFFFF) continue;  // none drawn
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    if (copies) {
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(f0, f1), top)) == 0xFFFF) {  // all copied
        _mm_storeu_si128(out, _mm_and_si128(s0, colorMask));
        _mm_storeu_si128(out + 1, _mm_and_si128(s1, colorMask));
        continue;
      }
      f0 = _mm_or_si128(f0, _mm_cmpeq_epi32(f0, top));
      f1 = _mm_or_si128(f1, _mm_cmpeq_epi32(f1, top));
    }
    _mm_storeu_si128(out, MixPixels(s0, _mm_loadu_si128(out), f0));
    _mm_storeu_si128(out + 1, MixPixels(s1, _mm_loadu_si128(out + 1), f1));
  }
  if (i + 4 <= count) {
    __m128i* out = reinterpret_cast<__m128i*>(dst + i);
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(out, BlendFour<keyed, copies>(s, _mm_loadu_si128(out), fMax, key));
    i += 4;
  }
  if (i < count && count >= 4) {
    // The four pixels that end the row; those already done keep what they have now.
    const int32_t done = 4 - (count - i);
    __m128i* out = reinterpret_cast<__m128i*>(dst + count - 4);
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + count - 4));
    const __m128i d = _mm_loadu_si128(out);
    const __m128i keep = _mm_cmplt_epi32(_mm_set_epi32(3, 2, 1, 0), _mm_set1_epi32(done));
    const __m128i mixed = BlendFour<keyed, copies>(s, d, fMax, key);
    _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, mixed)));
    i = count;
  }
  return i;
}

SSE2_ENTRY void BlendRowSse2(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  int32_t done = 0;
  if (key == KeyOf(kNoColor)) {
    done = a == 0 ? BlendEights<false, true>(src, dst, count, a, key)
                  : BlendEights<false, false>(src, dst, count, a, key);
  } else {
    done = a == 0 ? BlendEights<true, true>(src, dst, count, a, key)
                  : BlendEights<true, false>(src, dst, count, a, key);
  }
  BlendRowScalar(src + done, dst + done, count - done, a, key);
}

}  // namespace

bool HasVectorBlendRow() {
#if defined(__x86_64__)
  return true;
#else
  // CPUID leaf 1, EDX bit 26. Asked once; the answer is the same for every thread.
  static const bool has = [] {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0;
  }();
  return has;
#endif
}

void BlendRowVector(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  // The vector row covers a of 0..254 (a = 255 draws nothing; the scalar row knows) and
  // destinations aligned to their pixels, as every buffer of ours is. Rows shorter than four
  // pixels go one pixel at a time.
  if (!HasVectorBlendRow() || a < 0 || a >= 255 || count < 4 || (reinterpret_cast<uintptr_t>(dst) & 3) != 0) {
    BlendRowScalar(src, dst, count, a, key);
    return;
  }
  BlendRowSse2(src, dst, count, a, key);
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
