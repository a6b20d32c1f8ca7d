// Owners of the GDI resources the components use: one move-only type per acquire/release pair.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace base {

// CreateCompatibleDC / DeleteDC.
class MemoryDc {
 public:
  MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDc& operator=(MemoryDc&&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A created GDI object (font, bitmap) / DeleteObject.
template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
  ~GdiObject() {
    if (handle_) DeleteObject(handle_);
  }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&&) = delete;
  Handle get() const { return handle_; }

 private:
  Handle handle_;
};

// SelectObject, putting the previous object back when it ends.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A 32-bit top-down DIB section of the size; bits() is null when it could not be made.
class DibSection {
 public:
  DibSection(HDC dc, int32_t width, int32_t height) : bitmap_(Create(dc, width, height, &bits_)) {
    if (!bitmap_.get()) bits_ = nullptr;
  }
  HBITMAP get() const { return bitmap_.get(); }
  uint32_t* bits() const { return bits_; }

 private:
  static HBITMAP Create(HDC dc, int32_t width, int32_t height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
  }

  uint32_t* bits_ = nullptr;
  GdiObject<HBITMAP> bitmap_;
};

}  // namespace base
