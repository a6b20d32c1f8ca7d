// GDI+ flat functions and move-only owners of what they create. GdiPlus.dll is not in the
// import table (a stock Windows 2000 lacks it): whoever starts GDI+ fills a GdiplusApi with
// the exported functions it looked up by name and installs it; until then Gdiplus() is null.
#pragma once

#include <windows.h>
// after windows.h
#include <objidl.h>

#include <atomic>
#include <cstdint>
#include <utility>

namespace base {

// Opaque GDI+ objects; a bitmap is an image.
struct GpImage;
struct GpGraphics;
struct GpBrush;
struct GpPen;
struct GpFont;
struct GpFontFamily;
struct GpStringFormat;

using GpStatus = int;
inline constexpr GpStatus kGpOk = 0;
inline constexpr int kGpUnitWorld = 0;
inline constexpr int kGpUnitPixel = 2;
inline constexpr int kPixelFormat32bppArgb = 0x26200A;
inline constexpr int kPixelFormat32bppPargb = 0xE200B;
inline constexpr int kCompositingModeSourceCopy = 1;

struct GdiplusStartupInput {
  UINT32 version = 1;
  void* debugCallback = nullptr;
  BOOL suppressBackgroundThread = FALSE;
  BOOL suppressExternalCodecs = FALSE;
};

struct GdipRectF {
  float x, y, width, height;
};

struct GdipRect {
  INT x, y, width, height;
};

struct GdipBitmapData {
  UINT width, height;
  INT stride;
  INT format;
  void* scan0;
  UINT_PTR reserved;
};
inline constexpr UINT kImageLockModeRead = 1;
inline constexpr int kImageTypeBitmap = 1;

// The flat functions in use, in the order they are looked up.
struct GdiplusApi {
  GpStatus(WINAPI* GdiplusStartup)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
  GpStatus(WINAPI* GdipLoadImageFromStream)(IStream* stream, GpImage** image);
  GpStatus(WINAPI* GdipImageSelectActiveFrame)(GpImage* image, const GUID* dimension, UINT frame);
  GpStatus(WINAPI* GdipDisposeImage)(GpImage* image);
  GpStatus(WINAPI* GdipCreateBitmapFromScan0)(INT width, INT height, INT stride, INT format, BYTE* scan0,
                                              GpImage** bitmap);
  GpStatus(WINAPI* GdipGetImageGraphicsContext)(GpImage* image, GpGraphics** graphics);
  GpStatus(WINAPI* GdipGetImageDimension)(GpImage* image, float* width, float* height);
  GpStatus(WINAPI* GdipGetImageWidth)(GpImage* image, UINT* width);
  GpStatus(WINAPI* GdipGetImageHeight)(GpImage* image, UINT* height);
  GpStatus(WINAPI* GdipCreateFromHDC)(HDC dc, GpGraphics** graphics);
  GpStatus(WINAPI* GdipDrawImageRect)(GpGraphics* graphics, GpImage* image, float x, float y, float width,
                                      float height);
  GpStatus(WINAPI* GdipDrawImagePointRect)(GpGraphics* graphics, GpImage* image, float x, float y,
                                           float sourceX, float sourceY, float sourceWidth,
                                           float sourceHeight, int sourceUnit);
  GpStatus(WINAPI* GdipCreateSolidFill)(UINT32 argb, GpBrush** brush);
  GpStatus(WINAPI* GdipFillRectangle)(GpGraphics* graphics, GpBrush* brush, float x, float y, float width,
                                      float height);
  GpStatus(WINAPI* GdipDeleteBrush)(GpBrush* brush);
  GpStatus(WINAPI* GdipCreatePen1)(UINT32 argb, float width, int unit, GpPen** pen);
  GpStatus(WINAPI* GdipDrawLine)(GpGraphics* graphics, GpPen* pen, float x1, float y1, float x2, float y2);
  GpStatus(WINAPI* GdipDrawRectangle)(GpGraphics* graphics, GpPen* pen, float x, float y, float width,
                                      float height);
  GpStatus(WINAPI* GdipDeletePen)(GpPen* pen);
  GpStatus(WINAPI* GdipDeleteGraphics)(GpGraphics* graphics);
  GpStatus(WINAPI* GdipCreateBitmapFromHBITMAP)(HBITMAP bitmap, HPALETTE palette, GpImage** image);
  GpStatus(WINAPI* GdipSetCompositingMode)(GpGraphics* graphics, int mode);
  GpStatus(WINAPI* GdipGetImageType)(GpImage* image, int* type);
  GpStatus(WINAPI* GdipBitmapLockBits)(GpImage* bitmap, const GdipRect* rect, UINT flags, INT format,
                                       GdipBitmapData* data);
  GpStatus(WINAPI* GdipBitmapUnlockBits)(GpImage* bitmap, GdipBitmapData* data);
  GpStatus(WINAPI* GdipSetInterpolationMode)(GpGraphics* graphics, int mode);
  GpStatus(WINAPI* GdipSetPixelOffsetMode)(GpGraphics* graphics, int mode);
  GpStatus(WINAPI* GdipBitmapGetPixel)(GpImage* bitmap, INT x, INT y, UINT32* argb);
  GpStatus(WINAPI* GdipCreateFont)(const GpFontFamily* family, float size, INT style, int unit,
                                   GpFont** font);
  GpStatus(WINAPI* GdipCreateFontFromDC)(HDC dc, GpFont** font);
  GpStatus(WINAPI* GdipDeleteFont)(GpFont* font);
  GpStatus(WINAPI* GdipGetFontStyle)(GpFont* font, INT* style);
  GpStatus(WINAPI* GdipGetFontSize)(GpFont* font, float* size);
  GpStatus(WINAPI* GdipGetFontUnit)(GpFont* font, int* unit);
  GpStatus(WINAPI* GdipGetFontHeight)(const GpFont* font, const GpGraphics* graphics, float* height);
  GpStatus(WINAPI* GdipCreateFontFamilyFromName)(const WCHAR* name, void* collection, GpFontFamily** family);
  GpStatus(WINAPI* GdipDeleteFontFamily)(GpFontFamily* family);
  GpStatus(WINAPI* GdipCreateStringFormat)(INT flags, LANGID language, GpStringFormat** format);
  GpStatus(WINAPI* GdipDeleteStringFormat)(GpStringFormat* format);
  GpStatus(WINAPI* GdipSetStringFormatAlign)(GpStringFormat* format, int align);
  GpStatus(WINAPI* GdipSetStringFormatLineAlign)(GpStringFormat* format, int align);
  GpStatus(WINAPI* GdipDrawString)(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                                   const GdipRectF* layout, const GpStringFormat* format,
                                   const GpBrush* brush);
};

// The exported names of GdiplusApi's members, in member order.
inline constexpr const char* kGdiplusExports[] = {
    "GdiplusStartup",
    "GdipLoadImageFromStream",
    "GdipImageSelectActiveFrame",
    "GdipDisposeImage",
    "GdipCreateBitmapFromScan0",
    "GdipGetImageGraphicsContext",
    "GdipGetImageDimension",
    "GdipGetImageWidth",
    "GdipGetImageHeight",
    "GdipCreateFromHDC",
    "GdipDrawImageRect",
    "GdipDrawImagePointRect",
    "GdipCreateSolidFill",
    "GdipFillRectangle",
    "GdipDeleteBrush",
    "GdipCreatePen1",
    "GdipDrawLine",
    "GdipDrawRectangle",
    "GdipDeletePen",
    "GdipDeleteGraphics",
    "GdipCreateBitmapFromHBITMAP",
    "GdipSetCompositingMode",
    "GdipGetImageType",
    "GdipBitmapLockBits",
    "GdipBitmapUnlockBits",
    "GdipSetInterpolationMode",
    "GdipSetPixelOffsetMode",
    "GdipBitmapGetPixel",
    "GdipCreateFont",
    "GdipCreateFontFromDC",
    "GdipDeleteFont",
    "GdipGetFontStyle",
    "GdipGetFontSize",
    "GdipGetFontUnit",
    "GdipGetFontHeight",
    "GdipCreateFontFamilyFromName",
    "GdipDeleteFontFamily",
    "GdipCreateStringFormat",
    "GdipDeleteStringFormat",
    "GdipSetStringFormatAlign",
    "GdipSetStringFormatLineAlign",
    "GdipDrawString",
};
static_assert(sizeof(GdiplusApi) == sizeof(kGdiplusExports) / sizeof(kGdiplusExports[0]) * sizeof(void*),
              "one exported name per function");

namespace detail {
inline std::atomic<const GdiplusApi*> gGdiplus{nullptr};
}

// The functions of a started GDI+, or null while none is.
inline const GdiplusApi* Gdiplus() { return detail::gGdiplus.load(std::memory_order_acquire); }

// GDI+ for the whole process: started once with the functions given and never shut down, so
// no GDI+ object can outlive it. The first call decides; later calls return its result.
class GdiplusSession {
 public:
  static bool Start(const GdiplusApi& api) {
    static const bool started = [&api] {
      static GdiplusApi kept = api;
      ULONG_PTR token = 0;
      const GdiplusStartupInput input;
      if (!kept.GdiplusStartup || kept.GdiplusStartup(&token, &input, nullptr) != kGpOk) return false;
      detail::gGdiplus.store(&kept, std::memory_order_release);
      return true;
    }();
    return started;
  }
  static bool Started() { return Gdiplus() != nullptr; }
};

// One owner per GDI+ create/delete pair; move-only, so each object is deleted once.
template <typename T, GpStatus (WINAPI* GdiplusApi::*Delete)(T*)>
class GdipOwner {
 public:
  GdipOwner() = default;
  explicit GdipOwner(T* object) : object_(object) {}
  ~GdipOwner() { reset(); }
  GdipOwner(GdipOwner&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GdipOwner& operator=(GdipOwner&& other) noexcept {
    if (this != &other) reset(std::exchange(other.object_, nullptr));
    return *this;
  }
  GdipOwner(const GdipOwner&) = delete;
  GdipOwner& operator=(const GdipOwner&) = delete;

  T* get() const { return object_; }
  T** out() {
    reset();
    return &object_;
  }
  T* release() { return std::exchange(object_, nullptr); }
  void reset(T* object = nullptr) {
    if (object_ && object_ != object) {
      if (const GdiplusApi* api = Gdiplus()) (api->*Delete)(object_);
    }
    object_ = object;
  }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

using GdipImage = GdipOwner<GpImage, &GdiplusApi::GdipDisposeImage>;  // images and bitmaps
using GdipGraphics = GdipOwner<GpGraphics, &GdiplusApi::GdipDeleteGraphics>;
using GdipBrush = GdipOwner<GpBrush, &GdiplusApi::GdipDeleteBrush>;
using GdipPen = GdipOwner<GpPen, &GdiplusApi::GdipDeletePen>;
using GdipFont = GdipOwner<GpFont, &GdiplusApi::GdipDeleteFont>;
using GdipFontFamily = GdipOwner<GpFontFamily, &GdiplusApi::GdipDeleteFontFamily>;
using GdipStringFormat = GdipOwner<GpStringFormat, &GdiplusApi::GdipDeleteStringFormat>;

}  // namespace base
