// Composition of a layered window's picture (background and every PNG control), its
// presentation with per-pixel alpha, and the drawn caret of a focused edit box.
#include <windows.h>

#include "skin/gdi_win.h"
#include "skin/geometry.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

PresentObserver gPresentObserver = nullptr;

}  // namespace

void DrawPlaced(base::GpGraphics* graphics, base::GpImage* image, int32_t placement, int32_t x, int32_t y,
                int32_t w, int32_t h) {
  const base::GdiplusApi& api = *base::Gdiplus();
  float iw = 0, ih = 0;
  api.GdipGetImageDimension(image, &iw, &ih);
  const ImagePlacement at = PlaceImage(placement, iw, ih, x, y, w, h);
  if (at.cut) {
    api.GdipDrawImagePointRect(graphics, image, at.x, at.y, 0, 0, at.width, at.height, base::kGpUnitPixel);
  } else {
    api.GdipDrawImageRect(graphics, image, at.x, at.y, at.width, at.height);
  }
}

namespace {

// The edit box's fill, drawn before its image.
void FillEditBox(base::GpGraphics* graphics, HWND child, const RECT& box) {
  const auto color = static_cast<int32_t>(Prop(child, kPropBackColor));
  if (color == -1) return;
  const base::GdiplusApi& api = *base::Gdiplus();
  base::GdipBrush brush;
  api.GdipCreateSolidFill(ColorToArgb(color, static_cast<uint32_t>(Prop(child, kPropBackAlpha))),
                          brush.out());
  api.GdipFillRectangle(graphics, brush.get(), float(box.left), float(box.top), float(box.right - box.left),
                        float(box.bottom - box.top));
}

// The edit box's border and text, drawn after its image.
void FinishEditBox(base::GpGraphics* graphics, HWND child, const RECT& box) {
  const int32_t w = box.right - box.left, h = box.bottom - box.top;
  const auto color = static_cast<int32_t>(Prop(child, kPropOrderColor));
  if (color != -1) {
    const base::GdiplusApi& api = *base::Gdiplus();
    base::GdipPen pen;
    api.GdipCreatePen1(ColorToArgb(color, static_cast<uint32_t>(Prop(child, kPropOrderAlpha))), 1.0f,
                       base::kGpUnitWorld, pen.out());
    api.GdipDrawRectangle(graphics, pen.get(), float(box.left), float(box.top), float(w), float(h));
  }
  DrawEditText(graphics, child, box.left, box.top, w, h);
}

// A one-pixel black line at the caret of the focused edit box.
void DrawCaret(HWND window, base::GpGraphics* graphics) {
  HWND edit = Caret().focusedEdit;
  if (!edit) return;
  const RECT box = ChildRect(window, edit);
  POINT caret{};
  GetCaretPos(&caret);
  const float x = float(box.left + caret.x + 5);
  const float y = float(static_cast<int32_t>(box.top + (box.bottom - box.top - 12) / 2.0));
  const base::GdiplusApi& api = *base::Gdiplus();
  base::GdipPen pen;
  api.GdipCreatePen1(ColorToArgb(0, 255), 1.0f, base::kGpUnitWorld, pen.out());
  api.GdipDrawLine(graphics, pen.get(), x, y, x, y + 12);
}

// Copies the picture into the DIB's premultiplied pixels, the form UpdateLayeredWindow
// blends; drawing through a DC would drop the alpha.
void RenderInto(void* bits, int32_t w, int32_t h, HWND window, base::GpImage* picture, bool caretVisible) {
  const base::GdiplusApi& api = *base::Gdiplus();
  base::GdipImage target;
  api.GdipCreateBitmapFromScan0(w, h, w * 4, base::kPixelFormat32bppPargb, static_cast<BYTE*>(bits),
                                target.out());
  base::GdipGraphics graphics;
  if (target) api.GdipGetImageGraphicsContext(target.get(), graphics.out());
  if (!graphics) return;
  UINT pw = 0, ph = 0;
  api.GdipGetImageWidth(picture, &pw);
  api.GdipGetImageHeight(picture, &ph);
  api.GdipSetCompositingMode(graphics.get(), base::kCompositingModeSourceCopy);
  api.GdipDrawImageRect(graphics.get(), picture, 0, 0, float(pw), float(ph));
  api.GdipSetCompositingMode(graphics.get(), 0);
  if (caretVisible) DrawCaret(window, graphics.get());
}

VOID CALLBACK CaretTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
  if (id != kCaretTimer) return;
  CaretState& caret = Caret();
  if (window != caret.focusedWindow || !caret.focusedEdit || !caret.lastComposition) return;
  caret.visible = !caret.visible;
  PresentLayered(window, caret.lastComposition.get(), caret.visible);
}

}  // namespace

