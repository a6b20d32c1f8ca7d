// SkinWindow: a top-level window made layered, with its background, its adopted PNG controls
// and its caret timer.
#include <windows.h>

#include "runtime/core/own_messages_win.h"
#include "skin/skin_win.h"

namespace skin {

void MoveSkinned(HWND window, std::optional<int32_t> left, std::optional<int32_t> top,
                 std::optional<int32_t> width, std::optional<int32_t> height, bool withoutRedraw) {
  RECT frame{};
  GetWindowRect(window, &frame);
  POINT corner{frame.left, frame.top};
  if (HWND parent = GetParent(window); parent && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) {
    ScreenToClient(parent, &corner);
  }
  UINT flags = SWP_NOZORDER;
  if (withoutRedraw) flags |= SWP_NOREDRAW;
  if (!left && !top) flags |= SWP_NOMOVE;
  if (!width && !height) flags |= SWP_NOSIZE;
  SetWindowPos(window, nullptr, left.value_or(corner.x), top.value_or(corner.y),
               width.value_or(frame.right - frame.left), height.value_or(frame.bottom - frame.top), flags);
}

bool SkinWindow::Attach(WindowHandle handle) {
  HWND window = AsWindow(handle);
  if (!SkinStarted() || !IsWindow(window)) return false;
  window_ = handle;
  // The layer's procedure ends what it keeps for the window (its background, the caret).
  Hook(window);
  SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED);
  CreateCaret(window, nullptr, 1, 12);
  if (!Value(window, kPropTime)) {
    runtime::SetCallbackTimer(window, kCaretTimer, 500, CaretTimerProcedure());
    SetValue(window, kPropTime, kCaretTimer);
  }
  return true;
}

bool SkinWindow::SetBackImage(ImageHandle image) {
  HWND window = AsWindow(window_);
  if (!SkinStarted() || !image || !IsWindow(window)) return false;
  StoreImage(window, kPropBackImage, image);
  ComposeWindow(window);
  return true;
}

bool SkinWindow::SetBackImageFromBytes(Bytes bytes) {
  const ImageHandle image = LoadImageFromBytes(bytes);
  const bool set = SetBackImage(image);
  ReleaseImage(image);  // ours from now on: disposed once replaced
  return set;
}

void SkinWindow::AdoptControls() {
  HWND window = AsWindow(window_);
  if (!SkinStarted() || !IsWindow(window)) return;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) Adopt(child);
  ComposeWindow(window);
}

void SkinWindow::Move(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
                      std::optional<int32_t> height, bool withoutRedraw) {
  if (IsWindow(AsWindow(window_))) MoveSkinned(AsWindow(window_), left, top, width, height, withoutRedraw);
}

bool SkinWindow::IsValid() const { return IsWindow(AsWindow(window_)) == 1; }

intptr_t SkinWindow::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
  return SendMessageA(AsWindow(window_), message, wParam, lParam);
}

}  // namespace skin
