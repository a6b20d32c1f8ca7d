// Composition of a layered window's picture (background and every PNG control) and the drawn
// caret of a focused edit box.
//
// Every visible change recomposes the picture, so that a hover shows without lag: a button's
// change only its own box (what lies wholly outside it is not drawn, nor its properties read),
// any other change the whole. Images the layer decoded are copied or blended from their own
// pixels where they are not scaled, GDI+ draws only what needs scaling, fills, borders or
// text, and the presentation hands the window only the part that changed.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/gdi_win.h"
#include "skin/geometry.h"
#include "skin/pixels.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

bool WindowSize(HWND window, int32_t* width, int32_t* height) {
  RECT frame{};
  GetWindowRect(window, &frame);
  *width = frame.right - frame.left;
  *height = frame.bottom - frame.top;
  return *width > 0 && *height > 0;
}

// The edit box's fill, drawn before its image.
void FillEditBox(const Canvas& canvas, HWND child, const RECT& box) {
  const auto color = static_cast<int32_t>(Value(child, kPropBackColor));
  if (color == -1) return;
  const base::GdiplusApi& api = *base::Gdiplus();
  base::GdipGraphics graphics = canvas.Graphics();
  base::GdipBrush brush;
  api.GdipCreateSolidFill(ColorToArgb(color, static_cast<uint32_t>(Value(child, kPropBackAlpha))),
                          brush.out());
  api.GdipFillRectangle(graphics.get(), brush.get(), float(box.left), float(box.top),
                        float(box.right - box.left), float(box.bottom - box.top));
}

// The edit box's border and text, drawn after its image.
void FinishEditBox(const Canvas& canvas, HWND child, const RECT& box) {
  const int32_t w = box.right - box.left, h = box.bottom - box.top;
  base::GdipGraphics graphics = canvas.Graphics();
  const auto color = static_cast<int32_t>(Value(child, kPropOrderColor));
  if (color != -1) {
    const base::GdiplusApi& api = *base::Gdiplus();
    base::GdipPen pen;
    api.GdipCreatePen1(ColorToArgb(color, static_cast<uint32_t>(Value(child, kPropOrderAlpha))), 1.0f,
                       base::kGpUnitWorld, pen.out());
    api.GdipDrawRectangle(graphics.get(), pen.get(), float(box.left), float(box.top), float(w), float(h));
  }
  DrawEditText(graphics.get(), child, box.left, box.top, w, h);
}

// A one-pixel black line, 12 pixels below its top, at the caret of the focused edit box.
void DrawCaret(HWND window, PixelView picture) {
  HWND edit = Caret().focusedEdit;
  if (!edit) return;
  const RECT box = ChildRect(window, edit);
  POINT caret{};
  GetCaretPos(&caret);
  const int32_t x = box.left + caret.x + 5;
  const auto y = static_cast<int32_t>(box.top + (box.bottom - box.top - 12) / 2.0);
  if (x < 0 || x >= picture.width) return;
  for (int32_t row = std::max(0, y); row <= y + 12 && row < picture.height; ++row) {
    picture.pixels[static_cast<size_t>(row) * picture.width + x] = ColorToArgb(0, 255);
  }
}

VOID CALLBACK CaretTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
  if (id != kCaretTimer) return;
  CaretState& caret = Caret();
  if (window != caret.focusedWindow || !caret.focusedEdit || caret.lastComposition.pixels.empty()) return;
  caret.visible = !caret.visible;
  PresentLayered(window, caret.lastComposition, caret.visible);
}

}  // namespace

Canvas::Canvas(uint32_t* pixels, int32_t width, int32_t height)
    : pixels_(pixels), width_(width), height_(height) {
  base::Gdiplus()->GdipCreateBitmapFromScan0(width, height, width * 4, base::kPixelFormat32bppPargb,
                                             reinterpret_cast<BYTE*>(pixels), bitmap_.out());
}

base::GdipGraphics Canvas::Graphics() const {
  base::GdipGraphics graphics;
  if (bitmap_) base::Gdiplus()->GdipGetImageGraphicsContext(bitmap_.get(), graphics.out());
  return graphics;
}

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

