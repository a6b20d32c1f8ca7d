// The `CartoonBox` unit: a child window that shows its background and, above it, the sprite
// scene of its engine, driven by a 5 ms window timer outside design mode. The application (or
// a test tool) drives the scene through the engine's command surface.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "components/box/box_engine.h"
#include "runtime/forms/unit_class.h"

namespace runtime {
class Win32Unit;
}

namespace components {

runtime::InterfaceRoutine BoxClassInterface(int operation);

// The engine of an animation box unit; nullptr when the unit is not one.
BoxEngine* BoxEngineOf(runtime::UnitObject& unit);

// A new object of the box made from an animation object unit (its properties and source
// image), at (x, y), called `name` for collision searches. Its identifier, or 0 when `box` is
// not an animation box or `object` not an animation object.
int32_t CreateBoxObject(runtime::UnitObject& box, const runtime::UnitObject& object, double x, double y,
                        const std::string& name = {});

// Where the box's events go: the runtime's event routing, unless a test puts another in
// (nullptr restores it). The route may destroy the box's window.
using BoxEventRoute = EventResult (*)(runtime::Win32Unit& box, int32_t event, std::span<const int32_t> args);
void SetBoxEventRoute(BoxEventRoute route);

}  // namespace components
