// What application code may call of the form runtime: property reads and writes by (window
// id, unit id, property index), the start window and the message loop.
#pragma once

#include <cstdint>

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

// Runs the message loop until the last window is gone (returns at once when none is loaded).
void RunMessageLoop();

}  // namespace runtime
