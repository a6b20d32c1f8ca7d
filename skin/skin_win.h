// Inside the skin layer: window properties, images held by them, composition of a layered
// window, the GDI+ text objects of drawn edit text and the window procedures the layer
// installs.
#pragma once

#include <windows.h>
// after windows.h
#include <objidl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/gdi_win.h"
#include "base/gdiplus_win.h"
#include "base/handles_win.h"
#include "skin/image_ledger.h"
#include "skin/pixels.h"
#include "skin/skin.h"

namespace skin {

using base::GdiObject;
using base::MemoryDc;
using base::PaintDc;
using base::Selection;
using base::WindowDc;

// GDI+ fonts, families and string formats, as the drawn edit-box text uses them. Each holds
// its object in base's owner from Create/SetHandle until Release, another SetHandle or its
// end; handles travel as integers.

using GdipHandle = uintptr_t;  // a GDI+ object; 0 for none
using GdipStatus = int32_t;    // GDI+ status; 0 is success

// The text (system code page, NUL-terminated) in UTF-16, its terminating NUL included.
std::vector<wchar_t> ToUtf16(const char* text);

class SkinFontFamily {
 public:
  void Release() { family_.reset(); }
  GdipStatus Create(const char* name);  // an unknown face leaves the handle 0
  GdipHandle GetHandle() const { return reinterpret_cast<GdipHandle>(family_.get()); }
  void SetHandle(GdipHandle family) { family_.reset(reinterpret_cast<base::GpFontFamily*>(family)); }

 private:
  base::GdipFontFamily family_;
};

class SkinFont {
 public:
  void Release() { font_.reset(); }
  GdipStatus Create(const char* familyName, float size, int32_t style, int32_t unit);
  GdipStatus CreateFromDC(uintptr_t dc);
  // The GDI+ equivalent of the font the window was given (WM_GETFONT); 0 when it has none.
  GdipHandle CreateFromWindow(uintptr_t window);
  // Bold only for weights 600 and 700; a negative height is a size in pixels. 0 for font 0.
  GdipHandle CreateFromHFONT(uintptr_t font);
  GdipHandle GetHandle() const { return reinterpret_cast<GdipHandle>(font_.get()); }
  void SetHandle(GdipHandle font) { font_.reset(reinterpret_cast<base::GpFont*>(font)); }
  GdipStatus GetStyle(int32_t* style) const;
  GdipStatus GetSize(float* size) const;
  GdipStatus GetUnit(int32_t* unit) const;
  GdipStatus GetHeight(GdipHandle graphics, float* height) const;

 private:
  base::GdipFont font_;
};

class SkinStringFormat {
 public:
  void Release() { format_.reset(); }
  GdipStatus Create(int32_t flags, uint16_t language);
  GdipStatus SetAlign(int32_t alignment);
  GdipStatus SetLineAlign(int32_t alignment);
  GdipStatus SetAlignment(int32_t alignment, int32_t lineAlignment);
  void SetHandle(GdipHandle format) { format_.reset(reinterpret_cast<base::GpStringFormat*>(format)); }
  GdipHandle GetHandle() const { return reinterpret_cast<GdipHandle>(format_.get()); }

 private:
  base::GdipStringFormat format_;
};

// Window properties, by their names.
inline constexpr char kPropType[] = "PngControl_Type";
inline constexpr char kPropBackType[] = "PngControl_BackType";
inline constexpr char kPropBackImage[] = "PngControl_BackImage";
inline constexpr char kPropNormalImage[] = "PngControl_NormalImage";
inline constexpr char kPropHoverImage[] = "PngControl_OverlImage";
inline constexpr char kPropDownImage[] = "PngControl_DownImage";
inline constexpr char kPropDisableImage[] = "PngControl_DisableImage";
inline constexpr char kPropDrawState[] = "Vireo_DrawState";
inline constexpr char kPropFocus[] = "PngControl_IsFoucs";
inline constexpr char kPropCacheBitmap[] = "PngControl_CacheBitmap";
inline constexpr char kPropWndProc[] = "PngControl_WndProc";
inline constexpr char kPropChildWndProc[] = "PngControl_ChildWndProc";
inline constexpr char kPropBackColor[] = "PngControl_BackColor";
inline constexpr char kPropBackAlpha[] = "PngControl_BackAlpha";
inline constexpr char kPropOrderColor[] = "PngControl_OrderColor";
inline constexpr char kPropOrderAlpha[] = "PngControl_OrderAlpha";
inline constexpr char kPropTextColor[] = "PngControl_TextColor";
inline constexpr char kPropToolTips[] = "Vireo_ToolTips";
inline constexpr char kPropTime[] = "PngControl_Time";

// Control kinds ("PngControl_Type").
inline constexpr intptr_t kKindPicture = 2;
inline constexpr intptr_t kKindButton = 3;
inline constexpr intptr_t kKindEdit = 4;

inline constexpr UINT_PTR kCaretTimer = 64;
inline constexpr char kLoadDialogClass[] = "VireoLoadDialog";

// Skin start-up with GDI+ from the library named (tests name one that does not exist).
bool StartSkinFrom(const char* library);
// The GDI+ frame dimension of animated images, converted at start-up.
const GUID& FrameDimensionTime();

// A stream over a global memory block holding a copy of some bytes. The stream owns the
// block: it frees it when its last reference goes, so whoever keeps the stream keeps the bytes.
class GlobalMemoryStream {
 public:
  GlobalMemoryStream() = default;
  GlobalMemoryStream(const GlobalMemoryStream&) = delete;
  GlobalMemoryStream& operator=(const GlobalMemoryStream&) = delete;

