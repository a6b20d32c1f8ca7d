// What the Win32 unit classes share: the live object of a unit bound to its window, raising
// events through the runtime's notification routine, and the handling every unit window gives
// the mouse cursor and the keyboard focus.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "runtime/core/runtime_messages.h"
#include "runtime/forms/events.h"
#include "runtime/forms/unit_class.h"

namespace runtime {

// The runtime's notification routine as the core library received it at start-up.
void SetCoreNotify(NotifyRoutine routine);
intptr_t NotifyRuntimeFromCore(int code, uintptr_t first, uintptr_t second);

class Win32Unit : public UnitObject {
 public:
  Win32Unit(uint32_t windowId, uint32_t unitId) : windowId_(windowId), unitId_(unitId) {}
  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  uint32_t windowId() const { return windowId_; }
  uint32_t unitId() const { return unitId_; }

  // The unit object of a window made by a runtime class, or nullptr.
  static Win32Unit* From(HWND hwnd);
  // Binds the object to its window, and unbinds it when the window goes.
  void Attach(HWND hwnd);
  void Unbind();
  // Tells the runtime that the unit is going away (the window's own unit reports unit id 0).
  void NotifyGone(bool isWindowUnit);

  // Raises an event of this unit, unless its window is no longer live (a window being torn
  // down raises nothing more); the frame tells what the handler returned.
  EventFrame Raise(int32_t eventIndex, std::span<const int32_t> arguments = {});

 protected:
  HWND hwnd_ = nullptr;

 private:
  uint32_t windowId_;
  uint32_t unitId_;
};

// Cursor and focus messages of any unit window: the unit's own cursor on WM_SETCURSOR, events
// -7 and -8 on WM_SETFOCUS and WM_KILLFOCUS. True when the message was answered in *result.
bool HandleCommonUnitMessage(Win32Unit& unit, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The default GUI font, or a font made from a 60-byte font record (owned by the caller).
HFONT FontFromRecord(std::span<const uint8_t> record);
HINSTANCE ModuleInstance();

}  // namespace runtime
