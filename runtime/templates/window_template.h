// Window templates as the form runtime keeps them: per window its stored words and texts and
// its unit list; per unit the decoded unit record. A loaded window works on its own copy of a
// template's unit list; property writes update that copy in place (position, size, tag, flags,
// cursor data, and the class block re-written by the unit's class).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_writer.h"

namespace runtime {

using base::Bytes;

// Defined by the form runtime: what an event source hands to the dispatcher.
struct EventFrame;
// An application routine bound to a unit event.
using EventRoutine = void (*)(EventFrame& frame);

// Type references (support library number << 16 | class number) of the classes in use.
inline constexpr uint32_t kClassWindow = 0x00010001;
inline constexpr uint32_t kClassMenuItem = 0x00010003;
inline constexpr uint32_t kClassButton = 0x0001000B;
inline constexpr uint32_t kClassTimer = 0x00010020;
inline constexpr uint32_t kClassCartoonBox = 0x00040008;
inline constexpr uint32_t kClassCartoonObject = 0x00040009;
inline constexpr uint32_t kClassTransLabel = 0x00050005;

// Bits of a unit's flags word.
inline constexpr uint32_t kUnitVisible = 0x1;
inline constexpr uint32_t kUnitDisabled = 0x2;
inline constexpr uint32_t kUnitTabStop = 0x4;

// A stored handler reference that binds nothing.
inline constexpr uint32_t kNoHandler = 0xFFFFFFFF;

struct EventBinding {
  int32_t eventIndex = 0;
  // As stored: kNoHandler, or the application's number for the routine (only whether it is
  // empty matters to the runtime; the routine itself comes from the handler table).
  uint32_t reference = kNoHandler;
  // Filled when the block is loaded; nullptr for an empty binding.
  EventRoutine routine = nullptr;

  bool operator==(const EventBinding&) const = default;
};

struct UnitTemplate {
  uint32_t id = 0;
  uint32_t typeReference = 0;
  // 0, or a unit of the same class whose event bindings this unit shares.
  uint32_t arrayLeader = 0;
  std::array<uint32_t, 4> headWords{};  // kept as stored, not interpreted
  std::string name;
  std::string secondText;  // kept as stored, not interpreted
  // Relative to the parent's client area; a window's are its screen position and outer size.
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t parentId = 0;           // 0: directly on the window
  std::vector<uint32_t> children;  // used by container classes only
  Bytes cursorData = Bytes(4, 0);  // four zero bytes: the default cursor
  std::string tag;
  uint32_t flagsLead = 0;  // the words around the flags word, kept as stored
  uint32_t flags = 0;
  uint32_t flagsTrail = 0;
  std::vector<EventBinding> bindings;
  std::array<uint32_t, 5> tailWords{};  // kept as stored, not interpreted
  // Parsed by the unit's class; empty leaves every class property at its default.
  Bytes classBlock;

  bool operator==(const UnitTemplate&) const = default;
};

struct WindowTemplate {
  uint32_t id = 0;
  std::array<uint32_t, 2> words{};  // kept as stored, not interpreted
  std::string firstText;
  std::string secondText;
  // Unit 0 is the window's own unit; the order of the rest is their creation and stacking order.
  std::vector<UnitTemplate> units;

  bool operator==(const WindowTemplate&) const = default;
};

// The decoded template block: the windows in the order of its window table.
struct TemplateTable {
  std::vector<WindowTemplate> windows;

  const WindowTemplate* Find(uint32_t windowId) const;
  WindowTemplate* Find(uint32_t windowId);
  bool operator==(const TemplateTable&) const = default;
};

// The unit with this id: the first unit is compared directly (most lookups are for the window
// itself), then the rest are scanned. nullptr when there is none.
const UnitTemplate* FindUnit(const std::vector<UnitTemplate>& units, uint32_t unitId);
UnitTemplate* FindUnit(std::vector<UnitTemplate>& units, uint32_t unitId);

// The routine bound to the unit's event, or nullptr when the event is unbound or empty.
EventRoutine FindHandler(const UnitTemplate& unit, int32_t eventIndex);

}  // namespace runtime
