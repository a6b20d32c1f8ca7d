// The program's repair commands over the running Windows.
#pragma once

#include "app/repair_commands.h"

namespace app {

// The operating-system interface of the lists on Windows: declared functions for the version
// and WOW64, runtime commands for the rest.
RepairSystem& Win32RepairSystem();

// The program's one instance. Its directory prefixes are released at the program's end.
RepairCommands& ProgramRepairCommands();

// What the window handlers and the repair worker call.
inline void ResolveSystemPaths() { ProgramRepairCommands().ResolveSystemPaths(); }
inline double GetWindowsVersionNumber() { return ProgramRepairCommands().GetWindowsVersionNumber(); }
inline void RunRepairCommands() { ProgramRepairCommands().RunRepairCommands(); }

}  // namespace app
