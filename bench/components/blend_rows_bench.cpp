// The two blend rows, one pixel at a time and SSE2, on the same inputs: a 256 x 256 sprite onto
// an 800 x 580 screen as in sprite_bench, with typical edges and translucent everywhere. Built
// with the Windows tests so that the i686 program can be timed on the emulated processor.
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
  std::printf("blend rows, %d blends of %dx%d onto %dx%d; SSE2 %s\n", iterations, kSide, kSide, kScreenW,
              kScreenH, HasVectorBlendRow() ? "present" : "absent (both rows scalar)");
  int status = 0;
  for (const bool translucent : {false, true}) {
    const std::vector<uint32_t> sprite = Sprite(translucent);
    std::vector<uint32_t> scalarScreen, vectorScreen;
    // Each row once first so that both start from warm caches.
    Time(BlendRowScalar, sprite, scalarScreen, 1);
    Time(BlendRowVector, sprite, vectorScreen, 1);
    const double scalar = Time(BlendRowScalar, sprite, scalarScreen, iterations);
    const double vector = Time(BlendRowVector, sprite, vectorScreen, iterations);
    const bool same = scalarScreen == vectorScreen;
    if (!same) status = 1;
    std::printf("%-14s scalar %9.2f ms  SSE2 %9.2f ms  scalar/SSE2 %5.2f%s\n",
                translucent ? "translucent" : "typical edges", scalar, vector,
                vector > 0 ? scalar / vector : 0.0, same ? "" : "  PIXELS DIFFER");
  }
  return status;
}
