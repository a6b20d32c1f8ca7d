// The command table of the runtime libraries: every command that application code calls, at
// its position. Commands of libraries other than the core one are called with the library's
// position in the program's support-library table as well.
#pragma once

#include <initializer_list>
#include <span>

#include "runtime/core/command_call.h"
#include "runtime/core/values.h"

namespace services {

// Positions of the support libraries. 3 and 4 (the extension interface libraries) have no
// commands that the application calls.
enum Library : int {
  kCoreLibrary = 0,
  kThreadLibrary = 1,
  kApplicationInterfaceLibrary = 2,
  kOsInterfaceLibrary = 5,
};

// The core library, in the program's order. Positions 0, 7, 8, 9, 13 and 14 are the window
// services.
enum CoreCommand : int {
  kDestroyWindowUnit = 0,  // window service
  kCurrentTime = 1,
  kTimeInterval = 2,
  kGetRunDirectory = 3,
  kFileExists = 4,
  kReadFileBytes = 5,
  kByteSetLength = 6,
  kRefreshUnit = 7,    // window service
  kLoadWindow = 8,     // window service
  kGetUnitHandle = 9,  // window service
  kReadEnvironment = 10,
  kNewByteSet = 11,
  kBitOr = 12,
  kIsWindowLoaded = 13,  // window service
  kMoveUnit = 14,        // window service
  kRunCommandLine = 15,
  kTextToNumber = 16,
  kShiftLeft = 17,
  kShiftRight = 18,
  kBitAnd = 19,
  kLeftText = 20,
  kFindText = 21,
  kMidText = 22,
  kToText = 23,
  kTextToFloat = 24,
  kShowMessageBox = 25,
  kMakeRgb = 26,
  kCopyBytesOut = 27,
  kBytesFromAddress = 28,
  kToByteSet = 29,
  kSpaces = 30,
  kBitNot = 31,
  kAbsolute = 32,
  kCoreCommandCount = 33,
};

enum ThreadCommand : int { kStartThread = 0, kForceEndThread = 1 };
enum ApplicationInterfaceCommand : int { kGetBrowserVersionText = 0 };
enum OsInterfaceCommand : int { kGetSpecialFolder = 0 };

// The routine at a position; nullptr for an empty or unknown one.
runtime::CommandRoutine FindCommand(int library, int command);

// Calls a command through the table. Calling an empty position is a programming error: it
// ends the program with a runtime error.
runtime::TypedValue CallCommand(int library, int command, std::span<const runtime::TypedValue> arguments);
inline runtime::TypedValue CallCommand(int library, int command,
                                       std::initializer_list<runtime::TypedValue> arguments) {
  return CallCommand(library, command,
                     std::span<const runtime::TypedValue>(arguments.begin(), arguments.size()));
}
inline runtime::TypedValue CallCore(int command, std::initializer_list<runtime::TypedValue> arguments) {
  return CallCommand(kCoreLibrary, command, arguments);
}

}  // namespace services