void DrawPlaced(const Canvas& canvas, const PinnedImage& image, int32_t placement, int32_t x, int32_t y,
                int32_t w, int32_t h) {
  if (const DecodedImage* decoded = image.decoded()) {
    const ImagePlacement at =
        PlaceImage(placement, float(decoded->width), float(decoded->height), x, y, w, h);
    // Unscaled: blended from the image's own pixels.
    if (at.cut || (at.width == float(decoded->width) && at.height == float(decoded->height))) {
      BlendPixels({canvas.pixels(), canvas.width(), canvas.height()}, int32_t(at.x), int32_t(at.y),
                  {decoded->pixels.data(), decoded->width, decoded->height}, int32_t(at.width),
                  int32_t(at.height));
      return;
    }
  }
  base::GdipGraphics graphics = canvas.Graphics();
  if (graphics) DrawPlaced(graphics.get(), image.get(), placement, x, y, w, h);
}

CaretState& Caret() {
  static CaretState caret;
  return caret;
}

void CaretFocus(HWND window, HWND edit) {
  CaretState& caret = Caret();
  // The kept picture belongs to the window that had the focus; it is not kept for a window
  // that no longer blinks a caret.
  if (window != caret.focusedWindow) caret.lastComposition = {};
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

namespace {

// Draws one PNG control child, of the kind given, at its box in the composition.
void DrawChild(HWND child, const RECT& box, intptr_t kind, const Canvas& canvas) {
  const auto placement = static_cast<int32_t>(Value(child, kPropBackType));
  const int32_t w = box.right - box.left, h = box.bottom - box.top;
  if (kind == kKindButton) {
    const PinnedStateImage image(child, static_cast<int32_t>(Value(child, kPropDrawState)));
    if (image.get()) DrawPlaced(canvas, image.image(), placement, box.left, box.top, w, h);
    return;
  }
  if (kind != kKindPicture && kind != kKindEdit) return;
  if (kind == kKindEdit) FillEditBox(canvas, child, box);
  {
    const PinnedImage image(child, kPropBackImage);
    if (image.get()) DrawPlaced(canvas, image, placement, box.left, box.top, w, h);
  }
  if (kind == kKindEdit) FinishEditBox(canvas, child, box);
}

}  // namespace

void ComposeWindow(HWND window, const RECT* only) {
  int32_t w = 0, h = 0;
  if (!base::Gdiplus() || !IsWindow(window) || !WindowSize(window, &w, &h)) return;
  CaretState& caret = Caret();
  // The focused window keeps its whole picture for the caret's blinking.
  const bool keepsPicture = window == caret.focusedWindow;
  // A change made without drawing (a setter's) lies anywhere: then the whole is composed.
  const bool changedElsewhere = TakeChanged(window);
  const bool whole = !only || keepsPicture || changedElsewhere;
  const PixelArea part =
      whole ? PixelArea{0, 0, w, h} : PixelArea{only->left, only->top, only->right, only->bottom};
  const auto draw = [&](uint32_t* pixels, const PixelArea* within) {
    {
      const Canvas canvas(pixels, w, h);
      {
        // Stretched over the whole window; one of the window's size is copied as it is.
        const PinnedImage back(window, kPropBackImage);
        const DecodedImage* decoded = back.decoded();
        if (decoded && decoded->width == w && decoded->height == h) {
          CopyArea({canvas.pixels(), w, h}, {decoded->pixels.data(), w, h},
                   within ? *within : PixelArea{0, 0, w, h});
        } else if (back.get()) {
          base::GdipGraphics graphics = canvas.Graphics();
          if (graphics)
            base::Gdiplus()->GdipDrawImageRect(graphics.get(), back.get(), 0, 0, float(w), float(h));
        }
      }
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT box = ChildRect(window, child);
        if (within && !within->Meets({box.left, box.top, box.right, box.bottom})) continue;
        if (const intptr_t kind = Value(child, kPropType)) DrawChild(child, box, kind, canvas);
      }
    }
    if (keepsPicture) {
      caret.lastComposition.width = w;
      caret.lastComposition.height = h;
      caret.lastComposition.pixels.assign(pixels, pixels + size_t(w) * h);
    }
  };
  PresentPicture(window, w, h, draw, &part, whole);
}

void PresentLayered(HWND window, const Composition& picture, bool caretVisible) {
  int32_t w = 0, h = 0;
  if (!IsWindow(window) || picture.pixels.empty() || !WindowSize(window, &w, &h)) return;
  if (w != picture.width || h != picture.height) return;  // the window changed size: wait for the next one
  PresentPicture(window, w, h, [&](uint32_t* pixels, const PixelArea*) {
    std::memcpy(pixels, picture.pixels.data(), picture.pixels.size() * 4);
    if (caretVisible) DrawCaret(window, {pixels, w, h});
  });
}

}  // namespace skin
