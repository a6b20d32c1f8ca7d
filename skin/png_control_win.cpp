// PngControl: a child window drawn from one image per visual state. On an ordinary parent it
// paints itself over a cached copy of what lies beneath it; on a layered window it only keeps
// its state and has the window recomposed.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <optional>
#include <utility>

#include "base/gdi_win.h"
#include "skin/geometry.h"
#include "skin/skin_win.h"

namespace skin {
namespace {

// The copies the layer wrote for outside readers, taken off a window that ends.
constexpr const char* kControlProperties[] = {
    kPropType,       kPropBackType,   kPropDrawState, kPropFocus,    kPropBackColor, kPropBackAlpha,
    kPropOrderColor, kPropOrderAlpha, kPropTextColor, kPropToolTips, kPropTime};

void ChangeStyle(HWND window, int index, LONG_PTR remove, LONG_PTR add) {
  const LONG_PTR old = GetWindowLongPtrA(window, index);
  const LONG_PTR changed = (old & ~remove) | add;
  if (changed != old) SetWindowLongPtrA(window, index, changed);
}

int32_t State(HWND control) { return static_cast<int32_t>(Value(control, kPropDrawState)); }

// Off-screen: the cached background, the state image over it, then one copy to the screen.
void DrawButton(HWND control, HDC given) {
  const auto cache = reinterpret_cast<HBITMAP>(Value(control, kPropCacheBitmap));
  const base::GdiplusApi* api = base::Gdiplus();
  if (!cache || !api) return;
  RECT frame{};
  GetWindowRect(control, &frame);
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  std::optional<WindowDc> own;
  HDC dc = given ? given : own.emplace(control).get();
  MemoryDc memory(dc);
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
  Selection selected(memory.get(), bitmap.get());
  {
    base::GdipGraphics graphics;
    api->GdipCreateFromHDC(memory.get(), graphics.out());
    if (!graphics) return;
    base::GdipImage background;
    api->GdipCreateBitmapFromHBITMAP(cache, nullptr, background.out());
    if (background) api->GdipDrawImageRect(graphics.get(), background.get(), 0, 0, float(w), float(h));
    const PinnedStateImage image(control, State(control));
    // The memory bitmap is the control's size: a larger image at natural size is cut by it.
    if (image.get())
      DrawPlaced(graphics.get(), image.get(), static_cast<int32_t>(Value(control, kPropBackType)), 0, 0, w,
                 h);
  }
  BitBlt(dc, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY);
}

// Keeps a copy of the pixels beneath the control, then draws the button over them.
void Paint(HWND control) {
  PaintDc paint(control);
  RECT frame{};
  GetWindowRect(control, &frame);
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  GdiObject<HBITMAP> cache(CreateCompatibleBitmap(paint.get(), w, h));
  {
    MemoryDc memory(paint.get());
    Selection selected(memory.get(), cache.get());
    BitBlt(memory.get(), 0, 0, w, h, paint.get(), 0, 0, SRCCOPY);
  }
  SetCacheBitmap(control, std::move(cache));
  DrawButton(control, paint.get());
}

void TrackLeave(HWND control) {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, control, 0};
  TrackMouseEvent(&track);
}

// The event a button's message stands for, if any. The mouse and the enabled flag change both
// kinds of button. A button painting itself also follows its focus and the pushed state its
// stock procedure gives it (BM_SETSTATE, which it sends itself on a press and a release); a
// layered button takes its state before the stock procedure runs, and those would undo it (a
// release's would take the hover away).
std::optional<ButtonEvent> EventOf(HWND control, UINT message, WPARAM wParam, bool layered) {
  switch (message) {
    case WM_MOUSEMOVE:
      return ButtonEvent::kMouseMove;
    case WM_MOUSELEAVE:
      return ButtonEvent::kMouseLeave;
    case WM_LBUTTONDOWN:
      return ButtonEvent::kButtonDown;
    case WM_LBUTTONUP:
      return ButtonEvent::kButtonUp;
    case WM_ENABLE:
      return wParam ? ButtonEvent::kEnabled : ButtonEvent::kDisabled;
  }
  if (layered) return std::nullopt;
  switch (message) {
    case WM_SETFOCUS:
      return ButtonEvent::kFocusGained;
    case WM_KILLFOCUS:
      return ButtonEvent::kFocusLost;
    case BM_SETSTATE:
      if (wParam == 1) return ButtonEvent::kPushed;
      return Value(control, kPropFocus) ? ButtonEvent::kUnpushedFocused : ButtonEvent::kUnpushed;
    default:
      return std::nullopt;
  }
}

// The state the event takes the button to from `state`, or none when there is nothing to draw:
// a move or a change of focus that leaves the state as it was. A move that changes it starts
// tracking the mouse's leave.
std::optional<int32_t> Follow(HWND control, int32_t state, ButtonEvent event) {
  const int32_t next = NextState(state, event);
  const bool quietWhenUnchanged = event == ButtonEvent::kMouseMove || event == ButtonEvent::kFocusGained ||
                                  event == ButtonEvent::kFocusLost;
  if (quietWhenUnchanged && next == state) return std::nullopt;
  if (event == ButtonEvent::kMouseMove) TrackLeave(control);
  return next;
}

// A button painting itself: takes the state the event leads to and draws itself.
void FollowAndDraw(HWND control, int32_t state, ButtonEvent event) {
  const std::optional<int32_t> next = Follow(control, state, event);
  if (!next) return;
  SetValue(control, kPropDrawState, *next);
  DrawButton(control, nullptr);
}

// The header of a notification a child on this thread sent; null for one sent from another
// thread or process, or posted, whose lParam is no header of ours (it may point anywhere).
const NMHDR* OwnNotification(HWND parent, LPARAM lParam) {
  if (InSendMessage() || !lParam) return nullptr;
  MEMORY_BASIC_INFORMATION memory{};
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!VirtualQuery(header, &memory, sizeof memory) || memory.State != MEM_COMMIT ||
      (memory.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
      !(memory.Protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                          PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) ||
      reinterpret_cast<const char*>(memory.BaseAddress) + memory.RegionSize <
          reinterpret_cast<const char*>(header + 1)) {
    return nullptr;
  }
  return GetParent(header->hwndFrom) == parent ? header : nullptr;
}

}  // namespace

