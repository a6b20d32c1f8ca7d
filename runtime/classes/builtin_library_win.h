// The core library's Win32 classes (`window`, `Button`, `Timer`), the placeholder class that
// stands in for units of a library that could not be loaded, and the core library's entry of
// the support-library table.
#pragma once

#include "runtime/forms/unit_class.h"

namespace runtime {

// Interface functions by operation number.
InterfaceRoutine WindowClassInterface(int operation);
InterfaceRoutine ButtonClassInterface(int operation);
InterfaceRoutine TimerClassInterface(int operation);
InterfaceRoutine PlaceholderClassInterface(int operation);

// The core library: its class table (window at 1, Button at 11, Timer at 32) and its
// notification routine, which keeps the runtime's routine for the classes' events.
SupportLibrary CoreLibrary();
const UnitClass& PlaceholderClass();

}  // namespace runtime
