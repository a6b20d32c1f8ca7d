// A host for component units under Wine: a pop-up window of a plain colour at the screen's
// top-left corner, units made through their class's interface, plain coloured siblings, and
// the screen's pixels read back once everything has painted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/forms/unit_class.h"

namespace unit_host {

class Host {
 public:
  Host(int width, int height, COLORREF background);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  HWND hwnd() const { return hwnd_; }
  // A unit of the class at (left, top), shown; nullptr when its creation failed.
  runtime::UnitObject* Create(runtime::InterfaceFunction classInterface, std::span<const uint8_t> data,
                              int left, int top, int width, int height, bool designMode = false);
  // A plain child window painted in one colour.
  HWND Panel(COLORREF color, int left, int top, int width, int height);
  // Lets every pending paint happen.
  static void Settle(DWORD milliseconds = 0);

  // The host's client pixels as COLORREFs, row by row.
  struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  };
  Capture Grab() const;

 private:
  HWND hwnd_ = nullptr;
  HBRUSH brush_ = nullptr;
  int width_, height_;
};

// The bounding box of the pixels that pass `test`; empty (right <= left) when none.
template <typename Test>
RECT BoundsOf(const Host::Capture& capture, RECT within, Test test) {
  RECT box{within.right, within.bottom, within.left, within.top};
  for (int y = within.top; y < within.bottom; ++y) {
    for (int x = within.left; x < within.right; ++x) {
      if (!test(capture.At(x, y))) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

// Colour closeness per channel.
bool Near(COLORREF a, COLORREF b, int tolerance = 40);

}  // namespace unit_host
