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
  NotifyRuntimeFromCore(kNotifyUnitGone, windowId_, isWindowUnit ? 0 : unitId_);
}

EventFrame Win32Unit::Raise(int32_t eventIndex, std::span<const int32_t> arguments) {
  EventFrame frame;
  frame.windowId = windowId_;
  frame.unitId = unitId_;
  frame.eventIndex = eventIndex;
  frame.argumentCount = static_cast<uint32_t>(arguments.size());
  frame.arguments = arguments.data();
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
