// The device console's Win32 half: the setup and configuration-manager functions, loaded at
// run time from the system folder (setupapi.dll and cfgmgr32.dll are not known DLLs
// everywhere, so a copy beside the program must never be the one loaded), and the two
// commands on top of them. Each prints what it did to standard output and returns the exit code.
#pragma once

#include "devcon/devcon.h"

namespace devcon {

// Asks the system to enumerate the device tree again from its root, and waits until it has.
int Rescan();

// Enables the disabled present devices the command selects.
int Enable(const Command& command);

// The 32-bit build under WOW64 cannot change devices of the 64-bit system: true (with the
// message printed) when it must refuse. Always false in the 64-bit build.
bool RefuseUnderWow64();

}  // namespace devcon
