// The `window` class: a top-level window made from the window class block (frame by border
// style, centring, owner rules, class "KVWindow", shape, font, always-on-top, Close removed
// when closing is not allowed, background sound) and its procedure, which raises the window
// events and closes and destroys through the runtime.
#include <windows.h>

#include <string>

#include "base/gdi_win.h"
#include "runtime/classes/builtin_classes.h"
#include "runtime/classes/builtin_library_win.h"
#include "runtime/core/own_messages_win.h"
#include "runtime/core/process_win.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/units/property_picture_win.h"
#include "runtime/units/system_sound_win.h"
#include "runtime/units/unit_win.h"
#include "runtime/units/window_sound.h"

namespace runtime {
namespace {

constexpr char kDefaultClassName[] = "KVWindow";

constexpr DWORD kFrameStyles =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyles = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

struct Frame {
  DWORD style = 0;
  DWORD exStyle = 0;
};

bool ThickFrame(int32_t borderStyle) { return borderStyle == 1 || borderStyle == 3 || borderStyle == 5; }

Frame FrameFor(const WindowProperties& p) {
  Frame frame;
  if (p.maximizeButton) frame.style |= WS_MAXIMIZEBOX;
  if (p.minimizeButton) frame.style |= WS_MINIMIZEBOX;
  if (p.borderStyle == 0) return frame;  // no frame, no caption
  if (!p.title.empty() || p.controlBox) frame.style |= WS_CAPTION;
  if (p.controlBox) frame.style |= WS_SYSMENU;
  frame.style |= ThickFrame(p.borderStyle) ? WS_THICKFRAME : WS_BORDER;
  if (p.borderStyle == 3 || p.borderStyle == 4) frame.exStyle |= WS_EX_TOOLWINDOW;
  if (p.borderStyle == 5 || p.borderStyle == 6) frame.exStyle |= WS_EX_CLIENTEDGE;
  return frame;
}

class WindowUnit final : public Win32Unit {
 public:
  WindowUnit(const CreateParams& params, WindowProperties properties)
      : Win32Unit(params.windowId, params.unitId),
        props(std::move(properties)),
        child_(params.childWindow == 1) {}

  WindowProperties props;

  static UnitObject* Make(const CreateParams& params) {
    ClassBlockRead<WindowProperties> block = ReadWindowBlock(params.classBlock);
    if (!block.Ok()) return nullptr;
    return MakeUnit<WindowUnit>(params, std::move(block.properties));
  }

  bool Create(const CreateParams& params);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  int Change(int k, const PropertyValue& value) {
    if (SetWindowProperty(props, k, value)) ApplyChange(k + kFirstClassProperty);
    return 0;
  }

  Bytes Serialize() const { return WriteWindowBlock(props); }

  PropertyValue Get(int k) const {
    if (k + kFirstClassProperty == kWindowStartPosition) {
      // Read back from the live window: its state rather than how it started.
      return PropertyValue{.number = IsIconic(hwnd_) ? 2 : IsZoomed(hwnd_) ? 3 : 0};
    }
    return GetWindowProperty(props, k);
  }

 private:
  void ApplyChange(int index);
  void ApplyShape();
  void ApplyFrame();
  void ApplyCloseAllowed();
  void ApplyTopmost();
  void ApplyIcon();
  void ApplySound();
  void ApplyWindowState();
  void ApplyTaskbar();
  void PaintBackground(HDC dc);
  void RaiseTrayEvent(LPARAM mouseMessage);
  HWND ReflectableControl(LPARAM lParam) const;

  bool child_;
  bool activatedOnce_ = false;
  Picture picture_;
  Picture icon_;
  HICON iconShown_ = nullptr;
};

// The class name in use: the window's own, unless that name belongs to a class that is not
// ours (a system class, say), then "KVWindow".
const char* RegisterWindowClass(const std::string& wanted) {
  const char* name = wanted.empty() ? kDefaultClassName : wanted.c_str();
  // The program's icon on the class: the taskbar and Alt+Tab show it for a window that sets
  // none of its own.
  if (RegisterUnitClass<WindowUnit>(name, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                    static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)), true)) {
    return name;
  }
  return name != kDefaultClassName ? RegisterWindowClass("") : nullptr;
}