void SetPresentObserver(PresentObserver observer) { gPresentObserver = observer; }

CaretState& Caret() {
  static CaretState caret;
  return caret;
}

void CaretFocus(HWND window, HWND edit) {
  CaretState& caret = Caret();
  // The kept composition belongs to the window that had the focus; it is not kept for
  // a window that no longer blinks a caret.
  if (window != caret.focusedWindow) caret.lastComposition.reset();
  caret.focusedWindow = window;
  caret.focusedEdit = edit;
  caret.visible = false;
}

TIMERPROC CaretTimerProcedure() { return CaretTimerProc; }

RECT ChildRect(HWND window, HWND child) {
  RECT box{};
  GetWindowRect(child, &box);
  POINT corner{box.left, box.top};
  ScreenToClient(window, &corner);
  return {corner.x, corner.y, corner.x + box.right - box.left, corner.y + box.bottom - box.top};
}

void DrawChild(HWND window, HWND child, base::GpGraphics* graphics) {
  const RECT box = ChildRect(window, child);
  const intptr_t kind = Prop(child, kPropType);
  const auto placement = static_cast<int32_t>(Prop(child, kPropBackType));
  const int32_t w = box.right - box.left, h = box.bottom - box.top;
  if (kind == kKindButton) {
    const PinnedStateImage image(child, static_cast<int32_t>(Prop(child, kPropDrawState)));
    if (image.get()) DrawPlaced(graphics, image.get(), placement, box.left, box.top, w, h);
    return;
  }
  if (kind != kKindPicture && kind != kKindEdit) return;
  if (kind == kKindEdit) FillEditBox(graphics, child, box);
  {
    const PinnedImage image(child, kPropBackImage);
    if (image.get()) DrawPlaced(graphics, image.get(), placement, box.left, box.top, w, h);
  }
  if (kind == kKindEdit) FinishEditBox(graphics, child, box);
}

void ComposeWindow(HWND window) {
  const base::GdiplusApi* api = base::Gdiplus();
  if (!api || !IsWindow(window)) return;
  RECT frame{};
  GetWindowRect(window, &frame);
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  if (w <= 0 || h <= 0) return;
  base::GdipImage bitmap;
  api->GdipCreateBitmapFromScan0(w, h, 0, base::kPixelFormat32bppArgb, nullptr, bitmap.out());
  base::GdipGraphics graphics;
  if (bitmap) api->GdipGetImageGraphicsContext(bitmap.get(), graphics.out());
  if (!graphics) return;
  {
    const PinnedImage back(window, kPropBackImage);
    if (back.get()) {
      float bw = 0, bh = 0;
      api->GdipGetImageDimension(bitmap.get(), &bw, &bh);
      api->GdipDrawImageRect(graphics.get(), back.get(), 0, 0, bw, bh);
    }
  }
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (Prop(child, kPropType)) DrawChild(window, child, graphics.get());
  }
  graphics.reset();
  PresentLayered(window, bitmap.get(), false);
  CaretState& caret = Caret();
  if (window == caret.focusedWindow) caret.lastComposition = std::move(bitmap);
}

void PresentLayered(HWND window, base::GpImage* picture, bool caretVisible) {
  if (!base::Gdiplus() || !IsWindow(window) || !picture) return;
  RECT frame{};
  GetWindowRect(window, &frame);
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  if (w <= 0 || h <= 0) return;
  WindowDc windowDc(window);
  MemoryDc memory(windowDc.get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, DWORD(w) * DWORD(h) * 4, 0, 0, 0, 0};
  void* bits = nullptr;
  GdiObject<HBITMAP> dib(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.get() || !bits) return;
  Selection selected(memory.get(), dib.get());
  RenderInto(bits, w, h, window, picture, caretVisible);
  GdiFlush();
  if (gPresentObserver) gPresentObserver(window, static_cast<const uint32_t*>(bits), w, h);
  SIZE size{w, h};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, windowDc.get(), nullptr, &size, memory.get(), &source, 0, &blend, ULW_ALPHA);
}

}  // namespace skin
