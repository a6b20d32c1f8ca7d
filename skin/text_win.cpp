// GDI+ fonts, families and string formats; the drawn text of an edit box on a layered window
// and the procedure that keeps that text and its caret current; tooltips.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "runtime/core/declared_functions_win.h"
#include "skin/geometry.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

template <typename T>
T* As(GdipHandle handle) {
  return reinterpret_cast<T*>(handle);
}

constexpr GdipStatus kNotStarted = 18;  // GdiplusNotInitialized

HWND gToolTip = nullptr;

}  // namespace

std::vector<wchar_t> ToUtf16(const char* text) {
  const int units = text ? MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) : 0;
  if (units <= 0) return {L'\0'};
  std::vector<wchar_t> wide(static_cast<size_t>(units));
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
  return wide;
}

// ---- SkinFontFamily ----

GdipStatus SkinFontFamily::Create(const char* name) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api) return kNotStarted;
  const std::vector<wchar_t> wide = ToUtf16(name);
  base::GdipFontFamily family;
  const GdipStatus status = api->GdipCreateFontFamilyFromName(wide.data(), nullptr, family.out());
  family_ = std::move(family);
  return status;
}

// ---- SkinFont ----

GdipStatus SkinFont::Create(const char* familyName, float size, int32_t style, int32_t unit) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api) return kNotStarted;
  SkinFontFamily family;
  family.Create(familyName);
  base::GdipFont font;
  const GdipStatus status =
      api->GdipCreateFont(As<base::GpFontFamily>(family.GetHandle()), size, style, unit, font.out());
  font_ = std::move(font);
  return status;
}

GdipStatus SkinFont::CreateFromDC(uintptr_t dc) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api) return kNotStarted;
  base::GdipFont font;
  const GdipStatus status = api->GdipCreateFontFromDC(reinterpret_cast<HDC>(dc), font.out());
  font_ = std::move(font);
  return status;
}

GdipHandle SkinFont::CreateFromWindow(uintptr_t window) {
  return CreateFromHFONT(static_cast<uintptr_t>(SendMessageA(AsWindow(window), WM_GETFONT, 0, 0)));
}

GdipHandle SkinFont::CreateFromHFONT(uintptr_t handle) {
  const base::GdiplusApi* api = base::Gdiplus();
  LOGFONTA font{};
  if (!handle || !api || !GetObjectA(reinterpret_cast<HFONT>(handle), sizeof font, &font)) return 0;
  int32_t style = 0;
  if (font.lfWeight == 600 || font.lfWeight == 700) style |= 1;
  if (font.lfItalic == 1) style |= 2;
  if (font.lfUnderline == 1) style |= 4;
  if (font.lfStrikeOut == 1) style |= 8;
  const std::string face(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  SkinFontFamily family;
  family.Create(face.c_str());
  const float size = float(font.lfHeight >= 0 ? font.lfHeight : -font.lfHeight);
  base::GdipFont created;
  api->GdipCreateFont(As<base::GpFontFamily>(family.GetHandle()), size, style, base::kGpUnitPixel,
                      created.out());
  font_ = std::move(created);
  return GetHandle();
}

GdipStatus SkinFont::GetStyle(int32_t* style) const {
  const base::GdiplusApi* api = base::Gdiplus();
  INT value = 0;
  const GdipStatus status = api ? api->GdipGetFontStyle(font_.get(), &value) : kNotStarted;
  *style = value;
  return status;
}

GdipStatus SkinFont::GetSize(float* size) const {
  const base::GdiplusApi* api = base::Gdiplus();
  return api ? api->GdipGetFontSize(font_.get(), size) : kNotStarted;
}

GdipStatus SkinFont::GetUnit(int32_t* unit) const {
  const base::GdiplusApi* api = base::Gdiplus();
  int value = 0;
  const GdipStatus status = api ? api->GdipGetFontUnit(font_.get(), &value) : kNotStarted;
  *unit = value;
  return status;
}

GdipStatus SkinFont::GetHeight(GdipHandle graphics, float* height) const {
  const base::GdiplusApi* api = base::Gdiplus();
  return api ? api->GdipGetFontHeight(font_.get(), As<base::GpGraphics>(graphics), height) : kNotStarted;
}

// ---- SkinStringFormat ----

GdipStatus SkinStringFormat::Create(int32_t flags, uint16_t language) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api) return kNotStarted;
  base::GdipStringFormat format;
  const GdipStatus status = api->GdipCreateStringFormat(flags, language, format.out());
  format_ = std::move(format);
  return status;
}

