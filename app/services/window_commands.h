// The window services of the core library: loading, finding, moving, refreshing and
// destroying windows and components. They take typed arguments and fill a result triple like
// every runtime command; a unit argument names a window or component by window id (low word)
// and unit id (high word), with the class's type reference as its type code.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace services {

#define NETMEND_WINDOW_COMMAND(name) \
  void name(runtime::TypedValue* result, int32_t argumentCount, const runtime::TypedValue* arguments)

// 0: the window's own unit is destroyed through its queue (at once when the second argument
// is true); a component at once.
NETMEND_WINDOW_COMMAND(DestroyWindowUnitCommand);
// 7: paints what is invalid in the unit's window now.
NETMEND_WINDOW_COMMAND(RefreshUnitCommand);
// 8: (window, parent window (optional), modal) → logical; false when the parent is gone.
NETMEND_WINDOW_COMMAND(LoadWindowCommand);
// 9: the unit's window handle, 0 when it does not exist.
NETMEND_WINDOW_COMMAND(GetUnitHandleCommand);
// 13: true when the window is loaded and its unit can be found.
NETMEND_WINDOW_COMMAND(IsWindowLoadedCommand);
// 14: (unit, left, top, width, height), each position optional, -1 for a size keeps it.
NETMEND_WINDOW_COMMAND(MoveUnitCommand);

#undef NETMEND_WINDOW_COMMAND

}  // namespace services
