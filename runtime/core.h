// Process-wide state of the runtime that every room shares: the platform seam (message box
// and process end), the events-suspended counter and the exit-routine list.
#pragma once

#include <cstdint>

namespace runtime {

// The two things a runtime error needs from the operating system. The Win32 build installs
// the real one at start-up; native tests install a recording fake whose EndProcess throws.
class Platform {
 public:
  virtual ~Platform() = default;
  // A message box with no owner window, the error icon and an OK button; returns when closed.
  virtual void ShowErrorBox(const char* text, const char* title) = 0;
  // Ends the process with the exit code. Never returns.
  [[noreturn]] virtual void EndProcess(int exitCode) = 0;
};

// The installed platform; until one is installed, errors go to stderr and std::_Exit.
Platform& CurrentPlatform();
// Installs a platform (nullptr restores the default). Returns the previous one.
Platform* InstallPlatform(Platform* platform);

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

// Ends the program: events suspended, exit routines run, then the process ends.
[[noreturn]] void EndProgram(int exitCode);

}  // namespace runtime
