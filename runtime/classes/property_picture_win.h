// Pictures and icons of class properties (BMP, JPEG, GIF, ICO bytes), decoded by the system's
// OLE picture loader into GDI objects that the caller owns.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace runtime {

// An owned GDI bitmap or icon; empty when the bytes are no picture.
class Picture {
 public:
  Picture() = default;
  explicit Picture(std::span<const uint8_t> bytes);
  ~Picture();
  Picture(Picture&& other) noexcept;
  Picture& operator=(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  HBITMAP bitmap() const { return bitmap_; }
  HICON icon() const { return icon_; }
  bool empty() const { return !bitmap_ && !icon_; }
  SIZE size() const;
  // Draws the picture with its top-left corner at (x, y), at its own size or stretched to
  // width × height when both are given.
  void Draw(HDC dc, int x, int y, int width = 0, int height = 0) const;

 private:
  void Reset();
  HBITMAP bitmap_ = nullptr;
  HICON icon_ = nullptr;
};

}  // namespace runtime
