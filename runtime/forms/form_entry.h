// What application code may call of the form runtime: property reads and writes by (window
// id, unit id, property index), the start window and the message loop.
#pragma once

#include <cstdint>

#include "runtime/forms/window_system.h"

namespace runtime {

uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element = -1);
void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t element, uint64_t value);
inline void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t index, uint64_t value) {
  WriteProperty(windowId, unitId, index, -1, value);
}
inline int32_t ReadIntProperty(uint32_t windowId, uint32_t unitId, int32_t index) {
  return static_cast<int32_t>(ReadProperty(windowId, unitId, index));
}
inline void WriteIntProperty(uint32_t windowId, uint32_t unitId, int32_t index, int32_t value) {
  WriteProperty(windowId, unitId, index, static_cast<uint64_t>(static_cast<uint32_t>(value)));
}
void LoadStartWindow(uint32_t windowId);

// Units by (window id, unit id), for the window services. A unit the program's templates do
// not know is this runtime error for them.
inline constexpr char kErrorNoSuchUnit[] = "指定窗口或窗口组件不存在或尚未载入";
bool UnitKnown(uint32_t windowId, uint32_t unitId);               // one of the program's templates
WindowHandle LiveUnitHandle(uint32_t windowId, uint32_t unitId);  // 0 when not live
bool LoadWindow(uint32_t windowId, WindowHandle owner, bool modal);
bool WindowLoaded(uint32_t windowId, uint32_t unitId);
void DestroyUnit(uint32_t windowId, uint32_t unitId, bool immediately);
// Live units by their window: paint what is invalid now; the rectangle, read and placed.
void RefreshUnit(WindowHandle handle);
UnitRect UnitRectangle(WindowHandle handle);
void PlaceUnit(WindowHandle handle, const UnitRect& rect);

// Runs the message loop until the last window is gone (returns at once when none is loaded).
void RunMessageLoop();

}  // namespace runtime
