// The Win32 window system of the form runtime.
#include "runtime/forms/window_system_win.h"

#include <windows.h>

#include <algorithm>

#include "base/byte_reader.h"
#include "base/gdi_win.h"
#include "runtime/core/own_messages_win.h"
#include "runtime/core/process_win.h"
#include "runtime/core/runtime_messages.h"
#include "runtime/forms/message_loop_win.h"

namespace runtime {

using base::ByteReader;
namespace {

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// A cursor from the bytes of a cursor file: the first image, with its hot spot in front as the
// system's cursor resources have it. nullptr for anything that is no cursor file.
HCURSOR CursorFromFile(std::span<const uint8_t> data) {
  ByteReader header(data);
  const uint32_t reservedAndType = header.U32();  // reserved 0, type 2 (cursor)
  const uint32_t count = header.U32() & 0xFFFF;
  if (!header.Ok() || reservedAndType != 0x00020000 || count == 0) return nullptr;
  ByteReader entry(data.subspan(std::min<size_t>(6, data.size())));
  entry.Take(4);  // width, height, colours, reserved
  const uint32_t hotSpot = entry.U32();
  const uint32_t length = entry.U32();
  const uint32_t offset = entry.U32();
  if (!entry.Ok() || offset > data.size() || length > data.size() - offset || length == 0) return nullptr;
  std::vector<uint8_t> resource(4 + length);
  std::copy_n(reinterpret_cast<const uint8_t*>(&hotSpot), 4, resource.begin());
  std::copy_n(data.begin() + offset, length, resource.begin() + 4);
  return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(
      resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

bool Win32WindowSystem::OnMainThread() { return runtime::OnMainThread(); }

bool Win32WindowSystem::RunOnMainThread(void (*work)(void*), void* context) {
  // The main thread runs it from its loop, which goes on meanwhile; this thread waits.
  return RunOnMainThreadAndWait(work, context);
}

bool Win32WindowSystem::Exists(WindowHandle window) { return window && IsWindow(ToHwnd(window)); }

UnitRect Win32WindowSystem::Rect(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  }
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32WindowSystem::MoveTo(WindowHandle window, int32_t left, int32_t top) {
  SetWindowPos(ToHwnd(window), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowSystem::Resize(WindowHandle window, int32_t width, int32_t height) {
  SetWindowPos(ToHwnd(window), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowSystem::Place(WindowHandle window, const UnitRect& rect) {
  MoveWindow(ToHwnd(window), rect.left, rect.top, rect.width, rect.height, TRUE);
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
  return (GetWindowLongPtrA(ToHwnd(window), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Win32WindowSystem::IsEnabled(WindowHandle window) { return IsWindowEnabled(ToHwnd(window)) != FALSE; }
bool Win32WindowSystem::IsMinimized(WindowHandle window) { return IsIconic(ToHwnd(window)) != FALSE; }

void Win32WindowSystem::Show(WindowHandle window, ShowMode mode) {
  int how = SW_SHOWNORMAL;
  switch (mode) {
    case ShowMode::kHide:
      how = SW_HIDE;
      break;
    case ShowMode::kShowNoActivate:
      how = SW_SHOWNOACTIVATE;
      break;
    case ShowMode::kShowNormal:
      how = SW_SHOWNORMAL;
      break;
    case ShowMode::kShowMinimized:
      how = SW_SHOWMINIMIZED;
      break;
    case ShowMode::kShowMaximized:
      how = SW_SHOWMAXIMIZED;
      break;
  }
  ShowWindow(ToHwnd(window), how);
}

void Win32WindowSystem::Enable(WindowHandle window, bool enable) { EnableWindow(ToHwnd(window), enable); }
void Win32WindowSystem::Restore(WindowHandle window) { ShowWindow(ToHwnd(window), SW_RESTORE); }
void Win32WindowSystem::Activate(WindowHandle window) { SetForegroundWindow(ToHwnd(window)); }
void Win32WindowSystem::Refresh(WindowHandle window) { UpdateWindow(ToHwnd(window)); }
void Win32WindowSystem::SetParent(WindowHandle child, WindowHandle parent) {
  ::SetParent(ToHwnd(child), ToHwnd(parent));
}

void Win32WindowSystem::PlaceBelow(WindowHandle window, WindowHandle above) {
  SetWindowPos(ToHwnd(window), above ? ToHwnd(above) : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

WindowHandle Win32WindowSystem::Focus() { return reinterpret_cast<WindowHandle>(GetFocus()); }
void Win32WindowSystem::SetFocus(WindowHandle window) { ::SetFocus(ToHwnd(window)); }
void Win32WindowSystem::Send(WindowHandle window, uint32_t message) {
  SendMessageA(ToHwnd(window), message, 0, 0);
}
void Win32WindowSystem::Destroy(WindowHandle window) { DestroyWindow(ToHwnd(window)); }
void Win32WindowSystem::PostDestroy(WindowHandle window) {
  PostOwnRequest(ToHwnd(window), kMessageDestroySelf, 0, 0);
}

CursorHandle Win32WindowSystem::MakeCursor(std::span<const uint8_t> data) {
  if (data.size() == 4) {
    // A number: one of the system's cursors (IDC_...), or 0 for the default.
    ByteReader reader(data);
    const uint32_t id = reader.U32();
    if (id == 0) return 0;
    return reinterpret_cast<CursorHandle>(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
  }
  HCURSOR cursor = CursorFromFile(data);
  if (!cursor) return 0;
  ownCursors_.push_back(reinterpret_cast<CursorHandle>(cursor));
  return reinterpret_cast<CursorHandle>(cursor);
}

void Win32WindowSystem::DestroyCursor(CursorHandle cursor) {
  auto own = std::find(ownCursors_.begin(), ownCursors_.end(), cursor);
  if (own == ownCursors_.end()) return;
  ownCursors_.erase(own);
  ::DestroyCursor(reinterpret_cast<HCURSOR>(cursor));
}

void Win32WindowSystem::RefreshCursor() {
  POINT at{};
  if (GetCursorPos(&at)) SetCursorPos(at.x, at.y);
}

WindowHandle Win32WindowSystem::HiddenOwner() { return reinterpret_cast<WindowHandle>(HiddenOwnerWindow()); }
void Win32WindowSystem::ProcessWaitingMessages() { runtime::ProcessWaitingMessages(); }
void Win32WindowSystem::RunModalLoop(WindowHandle window) { RunLoop(ToHwnd(window)); }
void Win32WindowSystem::PostQuit() { PostQuitMessage(0); }

int Win32WindowSystem::PixelsPerInch() {
  const base::ClientDc screen(nullptr);
  const int pixels = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return pixels > 0 ? pixels : 96;
}

}  // namespace runtime
