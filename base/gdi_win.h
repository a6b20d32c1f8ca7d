// Owners of GDI resources: one move-only type per acquire/release pair.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace base {

// GetWindowDC or GetDC / ReleaseDC: the whole window (frame included) or its client area;
// the screen for no window.
template <bool kWholeWindow>
class ReleasedDc {
 public:
  explicit ReleasedDc(HWND window)
      : window_(window), dc_(kWholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~ReleasedDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ReleasedDc(ReleasedDc&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  ReleasedDc& operator=(ReleasedDc&& other) noexcept {
    if (this != &other) {
      if (dc_) ReleaseDC(window_, dc_);
      window_ = other.window_;
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};
using WindowDc = ReleasedDc<true>;
using ClientDc = ReleasedDc<false>;

// BeginPaint / EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }  // what needs painting

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDc {
 public:
  // Compatible with the screen, or with the DC given.
  explicit MemoryDc(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
  MemoryDc& operator=(MemoryDc&& other) noexcept {
    if (this != &other) {
      if (dc_) DeleteDC(dc_);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A created GDI object (font, bitmap) / DeleteObject.
template <typename Handle>
class GdiObject {
 public:
  explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
  ~GdiObject() { reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Handle get() const { return handle_; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }

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

// The header of a 32-bit top-down device-independent bitmap of the size.
inline BITMAPINFO TopDown32(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

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
    const BITMAPINFO info = TopDown32(width, height);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
  }

  uint32_t* bits_ = nullptr;
  GdiObject<HBITMAP> bitmap_;
};

}  // namespace base
