// Drawing a frame onto a 32-bit buffer with the object's transparency.
#pragma once

#include <cstddef>
#include <cstdint>

#include "components/image/frame_set.h"

namespace components {

// A 32-bit top-down pixel buffer (a DIB section's bits, for one).
struct Surface {
  uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  ptrdiff_t stride = 0;  // pixels from one row to the next
};

// The source region of a frame.
struct Region {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// Blends `region` of `frame` (a frame of a set frameWidth wide and frameHeight high) onto `dst`
// with its top-left at (dx, dy). `transparency` is the object's, in percent (clamped to 0..100):
// a = MulDiv(t, 255, 100). Pixels of colour `transparentColor` (a COLORREF; kNoColor for none)
// are skipped; for the others o = a + the pixel's transparency amount: o <= 0 copies the pixel,
// o < 255 moves each channel d to d + MulDiv(s - d, 255 - o, 255), o >= 255 draws nothing. The
// region is clipped to the frame and the destination to the buffer.
void BlendFrame(const Frame& frame, int32_t frameWidth, int32_t frameHeight, Region region, Surface dst,
                int32_t dx, int32_t dy, int32_t transparency, uint32_t transparentColor);

// The rows BlendFrame is made of, for tests: one pixel at a time; eight and four at a time with
// SSE2 where the processor has it (HasVectorBlendRow; elsewhere the scalar row); and the widest
// row the processor has, AVX2 (HasWideBlendRow) eight at a time with the SSE2 row for the rest.
// All give the same pixels.
void BlendRowScalar(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key);
void BlendRowSse2(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key);
void BlendRowVector(const uint32_t* src, uint32_t* dst, int32_t count, int32_t a, uint32_t key);
bool HasVectorBlendRow();
bool HasWideBlendRow();

}  // namespace components
