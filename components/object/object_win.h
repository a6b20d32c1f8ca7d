// The `CartoonObject` unit as its support library and the animation box reach it: the
// interface function, and the properties and source image the box builds its objects from.
#pragma once

#include "components/image/frame_set.h"
#include "components/object/object_properties.h"
#include "runtime/forms/unit_class.h"

namespace components {

// Interface functions by operation number.
runtime::InterfaceRoutine ObjectClassInterface(int operation);

// What the animation box builds its objects from: the properties and the untransformed source
// image of an animation object unit (owned by the unit, valid while its window lives).
struct ObjectTemplateView {
  const ObjectProperties* properties = nullptr;
  const FrameSet* source = nullptr;
};
// Nothing when the unit is not an animation object.
ObjectTemplateView ObjectTemplateOf(const runtime::UnitObject& unit);

}  // namespace components
