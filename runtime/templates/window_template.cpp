// Lookups in the decoded templates.
#include "runtime/templates/window_template.h"

#include <utility>

namespace runtime {

const WindowTemplate* TemplateTable::Find(uint32_t windowId) const {
  for (const WindowTemplate& window : windows) {
    if (window.id == windowId) return &window;
  }
  return nullptr;
}

WindowTemplate* TemplateTable::Find(uint32_t windowId) {
  return const_cast<WindowTemplate*>(static_cast<const TemplateTable*>(this)->Find(windowId));
}

const UnitTemplate* FindUnit(const std::vector<UnitTemplate>& units, uint32_t unitId) {
  if (units.empty()) return nullptr;
  if (units[0].id == unitId) return &units[0];
  for (size_t i = 1; i < units.size(); ++i) {
    if (units[i].id == unitId) return &units[i];
  }
  return nullptr;
}

UnitTemplate* FindUnit(std::vector<UnitTemplate>& units, uint32_t unitId) {
  return const_cast<UnitTemplate*>(FindUnit(std::as_const(units), unitId));
}

EventRoutine FindHandler(const UnitTemplate& unit, int32_t eventIndex) {
  for (const EventBinding& binding : unit.bindings) {
    if (binding.eventIndex == eventIndex) return binding.routine;
  }
  return nullptr;
}

}  // namespace runtime
