// Process-wide state of the runtime that every room shares: the platform seam (message box,
// threads and process end), the events-suspended counter, the exit-routine list and the one
// path by which the program ends.
#pragma once

#include <cstdint>

namespace runtime {

// What ending the program needs from the operating system. The Win32 build installs the real
// one at start-up; native tests install a recording fake whose EndProcess throws.
class Platform {
 public:
  virtual ~Platform() = default;
  // A message box with no owner window, the error icon and an OK button; returns when closed.
  virtual void ShowErrorBox(const char* text, const char* title) = 0;
  // Ends the process with the exit code. Never returns.
  [[noreturn]] virtual void EndProcess(int exitCode) = 0;
  // The program ends on its main thread. Another thread hands the end over (the hidden owner
  // window's message 0x83E7); the call returns only when the main thread could not take it.
  virtual bool OnMainThread() { return true; }
  virtual void HandEndToMainThread(int exitCode) {}
  // A thread other than the main one waits here while the main thread ends the process.
  [[noreturn]] virtual void WaitForProcessEnd() {
    for (;;) EndProcess(0);
  }
};

// The installed platform; until one is installed, errors go to stderr and std::_Exit.
Platform& CurrentPlatform();
// Installs a platform (nullptr restores the default). Returns the previous one.
Platform* InstallPlatform(Platform* platform);

// What ending the program tears down besides the exit routines: the form runtime installs
// itself here.
class ProgramTeardown {
 public:
  virtual ~ProgramTeardown() = default;
  virtual void ClearIdleCallbacks() = 0;
  virtual void DestroyAllWindows() = 0;
  virtual void NotifyLibrariesOfEnd() = 0;
};
void InstallTeardown(ProgramTeardown* teardown);

// Events raised while the counter is 1 or more are dropped by the dispatcher.
int SuspendEvents();  // returns the new count
int ResumeEvents();   // returns the new count
int EventsSuspendedCount();

using ExitRoutine = void (*)();
// Adds a routine to run once at a normal end; one already in the list is not added twice.
void RegisterExitRoutine(ExitRoutine routine);
// Runs every registered routine once, in registration order, and empties the list.
void RunExitRoutines();
// Forgets the routines without running them (after a runtime error).
void DropExitRoutines();

// True once the program has begun to end on its main thread.
bool ProgramEnding();

// Ends the program: events suspended; on the main thread the idle callbacks are cleared, every
// window is destroyed, the exit routines run once, the libraries are told, the libraries of
// declared functions are freed and the process ends with the code. From another thread the end
// is handed to the main thread.
[[noreturn]] void EndProgram(int exitCode);
// The main thread's part (also the hidden owner window's answer to a handed-over end). Events
// must already be suspended.
[[noreturn]] void EndProgramOnMainThread(int exitCode);

// Test support: forget that the program began to end (native tests end it many times).
void ResetProgramEndForTesting();

}  // namespace runtime
