// The blend rows, one pixel at a time, SSE2 and (where the processor has it) AVX2, on the same inputs: a 256
// x 256 sprite onto an 800 x 580 screen as in sprite_bench, with typical edges and translucent everywhere.
// Built with the Windows tests so that the i686 program can be timed on the emulated processor.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "components/image/blend.h"

using namespace components;

namespace {

constexpr int kSide = 256, kScreenW = 800, kScreenH = 580, kLeft = 300, kTop = 200;

// The benchmark's sprite: an opaque disc with a soft edge and transparent corners, or
// translucent everywhere.
std::vector<uint32_t> Sprite(bool translucent) {
  std::vector<uint32_t> pixels(kSide * kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x - 127.5, y - 127.5);
      uint32_t amount = d < 100 ? 0 : d > 128 ? 255 : static_cast<uint32_t>((d - 100) * 255 / 28);
      if (translucent) amount = 60 + (x + y) % 120;
      pixels[y * kSide + x] = (amount << 24) | (x << 16) | (y << 8) | ((x ^ y) & 0xFF);
    }
  }
  return pixels;
}

using Row = void (*)(const uint32_t*, uint32_t*, int32_t, int32_t, uint32_t);

// Milliseconds for `iterations` blends of the sprite with `row`; the screen it leaves in `screen`.
double Time(Row row, const std::vector<uint32_t>& sprite, std::vector<uint32_t>& screen, int iterations) {
  screen.assign(kScreenW * kScreenH, 0x00336699);
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < iterations; ++k) {
    for (int y = 0; y < kSide; ++y)
      row(sprite.data() + y * kSide, screen.data() + (kTop + y) * kScreenW + kLeft, kSide, 0,
          KeyOf(kNoColor));
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 100;
  if (iterations <= 0) return 2;
  const bool wide = HasWideBlendRow();
  std::printf("blend rows, %d blends of %dx%d onto %dx%d; SSE2 %s; AVX2 %s\n", iterations, kSide, kSide,
              kScreenW, kScreenH, HasVectorBlendRow() ? "present" : "absent (the SSE2 row is the scalar one)",
              wide ? "present" : "absent");
  int status = 0;
  for (const bool translucent : {false, true}) {
    const std::vector<uint32_t> sprite = Sprite(translucent);
    std::vector<uint32_t> scalarScreen, sse2Screen, wideScreen;
    // Each row once first so that all start from warm caches.
    Time(BlendRowScalar, sprite, scalarScreen, 1);
    Time(BlendRowSse2, sprite, sse2Screen, 1);
    if (wide) Time(BlendRowVector, sprite, wideScreen, 1);
    const double scalar = Time(BlendRowScalar, sprite, scalarScreen, iterations);
    const double sse2 = Time(BlendRowSse2, sprite, sse2Screen, iterations);
    const double avx2 = wide ? Time(BlendRowVector, sprite, wideScreen, iterations) : 0;
    const bool same = scalarScreen == sse2Screen && (!wide || scalarScreen == wideScreen);
    if (!same) status = 1;
    std::printf("%-14s scalar %9.2f ms  SSE2 %9.2f ms  scalar/SSE2 %5.2f",
                translucent ? "translucent" : "typical edges", scalar, sse2, sse2 > 0 ? scalar / sse2 : 0.0);
    if (wide) std::printf("  AVX2 %9.2f ms  scalar/AVX2 %5.2f", avx2, avx2 > 0 ? scalar / avx2 : 0.0);
    std::printf("%s\n", same ? "" : "  PIXELS DIFFER");
  }
  return status;
}
