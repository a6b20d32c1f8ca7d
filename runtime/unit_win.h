// What the Win32 unit classes share: the live object of a unit bound to its window, raising
// events through the runtime's notification routine, the runtime's private messages, and the
// handling every unit window gives the mouse cursor and the keyboard focus.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "runtime/events.h"
#include "runtime/unit_class.h"

namespace runtime {

// Private messages of the runtime.
inline constexpr UINT kMessageTrayIcon = 0x8064;
inline constexpr UINT kMessageDestroySelf = 0x8065;       // DestroyWindowUnit on a window
inline constexpr UINT kMessageReflectedCommand = 0x8071;  // a parent passes WM_COMMAND to its child
// To the hidden owner window, parameters unused: end the program, or run the work, that a
// thread of this process handed over (process_win.h).
inline constexpr UINT kMessageEndProgram = 0x83E7;
inline constexpr UINT kMessageRunOnMainThread = 0x83E8;

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