bool WindowUnit::Create(const CreateParams& params) {
  const Frame frame = FrameFor(props);
  DWORD style = WS_CLIPCHILDREN | (params.style & WS_DISABLED);
  DWORD exStyle = frame.exStyle;
  HWND owner = reinterpret_cast<HWND>(params.parent);
  int left = params.left;
  int top = params.top;
  if (child_) {
    style |= WS_CHILD | WS_CLIPSIBLINGS | (params.style & WS_TABSTOP) |
             (frame.style & ~(WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  } else {
    style |= frame.style;
    if (props.startPosition == 1) {
      left = (GetSystemMetrics(SM_CXSCREEN) - params.width) / 2;
      top = (GetSystemMetrics(SM_CYSCREEN) - params.height) / 2;
    } else if (props.startPosition == 2) {
      style |= WS_MINIMIZE;
    } else if (props.startPosition == 3 && ThickFrame(props.borderStyle)) {
      style |= WS_MAXIMIZE;
    }
    if (!owner && !props.showInTaskbar) owner = HiddenOwnerWindow();
    // An owned window is a pop-up; so is a window without a caption, since the system gives
    // every overlapped window one.
    if (owner || !(style & WS_CAPTION)) style |= WS_POPUP;
  }
  const char* className = RegisterWindowClass(props.className);
  if (!className) return false;
  HMENU menu = child_ ? reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)) : nullptr;
  HWND hwnd = CreateUnitWindow(exStyle, className, props.title.c_str(), style, left, top, params.width,
                               params.height, owner, menu);
  if (!hwnd) return false;

  RECT outer{};
  GetWindowRect(hwnd, &outer);
  if (!IsIconic(hwnd) &&
      (outer.right - outer.left != params.width || outer.bottom - outer.top != params.height)) {
    MoveWindow(hwnd, left, top, params.width, params.height, FALSE);
  }
  ApplyShape();
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (props.alwaysOnTop) ApplyTopmost();
  if (!props.closeAllowed) ApplyCloseAllowed();
  picture_ = Picture(props.picture);
  ApplyIcon();
  ApplySound();
  return true;
}

void WindowUnit::ApplyShape() {
  RECT outer{};
  GetWindowRect(hwnd_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  HRGN region = nullptr;
  if (props.shape == 1) {
    region = CreateEllipticRgn(0, 0, width, height);
  } else if (props.shape == 2) {
    const int corner = (width < height ? width : height) / 5;
    region = CreateRoundRectRgn(0, 0, width + 1, height + 1, corner, corner);
  }
  // Shapes 3 and up are not drawn by this runtime: the window keeps its rectangle. The system
  // owns the region once it is set.
  SetWindowRgn(hwnd_, region, TRUE);
}

void WindowUnit::ApplyFrame() {
  if (child_) return;
  const Frame frame = FrameFor(props);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE));
  SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((style & ~kFrameStyles) | frame.style));
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>((exStyle & ~kFrameExStyles) | frame.exStyle));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowUnit::ApplyCloseAllowed() {
  if (props.closeAllowed) {
    GetSystemMenu(hwnd_, TRUE);  // back to the standard menu
    return;
  }
  if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
}

