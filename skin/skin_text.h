// Thin owners of a GDI+ font, font family and string format, as the drawn edit-box text uses
// them, and the conversion of system code page text to UTF-16. Each owns its handle from
// Create/SetHandle until Release, another SetHandle or its end. They are move-only: a copy
// that shared the handle would delete it twice.
#pragma once

#include <cstdint>
#include <vector>

namespace skin {

using GdipHandle = uintptr_t;  // a GDI+ object; 0 for none
using GdipStatus = int32_t;    // GDI+ status; 0 is success

// The text (system code page, NUL-terminated) in UTF-16, its terminating NUL included.
std::vector<wchar_t> ToUtf16(const char* text);

class SkinFontFamily {
 public:
  SkinFontFamily() = default;
  ~SkinFontFamily() { Release(); }
  SkinFontFamily(SkinFontFamily&& other) noexcept;
  SkinFontFamily& operator=(SkinFontFamily&& other) noexcept;
  SkinFontFamily(const SkinFontFamily&) = delete;
  SkinFontFamily& operator=(const SkinFontFamily&) = delete;

  void Release();
  GdipStatus Create(const char* name);  // an unknown face leaves the handle 0
  GdipHandle GetHandle() const { return family_; }
  void SetHandle(GdipHandle family);

 private:
  GdipHandle family_ = 0;
};

class SkinFont {
 public:
  SkinFont() = default;
  ~SkinFont() { Release(); }
  SkinFont(SkinFont&& other) noexcept;
  SkinFont& operator=(SkinFont&& other) noexcept;
  SkinFont(const SkinFont&) = delete;
  SkinFont& operator=(const SkinFont&) = delete;

  void Release();
  GdipStatus Create(const char* familyName, float size, int32_t style, int32_t unit);
  GdipStatus CreateFromDC(uintptr_t dc);
  // The GDI+ equivalent of the font the window was given (WM_GETFONT); 0 when it has none.
  GdipHandle CreateFromWindow(uintptr_t window);
  // Bold only for weights 600 and 700; a negative height is a size in pixels. 0 for font 0.
  GdipHandle CreateFromHFONT(uintptr_t font);
  GdipHandle GetHandle() const { return font_; }
  void SetHandle(GdipHandle font);
  GdipStatus GetStyle(int32_t* style) const;
  GdipStatus GetSize(float* size) const;
  GdipStatus GetUnit(int32_t* unit) const;
  GdipStatus GetHeight(GdipHandle graphics, float* height) const;

 private:
  GdipHandle font_ = 0;
};

class SkinStringFormat {
 public:
  SkinStringFormat() = default;
  ~SkinStringFormat() { Release(); }
  SkinStringFormat(SkinStringFormat&& other) noexcept;
  SkinStringFormat& operator=(SkinStringFormat&& other) noexcept;
  SkinStringFormat(const SkinStringFormat&) = delete;
  SkinStringFormat& operator=(const SkinStringFormat&) = delete;

  void Release();
  GdipStatus Create(int32_t flags, uint16_t language);
  GdipStatus SetAlign(int32_t alignment);
  GdipStatus SetLineAlign(int32_t alignment);
  GdipStatus SetAlignment(int32_t alignment, int32_t lineAlignment);
  void SetHandle(GdipHandle format);
  GdipHandle GetHandle() const { return format_; }

 private:
  GdipHandle format_ = 0;
};

}  // namespace skin
