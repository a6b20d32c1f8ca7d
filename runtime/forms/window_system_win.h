// The window system of the form runtime on Win32.
#pragma once

#include <vector>

#include "runtime/forms/window_system.h"

namespace runtime {

class Win32WindowSystem final : public WindowSystem {
 public:
  bool OnMainThread() override;
  bool RunOnMainThread(void (*work)(void* context), void* context) override;
  bool Exists(WindowHandle window) override;
  UnitRect Rect(WindowHandle window) override;
  void MoveTo(WindowHandle window, int32_t left, int32_t top) override;
  void Resize(WindowHandle window, int32_t width, int32_t height) override;
  void Place(WindowHandle window, const UnitRect& rect) override;
  bool IsVisible(WindowHandle window) override;
  bool IsEnabled(WindowHandle window) override;
  bool IsMinimized(WindowHandle window) override;
  void Show(WindowHandle window, ShowMode mode) override;
  void Enable(WindowHandle window, bool enable) override;
  void Restore(WindowHandle window) override;
  void Activate(WindowHandle window) override;
  void Refresh(WindowHandle window) override;
  void SetParent(WindowHandle child, WindowHandle parent) override;
  void PlaceBelow(WindowHandle window, WindowHandle above) override;
  WindowHandle Focus() override;
  void SetFocus(WindowHandle window) override;
  void Send(WindowHandle window, uint32_t message) override;
  void Destroy(WindowHandle window) override;
  void PostDestroy(WindowHandle window) override;
  CursorHandle MakeCursor(std::span<const uint8_t> data) override;
  void DestroyCursor(CursorHandle cursor) override;
  void RefreshCursor() override;
  WindowHandle HiddenOwner() override;
  void ProcessWaitingMessages() override;
  void RunModalLoop(WindowHandle window) override;
  void PostQuit() override;
  int PixelsPerInch() override;

 private:
  // Cursors made from cursor files; the system's shared cursors are never destroyed.
  std::vector<CursorHandle> ownCursors_;
};

}  // namespace runtime
