// The runtime's start-up on Windows and the entry points around it: the program image handed
// over by the application, the hidden owner window, the message loop and the program's run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "runtime/template_reader.h"
#include "runtime/unit_class.h"

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

// The executable's folder with its trailing "\", and its file name.
const std::string& ProgramDirectory();
const std::string& ProgramFileName();

// The hidden owner window ("_ZR_HideOwner").
HWND HiddenOwnerWindow();

// Runs the message loop until the last window is gone (returns at once when none is loaded).
void RunMessageLoop();

// Runs the application's start routine and ends the program with what it returns.
[[noreturn]] void RunProgram(int (*startRoutine)());

}  // namespace runtime
