// Skin benchmark, run under Wine: one recomposition of the main window's shape (an 800 x 580
// background and four buttons, presented with UpdateLayeredWindow), beside a plain copy of
// an 800 x 580 32-bit picture in the same run. Prints medians over many rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"

namespace {

using namespace skin_test;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) * 1e6 / double(frequency.QuadPart);
}

template <typename F>
double MedianMicroseconds(int rounds, F&& work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    work();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

uint32_t Soft(int x, int y) {
  return uint32_t(std::min(255, 64 + (x + y) % 192)) << 24 | uint32_t(x * 3 ^ y * 5);
}

}  // namespace

int main() {
  if (!skin::StartSkin()) {
    std::puts("skin_bench: GDI+ did not start");
    return 1;
  }
  HWND window = TopWindow(800, 580);
  skin::SkinWindow skinned;
  skinned.Attach(H(window));
  skinned.SetBackImageFromBytes(View(Png(800, 580, Soft)));
  const struct {
    int x, y, w, h;
  } buttons[] = {{271, 110, 258, 255}, {293, 440, 214, 56}, {293, 440, 214, 56}, {753, 8, 37, 29}};
  for (const auto& b : buttons) {
    skin::PngControl control;
    control.AttachButton(H(ButtonChild(window, b.x, b.y, b.w, b.h)));
    const auto image = Png(b.w, b.h, Soft);
    control.SetStateImagesFromBytes(View(image), View(image), View(image));
  }
  skinned.AdoptControls();

  constexpr int kRounds = 300;
  const double compose = MedianMicroseconds(kRounds, [&] { skin::ComposeWindow(window); });
  skin::Composition picture;
  picture.width = 800;
  picture.height = 580;
  picture.pixels.assign(800 * 580, 0x80402010);
  const double present = MedianMicroseconds(kRounds, [&] { skin::PresentLayered(window, picture, false); });
  std::vector<uint32_t> from(800 * 580, 0x80402010), to(800 * 580);
  const double copy = MedianMicroseconds(kRounds, [&] {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
    std::swap(from, to);
  });
  std::printf("ComposeWindow + PresentLayered, 800 x 580, background and 4 buttons: %.0f us (median of %d)\n",
              compose, kRounds);
  std::printf("memcpy of an 800 x 580 32-bit picture: %.0f us (median of %d)\n", copy, kRounds);
  std::printf("of which PresentLayered (a fresh DIB, the copy, UpdateLayeredWindow): %.0f us\n", present);
  std::printf("ratio: %.1f\n", compose / copy);
  DestroyWindow(window);
  return 0;
}
