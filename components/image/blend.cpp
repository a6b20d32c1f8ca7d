// Blending. d + MulDiv(s - d, f, 255) is the nearest integer to (s f + d (255 - f)) / 255:
// the two could differ only in rounding a half, and (s - d) f / 255 is never a half (255 is
// odd). So each channel is (s f + d (255 - f) + 127) / 255, with n / 255 computed as
// (n + 1 + (n >> 8)) >> 8, exact for every n up to 255 * 255 + 127. Every value fits 16 bits,
// so eight channels go through one SSE2 vector, sixteen through one AVX2 vector. x86_64 always
// has SSE2, not always AVX2; the i686 product runs on processors that may have neither. So the
// vector rows alone are compiled for their instruction sets and chosen at run time, and
// everything else keeps to the base instruction set.
#include "components/image/blend.h"

#include <algorithm>

#include "base/mul_div.h"

#if defined(__x86_64__) || defined(__i386__)
#define BLEND_HAS_SSE2_ROW 1
#include <cpuid.h>
#include <immintrin.h>
// Only these functions may use SSE2 or AVX2: the caller checks the processor first.
#define AVX2_FUNCTION __attribute__((target("avx2"), always_inline))
#if defined(__i386__)
#define SSE2_FUNCTION __attribute__((target("sse2"), always_inline))
// The Windows i686 ABI promises 4-byte stack alignment; vectors spilled there need more.
#define SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))
#define AVX2_ENTRY __attribute__((target("avx2"), force_align_arg_pointer))
#else
#define SSE2_FUNCTION __attribute__((always_inline))
#define SSE2_ENTRY
#define AVX2_ENTRY __attribute__((target("avx2")))
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

// Channels in 16-bit lanes mixed by their factors f: with n = s f + d (255 - f) + 127 = 255 k + r
// (r < 255, k <= 255), (n + 1) 257 = 65536 k + 257 (r + 1) - k, and the last two terms lie in
// 0..65535, so n / 255 is the high half of (n + 1) * 257; n + 1 <= 65153.
SSE2_FUNCTION inline __m128i MixChannels(__m128i s, __m128i d, __m128i f) {
  const __m128i g = _mm_sub_epi16(_mm_set1_epi16(255), f);
  __m128i n = _mm_add_epi16(_mm_mullo_epi16(s, f), _mm_mullo_epi16(d, g));
  n = _mm_add_epi16(n, _mm_set1_epi16(128));
  return _mm_mulhi_epu16(n, _mm_set1_epi16(257));
}

// Four pixels s onto d with factor words f: the factor in the top byte; the bottom byte is the
// transparency channel's factor, 0 or, only where pixels can be copied, 255 (a copied pixel's
// word is all ones). The channels go as two sets of 16-bit lanes, blue and red (masked) and
// green and transparency (shifted), so no byte moves across lanes: masks and shifts only.
template <bool copies>
SSE2_FUNCTION inline __m128i MixPixels(__m128i s, __m128i d, __m128i f) {
  const __m128i low = _mm_set1_epi16(0xFF);
  const __m128i factor = _mm_srli_epi32(f, 24);
  const __m128i blueRed = _mm_or_si128(factor, _mm_slli_epi32(factor, 16));
  const __m128i greenTop =
      copies ? _mm_or_si128(factor, _mm_and_si128(f, _mm_set1_epi32(0x00FF0000))) : factor;
  const __m128i br = MixChannels(_mm_and_si128(s, low), _mm_and_si128(d, low), blueRed);
  const __m128i gt = MixChannels(_mm_srli_epi16(s, 8), _mm_srli_epi16(d, 8), greenTop);
  return _mm_or_si128(br, _mm_slli_epi16(gt, 8));
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
  return MixPixels<copies>(s, d, f);
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
      if ((_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(f0, f1), top)) & 0x8888) != 0) {  // some copied
        f0 = _mm_or_si128(f0, _mm_cmpeq_epi32(f0, top));
        f1 = _mm_or_si128(f1, _mm_cmpeq_epi32(f1, top));
        _mm_storeu_si128(out, MixPixels<true>(s0, _mm_loadu_si128(out), f0));
        _mm_storeu_si128(out + 1, MixPixels<true>(s1, _mm_loadu_si128(out + 1), f1));
        continue;
      }
    }
    _mm_storeu_si128(out, MixPixels<false>(s0, _mm_loadu_si128(out), f0));
    _mm_storeu_si128(out + 1, MixPixels<false>(s1, _mm_loadu_si128(out + 1), f1));
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

