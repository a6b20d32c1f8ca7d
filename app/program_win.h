// What the program's image hands the runtime at start-up: its six support libraries, its
// window templates and the table of its event handlers.
#pragma once

#include <span>

#include "runtime/entry_points_win.h"

namespace app {

std::span<const runtime::SupportLibrary> ProgramLibraries();
// The application's event handlers, bound to the template block by (window, unit, event).
std::span<const runtime::HandlerEntry> ProgramHandlers();
runtime::ProgramImage ProgramImage();

}  // namespace app
