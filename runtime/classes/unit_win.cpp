// The Win32 unit base: binding, events, cursor and focus.
#include "runtime/classes/unit_win.h"

#include <atomic>
#include <cstring>

#include "runtime/forms/form_runtime.h"
#include "runtime/templates/font_record.h"

namespace runtime {
namespace {

constexpr char kUnitProperty[] = "_ZR_Unit";
std::atomic<NotifyRoutine> gCoreNotify{nullptr};

}  // namespace

void SetCoreNotify(NotifyRoutine routine) { gCoreNotify = routine; }

intptr_t NotifyRuntimeFromCore(int code, uintptr_t first, uintptr_t second) {
  NotifyRoutine routine = gCoreNotify.load();
  return routine ? routine(code, first, second) : 0;
}

Win32Unit* Win32Unit::From(HWND hwnd) { return static_cast<Win32Unit*>(GetPropA(hwnd, kUnitProperty)); }

void Win32Unit::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropA(hwnd, kUnitProperty, this);
}

void Win32Unit::Unbind() {
  if (hwnd_) RemovePropA(hwnd_, kUnitProperty);
}

void Win32Unit::NotifyGone(bool isWindowUnit) {
  if (goneReported_) return;
  goneReported_ = true;
  NotifyRuntimeFromCore(kNotifyUnitGone, windowId_, isWindowUnit ? 0 : unitId_);
}

LRESULT Win32Unit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  if (original_) return CallWindowProcA(original_, hwnd_, message, wParam, lParam);
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Win32Unit::End() {
  NotifyGone(false);
  Unbind();
  if (ownedByWindow_) delete this;
}

bool Win32Unit::CreateChild(const char* className, DWORD exStyle, const char* text, DWORD style,
                            const CreateParams& params) {
  return CreateWindowExA(exStyle, className, text, style, params.left, params.top, params.width,
                         params.height, reinterpret_cast<HWND>(params.parent),
                         reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)), ModuleInstance(),
                         static_cast<Win32Unit*>(this)) != nullptr;
}

bool Win32Unit::CreateSubclassedWith(WNDPROC procedure, const char* className, const char* text, DWORD style,
                                     const CreateParams& params) {
  HWND hwnd = CreateWindowExA(0, className, text, style, params.left, params.top, params.width, params.height,
                              reinterpret_cast<HWND>(params.parent),
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(params.controlId)),
                              ModuleInstance(), nullptr);
  if (!hwnd) return false;
  Attach(hwnd);
  original_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  return true;
}

bool RegisterUnitWindowClass(const char* name, WNDPROC procedure, UINT style, HBRUSH background) {
  WNDCLASSEXA known{};
  known.cbSize = sizeof known;
  if (GetClassInfoExA(ModuleInstance(), name, &known)) return known.lpfnWndProc == procedure;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0;
}

EventFrame Win32Unit::Raise(int32_t eventIndex, std::span<const int32_t> arguments) {
  EventFrame frame = EventFrame::Of(windowId_, unitId_, eventIndex, arguments);
  if (FormsInstalled() && Forms().IsLive(windowId_, unitId_)) {
    NotifyRuntimeFromCore(kNotifyEvent, reinterpret_cast<uintptr_t>(&frame), 0);
  }
  frame.arguments = nullptr;
  return frame;
}

bool HandleCommonUnitMessage(Win32Unit& unit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != unit.hwnd()) return false;
      const auto located = Forms().FindByHandle(unit.Handle());
      const CursorHandle cursor = located ? located->window->live[located->unit].cursor : 0;
      if (!cursor) return false;
      SetCursor(reinterpret_cast<HCURSOR>(cursor));
      *result = TRUE;
      return true;
    }
    case WM_SETFOCUS:
      unit.Raise(kEventGotFocus);
      return false;
    case WM_KILLFOCUS:
      unit.Raise(kEventLostFocus);
      return false;
    default:
      return false;
  }
}

HFONT FontFromRecord(std::span<const uint8_t> record) {
  if (record.size() != kFontRecordSize || sizeof(LOGFONTA) != kFontRecordSize) return nullptr;
  LOGFONTA font;
  std::memcpy(&font, record.data(), sizeof font);
  font.lfFaceName[LF_FACESIZE - 1] = 0;
  return CreateFontIndirectA(&font);
}

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

}  // namespace runtime
