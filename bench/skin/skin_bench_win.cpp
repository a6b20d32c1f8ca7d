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

// The process's own processor time (user and kernel), which the load of other processes does
// not stretch: Wine's server and the X server work on top of it.
double ProcessorMicroseconds() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto micro = [](FILETIME t) {
    return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10;
  };
  return micro(kernel) + micro(user);
}

struct Timing {
  double median;     // wall clock, microseconds
  double processor;  // this process's processor time per round, microseconds
};

template <typename F>
Timing Measure(int rounds, F&& work) {
  std::vector<double> times;
  const double processor = ProcessorMicroseconds();
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    work();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], (ProcessorMicroseconds() - processor) / rounds};
}

// The presentation alone, as the layer makes it (no screen DC): UpdateLayeredWindowIndirect of
// a kept 800 x 580 DIB whose `dirty` part alternates, handed over as that rectangle, or (dirty
// null) UpdateLayeredWindow of the whole.
Timing RawPresent(HWND window, const RECT* dirty, int rounds) {
  using Indirect = BOOL(WINAPI*)(HWND, const UPDATELAYEREDWINDOWINFO*);
  const auto indirect = reinterpret_cast<Indirect>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindowIndirect")));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 800, -580, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  auto* pixels = static_cast<uint32_t*>(bits);
  std::fill(pixels, pixels + 800 * 580, 0xC0604020u);
  SIZE size{800, 580};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  int round = 0;
  const Timing timing = Measure(rounds, [&] {
    const RECT box = dirty ? *dirty : RECT{0, 0, 800, 580};
    const uint32_t value = ++round % 2 ? 0xFF102040u : 0xC0604020u;
    for (LONG y = box.top; y < box.bottom; ++y)
      std::fill(pixels + y * 800 + box.left, pixels + y * 800 + box.right, value);
    GdiFlush();
    if (dirty && indirect) {
      const UPDATELAYEREDWINDOWINFO update{sizeof update, nullptr, nullptr, &size,     memory,
                                           &source,       0,       &blend,  ULW_ALPHA, dirty};
      indirect(window, &update);
    } else {
      UpdateLayeredWindow(window, nullptr, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
    }
  });
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  return timing;
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
  const Timing hover = Measure(kRounds, [&] {
    SendMessageA(hovered, ++round % 2 ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(5, 5));
  });
  // A picture that differs everywhere from the last, presented.
  skin::Composition pictures[2];
  for (int i = 0; i < 2; ++i) {
    pictures[i].width = 800;
    pictures[i].height = 580;
    pictures[i].pixels.assign(800 * 580, i ? 0x80402010 : 0xFF102040);
  }
  const Timing whole = Measure(kRounds, [&] { skin::PresentLayered(window, pictures[++round % 2], false); });
  std::vector<uint32_t> from(800 * 580, 0x80402010), to(800 * 580);
  const double copy = Measure(kRounds, [&] {
                        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
                        std::swap(from, to);
                      }).median;
  HWND raw = TopWindow(800, 580);
  SetWindowLongPtrA(raw, GWL_EXSTYLE, WS_EX_LAYERED);
  const RECT box{271, 110, 529, 365}, all{0, 0, 800, 580};
  const Timing rawBox = RawPresent(raw, &box, kRounds), rawAll = RawPresent(raw, &all, kRounds),
               rawWhole = RawPresent(raw, nullptr, kRounds);
  DestroyWindow(raw);
  std::printf(
      "Hover: one button's state changed, the window recomposed and presented, 800 x 580, "
      "background and 4 buttons: %.0f us (median of %d; processor %.0f us)\n",
      hover.median, kRounds, hover.processor);
  std::printf("A picture different everywhere, presented: %.0f us (processor %.0f us)\n", whole.median,
              whole.processor);
  std::printf(
      "Presentation alone (UpdateLayeredWindow[Indirect] of a kept DIB): the 258 x 255 box as the "
      "changed rectangle %.0f us (processor %.0f us), the whole as one %.0f us (%.0f us), the whole "
      "without one %.0f us (%.0f us)\n",
      rawBox.median, rawBox.processor, rawAll.median, rawAll.processor, rawWhole.median, rawWhole.processor);
  std::printf("memcpy of an 800 x 580 32-bit picture: %.0f us\n", copy);
  std::printf("ratio (hover / copy): %.1f\n", hover.median / copy);
  DestroyWindow(window);
  return 0;
}
