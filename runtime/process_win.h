// Process set-up of the runtime on Windows: the process heap, the error box and process end,
// the program folder made current, and the program's declared functions.
#pragma once

#include <cstddef>
#include <string>

namespace runtime {

struct ProgramLocation {
  std::string directory;  // without trailing backslash
  std::string fileName;
};

// The executable's folder and file name.
ProgramLocation LocateProgram();

// Installs the Win32 heap and platform, registers the program's constant block, makes the
// program folder current, fills the declared-function table and takes the current folder out
// of the DLL search path where the system allows it. Call once, first thing.
void InitializeProcess(const void* constantBlock, size_t constantBlockSize);

}  // namespace runtime
