// The extension components' support libraries as the runtime takes them: "Extended Controls
// Library 2" (the animation box and the animation object) and "Extended Controls Library 1"
// (the transparent label), each with its class table and notification routine.
#pragma once

#include <cstdint>

#include "runtime/forms/unit_class.h"

namespace components {

// Class numbers within the libraries (the low half of the type references).
inline constexpr uint32_t kCartoonBoxClass = 8;
inline constexpr uint32_t kCartoonObjectClass = 9;
inline constexpr uint32_t kTransLabelClass = 5;

runtime::SupportLibrary ExtendedControlsLibrary2();
runtime::SupportLibrary ExtendedControlsLibrary1();

}  // namespace components
