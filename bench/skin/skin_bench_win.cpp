// Skin benchmark, run under Wine: a hover over one button of the main window's shape (an
// 800 x 580 background and four buttons, recomposed and presented with per-pixel alpha), a
// picture that changed everywhere, and a plain copy of an 800 x 580 32-bit picture in the same
// run. Prints medians over many rounds.
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
  HWND hovered = nullptr;
  for (const auto& b : buttons) {
    skin::PngControl control;
    HWND button = ButtonChild(window, b.x, b.y, b.w, b.h);
    if (!hovered) hovered = button;
    control.AttachButton(H(button));
    const auto normal = Png(b.w, b.h, Soft);
    const auto hover = Png(b.w, b.h, [](int x, int y) { return Soft(y, x) | 0xFF000000u; });
    control.SetStateImagesFromBytes(View(normal), View(hover), View(normal));
  }
  skinned.AdoptControls();

  // A hover: the button's state changes and the whole window is recomposed and presented.
  constexpr int kRounds = 300;
  int round = 0;
  const double hover = MedianMicroseconds(kRounds, [&] {
    SendMessageA(hovered, ++round % 2 ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(5, 5));
  });
  // A picture that differs everywhere from the last, presented.
  skin::Composition pictures[2];
  for (int i = 0; i < 2; ++i) {
    pictures[i].width = 800;
    pictures[i].height = 580;
    pictures[i].pixels.assign(800 * 580, i ? 0x80402010 : 0xFF102040);
  }
  const double whole =
      MedianMicroseconds(kRounds, [&] { skin::PresentLayered(window, pictures[++round % 2], false); });
  std::vector<uint32_t> from(800 * 580, 0x80402010), to(800 * 580);
  const double copy = MedianMicroseconds(kRounds, [&] {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
    std::swap(from, to);
  });
  std::printf(
      "Hover: one button's state changed, the window recomposed and presented, 800 x 580, "
      "background and 4 buttons: %.0f us (median of %d)\n",
      hover, kRounds);
  std::printf("A picture different everywhere, presented: %.0f us\n", whole);
  std::printf("memcpy of an 800 x 580 32-bit picture: %.0f us\n", copy);
  std::printf("ratio (hover / copy): %.1f\n", hover / copy);
  DestroyWindow(window);
  return 0;
}