LRESULT ButtonParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY: {
      const NMHDR* header = OwnNotification(parent, lParam);
      if (header && Value(header->hwndFrom, kPropType) == kKindButton &&
          header->code == UINT(NM_CUSTOMDRAW)) {
        DrawButton(header->hwndFrom, nullptr);
      }
      break;
    }
    case WM_COMMAND: {
      const auto control = reinterpret_cast<HWND>(lParam);
      const UINT code = HIWORD(wParam);
      if (control && Value(control, kPropType) == kKindEdit &&
          (code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE)) {
        InvalidateRect(control, nullptr, TRUE);
      }
      break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      const intptr_t kind = Value(control, kPropType);
      if (!kind) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      if (kind == kKindEdit) SetTextColor(dc, static_cast<COLORREF>(Value(control, kPropTextColor)));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
  }
  return CallSaved(parent, message, wParam, lParam);
}

LRESULT ButtonMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SetValue(control, kPropFocus, message == WM_SETFOCUS ? 1 : 0);
      FollowAndDraw(control, State(control), *EventOf(control, message, wParam, false));
      return 0;
    case WM_PAINT:
      Paint(control);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCPAINT:
      return 0;
    default:
      break;
  }
  // The state the message found: the stock procedure changes it on the way (a release sends
  // itself BM_SETSTATE first), and a release over a pressed button shows the hover image.
  const int32_t state = State(control);
  const LRESULT result = CallSaved(control, message, wParam, lParam);
  if (const std::optional<ButtonEvent> event = EventOf(control, message, wParam, false)) {
    FollowAndDraw(control, state, *event);
  }
  return result;
}

void EndControl(HWND control) {
  SetCacheBitmap(control, GdiObject<HBITMAP>());
  DropImages(control);
  if (Caret().focusedEdit == control || Caret().focusedWindow == control) CaretFocus(nullptr, nullptr);
  for (const char* name : kControlProperties) RemovePropA(control, name);
}

LRESULT LayeredButtonMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (const std::optional<ButtonEvent> event = EventOf(control, message, wParam, true)) {
    if (const std::optional<int32_t> next = Follow(control, State(control), *event)) {
      SetValue(control, kPropDrawState, *next);
      HWND parent = GetParent(control);
      const RECT box = ChildRect(parent, control);
      ComposeWindow(parent, &box);
    }
  }
  return CallSaved(control, message, wParam, lParam);
}

bool PngControl::Attach(WindowHandle handle) {
  HWND window = AsWindow(handle);
  if (!SkinStarted() || !IsWindow(window)) return false;
  HWND parent = GetParent(window);
  if (parent && !Value(parent, kPropType) && Hook(parent)) MarkParent(parent);
  Hook(window);
  ChangeStyle(window, GWL_STYLE, WS_CLIPSIBLINGS, 0);
  ChangeStyle(window, GWL_EXSTYLE, 0, WS_EX_TRANSPARENT);
  if (parent) ChangeStyle(parent, GWL_STYLE, WS_CLIPCHILDREN, 0);
  control_ = handle;
  return true;
}

