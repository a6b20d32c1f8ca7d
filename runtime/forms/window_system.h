// The window system as the portable form runtime sees it: the few things the loader, the
// property rules and the window services ask of live windows. The Win32 implementation lives
// in window_system_win.cpp; native tests hand in a recording fake.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/forms/unit_class.h"

namespace runtime {

// A window's rectangle: left and top in its parent's client area (the screen for a top-level
// window), width and height of its outer rectangle.
struct UnitRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const UnitRect&) const = default;
};

enum class ShowMode {
  kHide,
  kShowNoActivate,  // a component
  kShowNormal,      // a window, by its start position
  kShowMinimized,
  kShowMaximized,
};

// Runtime messages sent to the units of a window while it loads.
inline constexpr uint32_t kMessageLayoutComplete = 0x8004;
inline constexpr uint32_t kMessageUnitsCreated = 0x806F;
inline constexpr uint32_t kMessageWindowReady = 0x8076;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Threads: every window belongs to the main thread. Work from another thread is run there,
  // and this call returns when it is done; false, with nothing run, when the main thread
  // cannot take work (its hand-off window does not exist).
  virtual bool OnMainThread() = 0;
  virtual bool RunOnMainThread(void (*work)(void* context), void* context) = 0;

  virtual bool Exists(WindowHandle window) = 0;
  virtual UnitRect Rect(WindowHandle window) = 0;
  // Moves keeping the size (left, top) or resizes keeping the position and stacking order.
  virtual void MoveTo(WindowHandle window, int32_t left, int32_t top) = 0;
  virtual void Resize(WindowHandle window, int32_t width, int32_t height) = 0;
  // Moves and resizes at once and repaints.
  virtual void Place(WindowHandle window, const UnitRect& rect) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;  // its own visible state
  virtual bool IsEnabled(WindowHandle window) = 0;
  virtual bool IsMinimized(WindowHandle window) = 0;
  virtual void Show(WindowHandle window, ShowMode mode) = 0;
  virtual void Enable(WindowHandle window, bool enable) = 0;
  virtual void Restore(WindowHandle window) = 0;
  virtual void Activate(WindowHandle window) = 0;
  virtual void Refresh(WindowHandle window) = 0;  // paints what is invalid now

  virtual void SetParent(WindowHandle child, WindowHandle parent) = 0;
  // Places a window directly below another in the stacking order, or on top for 0.
  virtual void PlaceBelow(WindowHandle window, WindowHandle above) = 0;
  virtual WindowHandle Focus() = 0;
  virtual void SetFocus(WindowHandle window) = 0;

  virtual void Send(WindowHandle window, uint32_t message) = 0;
  virtual void Destroy(WindowHandle window) = 0;
  // The window destroys itself when it handles the posted request.
  virtual void PostDestroy(WindowHandle window) = 0;

  // A cursor from a unit's cursor data; 0 for the default cursor.
  virtual CursorHandle MakeCursor(std::span<const uint8_t> data) = 0;
  virtual void DestroyCursor(CursorHandle cursor) = 0;
  // Sets the mouse position to itself, so that a new cursor shows at once.
  virtual void RefreshCursor() = 0;

  // The window that owns windows shown without a taskbar button, and modal windows.
  virtual WindowHandle HiddenOwner() = 0;
  // Handles every waiting message except the quit message.
  virtual void ProcessWaitingMessages() = 0;
  // Runs the message loop until the window is gone (or the quit message arrives, which is
  // left for the outer loop).
  virtual void RunModalLoop(WindowHandle window) = 0;
  virtual void PostQuit() = 0;
  virtual int PixelsPerInch() = 0;
};

}  // namespace runtime
