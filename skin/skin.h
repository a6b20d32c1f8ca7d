// The skin layer as the program uses it: skin start-up, GDI+ images from byte-sets, the
// layered SkinWindow and the PNG controls drawn into it. No windows.h here: window and image
// handles travel as integers (an HWND, a GDI+ image pointer; 0 for none).
//
// Threads: everything runs on the thread that owns the windows, except LoadImageFromBytes,
// ReleaseImage, ImageInUse and PngControl::SetStateImagesFromBytes / SetStateImages, which any
// thread may call (the repair worker replaces a button's images while the window thread
// composes). They only decode and store; the next composition on the window thread shows it.
//
// Images: an image the layer decoded itself (the ...FromBytes setters) is the layer's; it is
// disposed once it has been replaced and is no longer drawn. An image handed in by handle
// (SetBackImage, SetStateImages, AttachButton) stays its owner's: hand it back with
// ReleaseImage once it is no longer wanted, and the layer disposes it as soon as no window
// holds it and no drawing uses it. Images from LoadImageFromBytes keep their bytes alive
// beside them, so dispose them only through ReleaseImage, never with GdipDisposeImage.
//
// When GDI+ cannot be started (no GdiPlus.dll, as on a stock Windows 2000) every operation
// here does nothing and reports 0 or false.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The methods below are named SendMessage; windows.h would rename them to SendMessageA in
// some files and not in others.
#ifdef SendMessage
#undef SendMessage
#endif

namespace skin {

using WindowHandle = uintptr_t;  // HWND
using ImageHandle = uintptr_t;   // GDI+ image; 0 for none
using Bytes = std::span<const uint8_t>;

// Skin start-up, on the window thread before any skinned window exists: starts GDI+ once for
// the process (never shut down), converts the time frame dimension and registers the
// "VireoLoadDialog" window class. False when GDI+ cannot be started; later calls return the
// first call's answer.
bool StartSkin();
bool SkinStarted();

// A GDI+ image decoded from the bytes (frame 0 of an animated image selected), or 0 when the
// bytes are no image or GDI+ is not started. The caller owns the image: ReleaseImage.
ImageHandle LoadImageFromBytes(Bytes bytes);

// The caller gives the image up: the layer disposes it at once when no window property holds
// it and no composition is drawing it, otherwise as soon as neither is true. 0 is ignored.
void ReleaseImage(ImageHandle image);

// True while a window property of the layer holds the image or a drawing uses it.
bool ImageInUse(ImageHandle image);

// Gives a "VireoLoadDialog" window of this thread what it holds until it is destroyed: a
// thread (ended then), an image (released) and a global memory block (freed), each 0 for
// none. Whatever it held before is freed at once. False, and nothing taken, for any other
// window.
bool GiveToLoadDialog(WindowHandle dialog, uintptr_t thread, ImageHandle image, uintptr_t stream);

// A top-level window made layered and drawn entirely by the layer: its background image and
// every PNG control child composed into one picture with per-pixel alpha. Copies share the
// window; destroying the object does nothing to it.
class SkinWindow {
 public:
  // False when the handle is not a live window. Makes the window layered (the extended style
  // becomes exactly WS_EX_LAYERED) and starts its caret timer once.
  bool Attach(WindowHandle window);
  // False unless the window is live and the image is not 0; then recomposes.
  bool SetBackImage(ImageHandle image);
  bool SetBackImageFromBytes(Bytes bytes);
  // Hands every PNG control child to the layered procedures and recomposes the window.
  void AdoptControls();
  // Moves and sizes the window; what is not given keeps its current value.
  void Move(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
            std::optional<int32_t> height, bool withoutRedraw = false);
  WindowHandle GetHandle() const { return window_; }
  bool IsValid() const;
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const;

 private:
  WindowHandle window_ = 0;
};

// A child window (a push button here) drawn from images, one per visual state: normal, hover,
// pressed, disabled. Its settings live in window properties on the control ("PngControl_...").
// Copies share the control; destroying the object does nothing to it.
class PngControl {
 public:
  // False when the handle is not a live window.
  bool Attach(WindowHandle window);
  WindowHandle GetHandle() const { return control_; }
  bool SetProperty(const char* name, intptr_t value) const;
  intptr_t GetProperty(const char* name) const;
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const;
  // Registers (first call) or updates (later calls) the control's tooltip. With atCursor
  // false the tip is centred below the control.
  void SetToolTip(const char* text, bool atCursor = true) const;
  // In the parent's client coordinates; what is not given keeps its current value.
  void Move(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
            std::optional<int32_t> height, bool withoutRedraw = false) const;
  WindowHandle GetWindowHandle() const { return control_; }
  bool IsValid() const;
  void Invalidate() const;
  intptr_t SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const;
  // A new visible "Button" child of the parent, attached as a PNG button; its handle.
  WindowHandle CreateButton(WindowHandle parent, int32_t left, int32_t top, int32_t width, int32_t height,
                            const char* caption);
  // Makes the window a PNG button (owner-drawn); false when the handle is not a live window.
  bool AttachButton(WindowHandle window, std::optional<ImageHandle> normal = std::nullopt);
  // Sets the images given (no redraw). Any thread.
  void SetStateImages(std::optional<ImageHandle> normal, std::optional<ImageHandle> hover = std::nullopt,
                      std::optional<ImageHandle> pressed = std::nullopt,
                      std::optional<ImageHandle> disabled = std::nullopt) const;
  // The same from byte-sets the layer decodes itself (bytes that are no image store 0, so that
  // state falls back to the normal image). Any thread.
  void SetStateImagesFromBytes(std::optional<Bytes> normal, std::optional<Bytes> hover = std::nullopt,
                               std::optional<Bytes> pressed = std::nullopt,
                               std::optional<Bytes> disabled = std::nullopt) const;
  // Image placement: 0 natural size (cut to the control), 1 stretched, 2 fitted and centred.
  void SetBackType(int32_t placement) const;

 private:
  WindowHandle control_ = 0;
};

}  // namespace skin
