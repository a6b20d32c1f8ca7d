// The Win32 side of the runtime commands.
#pragma once

namespace services {

// Installs the Win32 implementation of the operating-system services the commands use. Call
// once at start-up, after the runtime's process set-up.
void InstallWin32Services();

}  // namespace services
