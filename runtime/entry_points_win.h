// The entry header of Win32 application code: the fixed entry points and the declared system
// functions (reached by name at run time, never through the import table).
#pragma once

#include "runtime/core/declared_functions_win.h"
#include "runtime/entry_points.h"
