// Pictures and icons of class properties (BMP, JPEG, GIF, ICO bytes), decoded by the system's
// OLE picture loader into GDI objects that the caller owns.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "base/gdi_win.h"
#include "base/handles_win.h"

namespace runtime {

// An owned GDI bitmap or icon; empty when the bytes are no picture.
class Picture {
 public:
  Picture() = default;
  explicit Picture(std::span<const uint8_t> bytes);

  HBITMAP bitmap() const { return bitmap_.get(); }
  HICON icon() const { return icon_.get(); }
  bool empty() const { return !bitmap() && !icon(); }
  SIZE size() const;
  // Draws the picture with its top-left corner at (x, y), at its own size or stretched to
  // width × height when both are given.
  void Draw(HDC dc, int x, int y, int width = 0, int height = 0) const;

 private:
  base::GdiObject<HBITMAP> bitmap_;
  base::Icon icon_;
};

}  // namespace runtime
