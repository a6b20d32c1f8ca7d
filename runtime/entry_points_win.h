// The entry header of Win32 application code: the fixed entry points, the runtime's start with
// the program image the application hands over (its constants, window templates, event
// handlers and support libraries, the built-in classes' library among them), and the declared
// system functions (reached by name at run time, never through the import table).
#pragma once

#include <cstdint>
#include <span>

#include "runtime/classes/builtin_library_win.h"
#include "runtime/core/declared_functions_win.h"
#include "runtime/entry_points.h"
#include "runtime/forms/events.h"
#include "runtime/forms/unit_class.h"
#include "runtime/templates/template_reader.h"

namespace runtime {

// What the application's image holds for the runtime.
struct ProgramImage {
  std::span<const uint8_t> constants;         // the constant block (may be empty)
  std::span<const uint8_t> templateBlock;     // the window templates
  std::span<const HandlerEntry> handlers;     // the application's event handlers
  std::span<const SupportLibrary> libraries;  // the six support libraries, in the program's order
};

// Initialise runtime: process heap, OLE (once), the program folder made current, the hidden
// owner window, the main thread, the declared functions, each library told with code 1, the
// template block read ("载入窗口模板数据段出错!" when it cannot be). Call once, first thing.
void InitializeRuntime(const ProgramImage& image);

// Runs the application's start routine and ends the program with what it returns.
[[noreturn]] void RunProgram(int (*startRoutine)());

}  // namespace runtime
