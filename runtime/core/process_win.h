// Process set-up of the runtime on Windows: the process heap, the error box and process end,
// the program folder made current, and the program's declared functions.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace runtime {

struct ProgramLocation {
  std::string directory;  // without trailing backslash
  std::string fileName;
};

// The executable's folder and file name.
ProgramLocation LocateProgram();
// The executable's folder with its trailing "\", and its file name, as InitializeProcess found
// them.
const std::string& ProgramDirectory();
const std::string& ProgramFileName();

// Installs the Win32 heap and platform, registers the program's constant block, takes the main
// thread (the calling one), makes the program folder current, fills the declared-function table
// and takes the current folder out of the DLL search path where the system allows it. Call
// once, first thing.
void InitializeProcess(const void* constantBlock, size_t constantBlockSize);

// The thread that called InitializeProcess: it owns every window, event and the message loop.
bool OnMainThread();
// The window (an HWND) to which another thread hands the end of the program and its property
// accesses; 0 until the runtime has made it.
void SetHandOffWindow(uintptr_t window);
uintptr_t HandOffWindow();
// The hidden owner window ("_ZR_HideOwner"): the hand-off window, as an HWND.
HWND HiddenOwnerWindow();

// Handing work to the main thread. Any process on the desktop can post the hand-off window a
// message, so its messages carry nothing: they only wake the main thread, which runs what
// threads of this process queued here and ends the program only when one of them asked.
//
// From another thread: queues the work, wakes the main thread and returns when the work is
// done; false (nothing ran) when the main thread could not take it (no hand-off window).
bool RunOnMainThreadAndWait(void (*work)(void* context), void* context);
// On the main thread, for the hand-off window's kMessageRunOnMainThread: runs the queued work.
void RunHandedWork();
// On the main thread, for the hand-off window's kMessageEndProgram: whether a thread of this
// process handed over the end, and its exit code.
bool TakeHandedEnd(int* exitCode);

}  // namespace runtime
