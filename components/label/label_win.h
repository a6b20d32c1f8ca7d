// The `TransLabel` unit as its support library and tests reach it: the interface function.
#pragma once

#include "runtime/forms/unit_class.h"

namespace components {

// Interface functions by operation number.
runtime::InterfaceRoutine LabelClassInterface(int operation);

}  // namespace components