GdipStatus SkinStringFormat::SetAlign(int32_t alignment) {
  const base::GdiplusApi* api = base::Gdiplus();
  return api ? api->GdipSetStringFormatAlign(format_.get(), alignment) : kNotStarted;
}

GdipStatus SkinStringFormat::SetLineAlign(int32_t alignment) {
  const base::GdiplusApi* api = base::Gdiplus();
  return api ? api->GdipSetStringFormatLineAlign(format_.get(), alignment) : kNotStarted;
}

GdipStatus SkinStringFormat::SetAlignment(int32_t alignment, int32_t lineAlignment) {
  SetAlign(alignment);
  return SetLineAlign(lineAlignment);
}

// ---- Edit boxes on a layered window ----

void DrawEditText(base::GpGraphics* graphics, HWND edit, int32_t x, int32_t y, int32_t w, int32_t h) {
  const int length = GetWindowTextLengthA(edit);
  if (length <= 0) return;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), length + 1)));
  if (text.empty()) return;
  std::vector<wchar_t> wide = ToUtf16(text.c_str());
  // A password box shows its password character once per character of its text, never the
  // text (no character set: the box shows its text, as the stock edit control does).
  const auto mask = static_cast<wchar_t>(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0));
  if ((GetWindowLongPtrA(edit, GWL_STYLE) & ES_PASSWORD) && mask) {
    std::fill(wide.begin(), wide.end() - 1, mask);
  }
  SkinFont font;
  if (!font.CreateFromWindow(reinterpret_cast<uintptr_t>(edit))) return;  // no font: no text
  SkinStringFormat format;
  format.Create(0x1004, 0);  // one line, not fitted to the black box
  format.SetAlignment(0, 1);
  const base::GdiplusApi& api = *base::Gdiplus();
  base::GdipBrush brush;
  api.GdipCreateSolidFill(ColorToArgb(static_cast<uint32_t>(Value(edit, kPropTextColor)), 255), brush.out());
  const base::GdipRectF layout{float(x + 2), float(y + 2), float(w - 4), float(h - 4)};
  api.GdipDrawString(graphics, wide.data(), static_cast<INT>(wide.size() - 1),
                     As<base::GpFont>(font.GetHandle()), &layout,
                     As<base::GpStringFormat>(format.GetHandle()), brush.get());
}

LRESULT LayeredEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = GetParent(edit);
  switch (message) {
    case WM_SETFOCUS:
      CaretFocus(window, edit);
      break;
    case WM_KILLFOCUS:
      CaretFocus(nullptr, nullptr);
      break;
  }
  const LRESULT result = CallSaved(edit, message, wParam, lParam);
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SETTEXT:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONUP:
    case WM_IME_CHAR:
    case WM_CUT:
    case WM_PASTE:
      ComposeWindow(window);
      break;
  }
  return result;
}

// ---- Tooltips ----

HWND SharedToolTip() { return gToolTip; }

void PngControl::SetToolTip(const char* text, bool atCursor) const {
  HWND control = AsWindow(control_);
  if (!SkinStarted() || !IsWindow(control)) return;
  if (!gToolTip) {
    if (runtime::kInitCommonControls.Available()) runtime::kInitCommonControls();
    gToolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
    if (!gToolTip) return;
    SendMessageA(gToolTip, TTM_SETMAXTIPWIDTH, 0, 1024);  // long tips wrap onto more lines
  }
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = control;
  tool.uId = 0;
  tool.lpszText = const_cast<char*>(text ? text : "");
  if (Value(control, kPropToolTips)) {
    SendMessageA(gToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  SetValue(control, kPropToolTips, 1);
  tool.uFlags = TTF_SUBCLASS | (atCursor ? 0 : TTF_CENTERTIP);
  GetClientRect(control, &tool.rect);
  SendMessageA(gToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace skin