bool PngControl::AttachButton(WindowHandle handle, std::optional<ImageHandle> normal) {
  if (!Attach(handle)) return false;
  HWND control = AsWindow(handle);
  SetValue(control, kPropType, kKindButton);
  if (normal && *normal) StoreImage(control, kPropNormalImage, *normal);
  ChangeStyle(control, GWL_STYLE, 0, BS_OWNERDRAW);
  if (HWND parent = GetParent(control)) {
    const RECT box = ChildRect(parent, control);
    InvalidateRect(parent, &box, FALSE);
  }
  InvalidateRect(control, nullptr, FALSE);
  return true;
}

WindowHandle PngControl::CreateButton(WindowHandle parent, int32_t left, int32_t top, int32_t width,
                                      int32_t height, const char* caption) {
  if (!SkinStarted()) return 0;
  HWND button = CreateWindowExA(WS_EX_TRANSPARENT, "Button", caption, WS_CHILD | WS_VISIBLE, left, top, width,
                                height, AsWindow(parent), nullptr, nullptr, nullptr);
  const auto handle = reinterpret_cast<WindowHandle>(button);
  if (button) AttachButton(handle);
  return handle;
}

bool PngControl::SetProperty(const char* name, intptr_t value) const {
  HWND control = AsWindow(control_);
  MarkChanged(GetParent(control));
  if (IsImageProperty(name)) return StoreImage(control, name, static_cast<ImageHandle>(value));
  // The layer's own handles (cached bitmap, saved procedures) are only ever set by the layer.
  if (IsKeptName(name)) return SetValue(control, name, value);
  return SetWindowProp(control, name, value);
}

intptr_t PngControl::GetProperty(const char* name) const {
  HWND control = AsWindow(control_);
  return IsKeptName(name) ? Value(control, name) : reinterpret_cast<intptr_t>(GetPropA(control, name));
}

intptr_t PngControl::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
  return SendMessageA(AsWindow(control_), message, wParam, lParam);
}

intptr_t PngControl::SendWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) const {
  return SendMessage(message, wParam, lParam);
}

void PngControl::Move(std::optional<int32_t> left, std::optional<int32_t> top, std::optional<int32_t> width,
                      std::optional<int32_t> height, bool withoutRedraw) const {
  if (!IsWindow(AsWindow(control_))) return;
  MoveSkinned(AsWindow(control_), left, top, width, height, withoutRedraw);
  MarkChanged(GetParent(AsWindow(control_)));
}

bool PngControl::IsValid() const { return IsWindow(AsWindow(control_)) == 1; }

void PngControl::Invalidate() const { InvalidateRect(AsWindow(control_), nullptr, FALSE); }

void PngControl::SetStateImages(std::optional<ImageHandle> normal, std::optional<ImageHandle> hover,
                                std::optional<ImageHandle> pressed,
                                std::optional<ImageHandle> disabled) const {
  if (!SkinStarted()) return;
  HWND control = AsWindow(control_);
  const std::optional<ImageHandle>* images[] = {&normal, &hover, &pressed, &disabled};
  const char* names[] = {kPropNormalImage, kPropHoverImage, kPropDownImage, kPropDisableImage};
  for (int i = 0; i < 4; ++i) {
    if (*images[i]) StoreImage(control, names[i], **images[i]);
  }
  MarkChanged(GetParent(control));
}

void PngControl::SetStateImagesFromBytes(std::optional<Bytes> normal, std::optional<Bytes> hover,
                                         std::optional<Bytes> pressed, std::optional<Bytes> disabled) const {
  if (!SkinStarted()) return;
  HWND control = AsWindow(control_);
  const std::optional<Bytes>* images[] = {&normal, &hover, &pressed, &disabled};
  const char* names[] = {kPropNormalImage, kPropHoverImage, kPropDownImage, kPropDisableImage};
  for (int i = 0; i < 4; ++i) {
    if (*images[i]) StoreOwnImage(control, names[i], **images[i]);
  }
  MarkChanged(GetParent(control));
}

void PngControl::SetBackType(int32_t placement) const {
  SetValue(AsWindow(control_), kPropBackType, placement);
  MarkChanged(GetParent(AsWindow(control_)));
}

}  // namespace skin
