// The fixed entry points of application code, portable and Win32 alike: the heap, values,
// runtime errors, runtime commands, exit routines and the program's end, property reads and
// writes, the start window, the window services and the message loop. Win32 application code
// includes runtime/entry_points_win.h besides, for the runtime's start and the declared system
// functions.
#pragma once

#include "runtime/core/command_call.h"
#include "runtime/core/errors.h"
#include "runtime/core/heap.h"
#include "runtime/core/program_lifetime.h"
#include "runtime/core/values.h"
#include "runtime/forms/form_entry.h"
