// Windows tests of the skin layer: PNG pictures made on the spot, plain windows to skin, and
// the pictures the layer hands to its layered windows, read back as pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "skin/skin.h"

namespace skin_test {

// A PNG of w x h whose pixel (x, y) is pixel(x, y) as 0xAARRGGBB (straight alpha).
std::vector<uint8_t> Png(int w, int h, const std::function<uint32_t(int x, int y)>& pixel);
std::vector<uint8_t> SolidPng(int w, int h, uint32_t argb);
skin::Bytes View(const std::vector<uint8_t>& bytes);

// A visible borderless top-level window at (100, 100) with a plain procedure.
HWND TopWindow(int w, int h);
// A visible push button child.
HWND ButtonChild(HWND parent, int x, int y, int w, int h);
inline skin::WindowHandle H(HWND window) { return reinterpret_cast<skin::WindowHandle>(window); }

// Delivers every waiting message of this thread.
void Pump();
// Pumps for the time.
void PumpFor(DWORD milliseconds);

// The last picture presented for a window, premultiplied 0xAARRGGBB, top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
// Starts watching presentations (the skin is started first); the count and last picture.
void WatchPresents();
int PresentCount(HWND window);
const Picture& LastPicture(HWND window);

// Opaque colours as premultiplied pixels read back.
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kYellow = 0xFFFFFF00, kBlack = 0xFF000000;

}  // namespace skin_test