void WindowUnit::ApplyTopmost() {
  SetWindowPos(hwnd_, props.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowUnit::ApplyIcon() {
  icon_ = Picture(props.icon);
  HICON icon = icon_.icon();
  if (!icon && !iconShown_) return;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  iconShown_ = icon;
}

void WindowUnit::ApplySound() { PlayWindowSound(SystemSoundOutput(), this, props.sound, props.soundPlaying); }

void WindowUnit::ApplyWindowState() {
  if (child_ || !IsWindowVisible(hwnd_)) return;
  if (props.startPosition == 2) {
    ShowWindow(hwnd_, SW_MINIMIZE);
  } else if (props.startPosition == 3) {
    ShowWindow(hwnd_, SW_MAXIMIZE);
  } else if (IsIconic(hwnd_) || IsZoomed(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
  }
}

// Only a window that has no owner of its own moves between the taskbar and the hidden owner.
void WindowUnit::ApplyTaskbar() {
  if (child_) return;
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner && owner != HiddenOwnerWindow()) return;
  SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT,
                    reinterpret_cast<LONG_PTR>(props.showInTaskbar ? nullptr : HiddenOwnerWindow()));
}

void WindowUnit::ApplyChange(int index) {
  switch (index) {
    case kWindowTitle:
      SetWindowTextA(hwnd_, props.title.c_str());
      ApplyFrame();
      break;
    case kWindowBorderStyle:
    case kWindowControlBox:
    case kWindowMaximizeButton:
    case kWindowMinimizeButton:
      ApplyFrame();
      break;
    case kWindowPicture:
      picture_ = Picture(props.picture);
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case kWindowBackgroundColour:
    case kWindowPicturePlacement:
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case kWindowSound:
    case kWindowSoundPlaying:
      ApplySound();
      break;
    case kWindowStartPosition:
      ApplyWindowState();
      break;
    case kWindowCloseAllowed:
      ApplyCloseAllowed();
      break;
    case kWindowIcon:
      ApplyIcon();
      break;
    case kWindowShowInTaskbar:
      ApplyTaskbar();
      break;
    case kWindowShape:
      ApplyShape();
      break;
    case kWindowAlwaysOnTop:
      ApplyTopmost();
      break;
    default:
      break;  // read when they are needed (keys, dragging, help)
  }
}

void WindowUnit::PaintBackground(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const COLORREF colour =
      props.backgroundColour == kNoColor ? GetSysColor(COLOR_BTNFACE) : (props.backgroundColour & 0xFFFFFF);
  const base::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &client, brush.get());
  if (picture_.empty()) return;
  const SIZE size = picture_.size();
  switch (props.picturePlacement) {
    case 0:
      picture_.Draw(dc, 0, 0);
      break;
    case 1:  // tiled
      for (int y = 0; size.cy > 0 && y < client.bottom; y += size.cy) {
        for (int x = 0; size.cx > 0 && x < client.right; x += size.cx) picture_.Draw(dc, x, y);
      }
      break;
    case 2:
      picture_.Draw(dc, 0, 0, client.right, client.bottom);
      break;
    default:
      picture_.Draw(dc, (client.right - size.cx) / 2, (client.bottom - size.cy) / 2);
      break;
  }
}

// A component's notification goes back to the component: one that a child unit of this window
// sent from this thread, while it takes input. Control notifications are sent, never posted
// (the message loop drops posted ones); one sent from another thread or process is not its.
HWND WindowUnit::ReflectableControl(LPARAM lParam) const {
  const auto control = reinterpret_cast<HWND>(lParam);
  if (!control || InSendMessage() || !Win32Unit::From(control)) return nullptr;
  if (GetParent(control) != hwnd_ || !IsWindowEnabled(control)) return nullptr;
  return control;
}

void WindowUnit::RaiseTrayEvent(LPARAM mouseMessage) {
  int32_t argument = 0;
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONUP:
      argument = 1;
      break;
    case WM_LBUTTONDBLCLK:
      argument = 2;
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      argument = 3;
      break;
    default:
      return;
  }
  Raise(kWindowEventTrayIcon, std::span<const int32_t>(&argument, 1));
}

LRESULT WindowUnit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_CLOSE:
      if (Forms().MayClose(windowId())) DestroyWindow(hwnd_);
      return 0;
    case kMessageDestroySelf:
      // Anyone can post the message; only the runtime's own request destroys.
      if (TakeOwnRequest(hwnd_, message, wParam, lParam)) DestroyWindow(hwnd_);
      return 0;
    case WM_QUERYENDSESSION:
      return Raise(kWindowEventClosing).Refused() ? FALSE : TRUE;
    case WM_DESTROY:
      Raise(kWindowEventDestroyed);
      StopWindowSound(SystemSoundOutput(), this);
      NotifyGone(true);
      break;
    case WM_MOVE:
      Raise(kWindowEventMoved);
      break;
    case WM_SIZE:
      ApplyShape();
      Raise(kWindowEventResized);
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        Raise(kWindowEventDeactivated);
        break;
      }
      if (!activatedOnce_) {
        activatedOnce_ = true;
        Raise(kWindowEventFirstActivated);
      }
      Raise(kWindowEventActivated);
      break;
    case WM_SHOWWINDOW:
      Raise(wParam ? kWindowEventShown : kWindowEventHidden);
      break;
    case WM_NCACTIVATE:
      if (props.keepCaptionActive) return Default(message, TRUE, lParam);
      break;
    case WM_COMMAND:
      if (HWND control = ReflectableControl(lParam)) {
        return SendOwnRequest(control, kMessageReflectedCommand, wParam, lParam);
      }
      break;
    case kMessageTrayIcon:
      RaiseTrayEvent(lParam);
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace

InterfaceRoutine WindowClassInterface(int operation) { return UnitClassInterface<WindowUnit>(operation); }

}  // namespace runtime