  // With bytes: a block holding a copy of them. Without: an empty, growing block. Null on
  // failure.
  IStream* Create(std::optional<Bytes> bytes = std::nullopt);
  IStream* GetStream() const { return stream_.get(); }
  size_t GetSize() const;
  std::vector<uint8_t> GetBytes() const;
  // Hands the stream, and the block it owns, to the caller.
  IStream* Detach();

 private:
  HGLOBAL memory_ = nullptr;  // the stream's block, valid while stream_ is held
  base::ComPtr<IStream> stream_;
};

// What the layer keeps per window lives in this process, in a table keyed by the window:
// window properties can be written by any other process on the desktop, and the program runs
// elevated, so nothing read back from a property is ever used. The properties named above
// are still written, as copies, for whoever reads them. The table is shared with the repair
// worker (it replaces a button's images) and guarded for it.
//
// The value the table keeps under the property's name; 0 when the window has none.
intptr_t Value(HWND window, const char* name);
// Keeps the value (and writes the property) for a window the layer knows; false otherwise,
// and for the names of the layer's own handles, which only the layer sets.
bool SetValue(HWND window, const char* name, intptr_t value);
// True when the name is one the table keeps (a number, an image or one of the layer's handles).
bool IsKeptName(const char* name);
// Makes the layer know the window (without laying a procedure over it: the load dialog).
void KnowWindow(HWND window);
// The cached background of a non-layered button, kept by the table: the bitmap it replaces
// is deleted, and so is the one given for a window the layer does not know. None lets the
// kept one go.
void SetCacheBitmap(HWND control, GdiObject<HBITMAP> cache);
// A change that was not drawn (new images, a property, a move): the window's next composition
// draws it whole instead of one button's box. Any thread.
void MarkChanged(HWND window);
bool TakeChanged(HWND window);
// The image slots of the table (the image ledger counts what they hold): store, returning
// the image replaced (false for a window the layer does not know or that is gone); read; take
// out, leaving 0.
bool ExchangeImage(HWND window, const char* name, ImageHandle image, ImageHandle* previous);
ImageHandle ReadImage(HWND window, const char* name);
ImageHandle TakeImage(HWND window, const char* name);

// The layer's one window procedure and its owner. Hook lays it over a window once (the
// procedure it replaces is kept in the table) and unhooks it when the window ends; what it
// does for a message follows the window's roles: a parent of PNG controls, a PNG button
// drawing itself, or, once adopted by a layered window, a layered button or edit box.
// Adoption only changes the role, so a procedure laid over the window later (a tooltip's)
// stays in the chain.
bool Hook(HWND window);
void MarkParent(HWND window);
// The child's kind now takes its layered role; false when it was adopted already or is no
// PNG control.
bool Adopt(HWND child);
// Passes the message on to the procedure the layer's replaced.
LRESULT CallSaved(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What the load dialog was given to hold, freed when it is destroyed.
struct LoadDialogHeld {
  HANDLE thread = nullptr;
  ImageHandle image = 0;
  HGLOBAL stream = nullptr;
};
void HoldInLoadDialog(HWND dialog, const LoadDialogHeld& held);
LoadDialogHeld TakeLoadDialogHeld(HWND dialog);
// Forgets a window that has ended.
void ForgetWindow(HWND window);

inline bool SetWindowProp(HWND window, const char* name, intptr_t value) {
  return SetPropA(window, name, reinterpret_cast<HANDLE>(value)) != FALSE;
}
inline HWND AsWindow(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline base::GpImage* AsImage(ImageHandle image) { return reinterpret_cast<base::GpImage*>(image); }

// True when the name is one of the image properties, whose images the ledger counts.
bool IsImageProperty(const char* name);

// The process's image ledger.
ImageLedger& Images();
// Stores the image in the window's property, counting it; false for a dead window.
bool StoreImage(HWND window, const char* name, ImageHandle image);
// Stores an image the layer decoded itself: it is disposed once replaced and no longer drawn.
void StoreOwnImage(HWND window, const char* name, Bytes bytes);
// Takes every image property off a window that is ending.
void DropImages(HWND window);

// What the layer keeps beside an image it decoded: for a bitmap, its pixels (premultiplied,
// top row first), which the GDI+ image is drawn from; for other images (metafiles), the
// stream GDI+ reads while drawing.
struct DecodedImage {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  base::ComPtr<IStream> stream;  // the stream GDI+ reads the image from, when it needs one
};

// An image property's image, held for drawing while this lives.
class PinnedImage {
 public:
  PinnedImage(HWND window, const char* name);
  ~PinnedImage() { Images().Unpin(image_); }
  PinnedImage(const PinnedImage&) = delete;
  PinnedImage& operator=(const PinnedImage&) = delete;
  base::GpImage* get() const { return AsImage(image_); }
  // The decoded pixels of an image from LoadImageFromBytes; null for other images.
  const DecodedImage* decoded() const;

 private:
  uintptr_t keepAlive_ = 0;  // set while image_ is read: declared first
  ImageHandle image_;
};

// The name of the image property for a button's visual state ("StateImage" without the
// fall-back to the normal image, which PinnedStateImage adds).
const char* StateImageProperty(int32_t state);
class PinnedStateImage {
 public:
  PinnedStateImage(HWND control, int32_t state);
  const PinnedImage& image() const { return state_.get() ? state_ : normal_; }
  base::GpImage* get() const { return image().get(); }

 private:
  PinnedImage state_;
  PinnedImage normal_;
};

// A window's picture: premultiplied pixels, top row first.
struct Composition {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// Rebuilds and presents a layered window's picture; `only`, when given, is the one part of
// it that may have changed (a button's state, say), and whatever lies wholly outside it is
// not drawn again.
void ComposeWindow(HWND window, const RECT* only = nullptr);
// Hands a picture to the layered window, with the drawn caret or without.
void PresentLayered(HWND window, const Composition& picture, bool caretVisible);
// Puts a picture together over the pixels given, transparent where it is to be drawn: the
// whole of it, or when `only` is given, at least the part inside `only`; outside that part
// they hold whatever was there before, and are not looked at.
using DrawPicture = std::function<void(uint32_t* pixels, const PixelArea* only)>;
// Has `draw` put a width x height picture together and hands it to the layered window, as the
// part that changed since the window's last picture where that is known. `only`, when given,
// is the part that may differ from the last picture. A whole picture is handed over whole,
// changed or not.
void PresentPicture(HWND window, int32_t width, int32_t height, const DrawPicture& draw,
                    const PixelArea* only = nullptr, bool whole = false);

// The picture being put together: pixels written directly where no scaling is needed, and a
// GDI+ bitmap over the same pixels for whatever else (scaled images, fills, borders, text).
class Canvas {
 public:
  Canvas(uint32_t* pixels, int32_t width, int32_t height);
  uint32_t* pixels() const { return pixels_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // A graphics object on the pixels; delete it before writing pixels directly again.
  base::GdipGraphics Graphics() const;

 private:
  uint32_t* pixels_;
  int32_t width_, height_;
  base::GdipImage bitmap_;
};

// Draws the image into (x, y, w, h) by the control's placement.
void DrawPlaced(base::GpGraphics* graphics, base::GpImage* image, int32_t placement, int32_t x, int32_t y,
                int32_t w, int32_t h);
void DrawPlaced(const Canvas& canvas, const PinnedImage& image, int32_t placement, int32_t x, int32_t y,
                int32_t w, int32_t h);
// The edit box's text, inside (x, y, w, h) of the composition.
void DrawEditText(base::GpGraphics* graphics, HWND edit, int32_t x, int32_t y, int32_t w, int32_t h);

// The drawn caret of the focused edit box of a layered window.
struct CaretState {
  HWND focusedWindow = nullptr;
  HWND focusedEdit = nullptr;
  Composition lastComposition;
  bool visible = false;
};
CaretState& Caret();
// Focus entered or left an edit box of a layered window.
void CaretFocus(HWND window, HWND edit);
// The caret timer's procedure (timer 64, every 500 ms).
TIMERPROC CaretTimerProcedure();

// The child's window rectangle in its parent window's client coordinates.
RECT ChildRect(HWND window, HWND child);

// What the layer's procedure does for each role; each passes the message on (CallSaved).
LRESULT ButtonParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT LayeredButtonMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT LayeredEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
// The one tooltip window of the process (null until the first SetToolTip).
HWND SharedToolTip();
// Moves and sizes a window; what is not given keeps its current value (a child's position in
// its parent's client coordinates).
void MoveSkinned(HWND window, std::optional<int32_t> left, std::optional<int32_t> top,
                 std::optional<int32_t> width, std::optional<int32_t> height, bool withoutRedraw);
// Frees what the layer keeps on a window that is ending: its cached background, images,
// caret and the properties it wrote.
void EndControl(HWND control);

// Seen by tests: every picture handed to a layered window, as premultiplied ARGB pixels,
// top row first, before it goes to UpdateLayeredWindow.
using PresentObserver = void (*)(HWND window, const uint32_t* pixels, int32_t width, int32_t height);
void SetPresentObserver(PresentObserver observer);

}  // namespace skin
