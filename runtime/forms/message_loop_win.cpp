// The message loop and the runtime's input pre-processing.
#include "runtime/forms/message_loop_win.h"

#include <optional>
#include <string>
#include <vector>

#include "runtime/core/own_messages_win.h"
#include "runtime/core/process_win.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/templates/class_blocks.h"

namespace runtime {

bool ForgedPostedMessage(const MSG& message) {
  switch (message.message) {
    case WM_NOTIFY:
      // A control sends its notifications: a posted one is never genuine, and its lParam would
      // be read as a header in this process.
      return true;
    case WM_COMMAND:
      // A control's notification (lParam its window) is sent too; menus and accelerators post
      // theirs without a window.
      return message.lParam != 0;
    default:
      return false;
  }
}

bool DeliverTimerCallback(const MSG& message) {
  if (message.message != WM_TIMER || !message.lParam) return false;
  // DispatchMessage would call the lParam as the timer's callback: call the one this process
  // set for the window and id instead, or nothing.
  if (TIMERPROC callback = OwnCallbackTimer(message.hwnd, message.wParam)) {
    callback(message.hwnd, WM_TIMER, message.wParam, GetTickCount());
  }
  return true;
}

namespace {

// A burst of waiting messages is handled within this many; a window that keeps asking to be
// painted cannot hold a load forever.
constexpr int kMaxWaitingMessages = 10000;

std::optional<FormRuntime::Located> LocateUnit(HWND hwnd) {
  for (HWND at = hwnd; at; at = GetParent(at)) {
    if (auto located = Forms().FindByHandle(reinterpret_cast<WindowHandle>(at))) return located;
    if (!(GetWindowLongPtrA(at, GWL_STYLE) & WS_CHILD))
      break;  // the parent of a top-level window is its owner
  }
  return std::nullopt;
}

// A setting of the window class (its property index), 0 when the class has none.
PropertyValue WindowSetting(const LiveWindow& window, int index) {
  return Forms().ClassProperty(window, 0, index - kFirstClassProperty).value_or(PropertyValue{});
}

bool FocusedUnitClaims(WPARAM key) {
  const auto located = LocateUnit(GetFocus());
  if (!located) return false;
  const LiveWindow& window = *located->window;
  const UnitObject* object = window.live[located->unit].object;
  const UnitClass* unitClass = Forms().ClassFor(window.units[located->unit].typeReference);
  const auto claims = unitClass ? unitClass->Find<ClaimsKeyRoutine>(kOpClaimsKey) : nullptr;
  return object && claims && claims(*object, static_cast<uint32_t>(key)) == 1;
}

// The system moves a window when its caption is pressed.
void PostCaptionPress(HWND window, const MSG& message) {
  POINT at{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
  ClientToScreen(message.hwnd, &at);
  PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.x, at.y));
}

bool PreprocessPress(const MSG& message, const LiveWindow& window, size_t unit) {
  if (WindowSetting(window, kWindowDragByClient).number != 1) return false;
  HWND windowHandle = reinterpret_cast<HWND>(window.Handle());
  if (unit == 0) {
    // On the window's own surface: the drag starts and the click goes on.
    if (message.hwnd == windowHandle) PostCaptionPress(windowHandle, message);
    return false;
  }
  const UnitClass* unitClass = Forms().ClassFor(window.units[unit].typeReference);
  if (!unitClass || !(unitClass->state & kClassDragsWindow)) return false;
  PostCaptionPress(windowHandle, message);
  return true;
}

// The focus goes to the next unit after the focused one in stacking order that can take it.
void MoveFocusToNextUnit(HWND window) {
  std::vector<HWND> units;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (Forms().FindByHandle(reinterpret_cast<WindowHandle>(child))) units.push_back(child);
  }
  HWND focus = GetFocus();
  while (focus && GetParent(focus) != window && (GetWindowLongPtrA(focus, GWL_STYLE) & WS_CHILD))
    focus = GetParent(focus);
  size_t start = units.size();
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == focus) start = i;
  }
  for (size_t step = 1; step <= units.size(); ++step) {
    HWND next = units[(start + step) % units.size()];
    const auto style = GetWindowLongPtrA(next, GWL_STYLE);
    if ((style & WS_VISIBLE) && (style & WS_TABSTOP) && IsWindowEnabled(next)) {
      SetFocus(next);
      return;
    }
  }
}

std::string HelpFile(const LiveWindow& window) {
  const PropertyValue stored = WindowSetting(window, kWindowHelpFile);
  if (!stored.bytes.empty()) return std::string(stored.bytes.begin(), stored.bytes.end());
  std::string name = ProgramFileName();
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  return ProgramDirectory() + name + ".hlp";
}

void OpenHelp(const LiveWindow& window) {
  const std::string file = HelpFile(window);
  if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  const auto context = static_cast<ULONG_PTR>(WindowSetting(window, kWindowHelpContext).number);
  WinHelpA(reinterpret_cast<HWND>(window.Handle()), file.c_str(), context ? HELP_CONTEXT : HELP_CONTENTS,
           context);
}

bool PreprocessKey(const MSG& message, const LiveWindow& window) {
  const WPARAM key = message.wParam;
  if (key != VK_ESCAPE && key != VK_RETURN && key != VK_F1) return false;
  if (FocusedUnitClaims(key)) return false;
  HWND windowHandle = reinterpret_cast<HWND>(window.Handle());
  if (key == VK_ESCAPE) {
    if (WindowSetting(window, kWindowEscCloses).number != 1) return false;
    SendMessageA(windowHandle, WM_CLOSE, 0, 0);
    return true;
  }
  if (key == VK_RETURN) {
    if (WindowSetting(window, kWindowEnterMovesFocus).number != 1) return false;
    MoveFocusToNextUnit(windowHandle);
    return true;
  }
  if (WindowSetting(window, kWindowF1Help).number != 1) return false;
  OpenHelp(window);
  return true;
}

void Deliver(MSG& message) {
  if (ForgedPostedMessage(message) || DeliverTimerCallback(message)) return;
  if (PreprocessInput(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

bool PreprocessInput(const MSG& message) {
  if (!FormsInstalled()) return false;
  if (message.message != WM_LBUTTONDOWN && message.message != WM_KEYDOWN) return false;
  const auto located = LocateUnit(message.hwnd);
  if (!located) return false;
  if (message.message == WM_LBUTTONDOWN) return PreprocessPress(message, *located->window, located->unit);
  return PreprocessKey(message, *located->window);
}

void RunLoop(HWND modalWindow) {
  MSG message;
  for (;;) {
    if (modalWindow && !IsWindow(modalWindow)) return;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (FormsInstalled()) Forms().RunIdleCallbacks();
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
      continue;
    }
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        if (modalWindow) PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      Deliver(message);
      if (modalWindow && !IsWindow(modalWindow)) return;
    }
  }
}

void ProcessWaitingMessages() {
  // In the order they arrived: filtered ranges would let paint, close and the other low
  // messages overtake older input. The quit message is taken out and posted again at the end,
  // for the loop that waits for it.
  MSG message;
  bool quit = false;
  WPARAM quitCode = 0;
  for (int handled = 0; handled < kMaxWaitingMessages; ++handled) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) break;
    if (message.message == WM_QUIT) {
      quit = true;
      quitCode = message.wParam;
      continue;
    }
    Deliver(message);
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

void RunMessageLoop() {
  Forms().EnterMessageLoop();
  if (!Forms().AnyWindowPresent()) return;
  RunLoop(nullptr);
}

}  // namespace runtime