SSE2_ENTRY void BlendRowSse2Checked(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a,
                                    uint32_t key) {
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

// The same in 256-bit vectors, eight pixels a step: the mix and the factor words are the SSE2
// row's (no byte crosses a 16-bit lane, so nothing crosses the vector's halves either).
AVX2_FUNCTION inline __m256i MixChannelsWide(__m256i s, __m256i d, __m256i f) {
  const __m256i g = _mm256_sub_epi16(_mm256_set1_epi16(255), f);
  __m256i n = _mm256_add_epi16(_mm256_mullo_epi16(s, f), _mm256_mullo_epi16(d, g));
  n = _mm256_add_epi16(n, _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(n, _mm256_set1_epi16(257));
}

template <bool copies>
AVX2_FUNCTION inline __m256i MixPixelsWide(__m256i s, __m256i d, __m256i f) {
  const __m256i low = _mm256_set1_epi16(0xFF);
  const __m256i factor = _mm256_srli_epi32(f, 24);
  const __m256i blueRed = _mm256_or_si256(factor, _mm256_slli_epi32(factor, 16));
  const __m256i greenTop =
      copies ? _mm256_or_si256(factor, _mm256_and_si256(f, _mm256_set1_epi32(0x00FF0000))) : factor;
  const __m256i br = MixChannelsWide(_mm256_and_si256(s, low), _mm256_and_si256(d, low), blueRed);
  const __m256i gt = MixChannelsWide(_mm256_srli_epi16(s, 8), _mm256_srli_epi16(d, 8), greenTop);
  return _mm256_or_si256(br, _mm256_slli_epi16(gt, 8));
}

// Whole groups of eight; returns how many pixels it did. The rest goes to the SSE2 row.
template <bool keyed, bool copies>
AVX2_FUNCTION inline int32_t BlendEightsWide(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a,
                                             uint32_t key) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i colorMask = _mm256_set1_epi32(static_cast<int>(kColorMask));
  const __m256i top = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i keys = _mm256_set1_epi32(static_cast<int>(key));
  const __m256i fMax = _mm256_set1_epi32(static_cast<int>(static_cast<uint32_t>(255 - a) << 24));
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    if (keyed) s = _mm256_or_si256(s, _mm256_cmpeq_epi32(_mm256_and_si256(s, colorMask), keys));
    __m256i f = _mm256_subs_epu8(fMax, s);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(f, zero)) == -1) continue;  // none drawn
    __m256i* out = reinterpret_cast<__m256i*>(dst + i);
    if (copies) {
      const int copied = _mm256_movemask_epi8(_mm256_cmpeq_epi8(f, top));
      if (copied == -1) {  // all copied
        _mm256_storeu_si256(out, _mm256_and_si256(s, colorMask));
        continue;
      }
      if ((copied & static_cast<int>(0x88888888u)) != 0) {  // some copied
        f = _mm256_or_si256(f, _mm256_cmpeq_epi32(f, top));
        _mm256_storeu_si256(out, MixPixelsWide<true>(s, _mm256_loadu_si256(out), f));
        continue;
      }
    }
    _mm256_storeu_si256(out, MixPixelsWide<false>(s, _mm256_loadu_si256(out), f));
  }
  return i;
}

AVX2_ENTRY int32_t BlendRowAvx2Eights(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a,
                                      uint32_t key) {
  if (key == KeyOf(kNoColor)) {
    return a == 0 ? BlendEightsWide<false, true>(src, dst, count, a, key)
                  : BlendEightsWide<false, false>(src, dst, count, a, key);
  }
  return a == 0 ? BlendEightsWide<true, true>(src, dst, count, a, key)
                : BlendEightsWide<true, false>(src, dst, count, a, key);
}

// The vector rows cover a of 0..254 (a = 255 draws nothing; the scalar row knows) and
// destinations aligned to their pixels, as every buffer of ours is. Rows shorter than four
// pixels go one pixel at a time.
bool VectorRowFits(uint32_t* dst, int32_t count, int32_t a) {
  return a >= 0 && a < 255 && count >= 4 && (reinterpret_cast<uintptr_t>(dst) & 3) == 0;
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

bool HasWideBlendRow() {
  // AVX2: CPUID leaf 7's EBX bit 5, and the system saving the 256-bit registers (CPUID leaf 1's
  // OSXSAVE and AVX, XCR0's SSE and AVX state bits); Windows before 7 SP1 does not.
  static const bool has = [] {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || (ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) {
      return false;
    }
    unsigned int xcr0 = 0, xcr0High = 0;
    __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
    if ((xcr0 & 6) != 6 || __get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & bit_AVX2) != 0;
  }();
  return has;
}

void BlendRowSse2(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  if (!HasVectorBlendRow() || !VectorRowFits(dst, count, a)) {
    BlendRowScalar(src, dst, count, a, key);
    return;
  }
  BlendRowSse2Checked(src, dst, count, a, key);
}

void BlendRowVector(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  if (!HasWideBlendRow() || !VectorRowFits(dst, count, a)) {
    BlendRowSse2(src, dst, count, a, key);
    return;
  }
  const int32_t done = BlendRowAvx2Eights(src, dst, count, a, key);
  BlendRowSse2(src + done, dst + done, count - done, a, key);
}
#else
bool HasVectorBlendRow() { return false; }
bool HasWideBlendRow() { return false; }

void BlendRowSse2(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key) {
  BlendRowScalar(src, dst, count, a, key);
}

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
