// Process-wide runtime state: platform seam, events-suspended counter, exit routines.
#include "runtime/core.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace runtime {
namespace {

// Without a window system: the report goes to stderr.
class StreamPlatform final : public Platform {
 public:
  void ShowErrorBox(const char* text, const char* title) override {
    std::fprintf(stderr, "%s\n%s\n", title, text);
  }
  [[noreturn]] void EndProcess(int exitCode) override { std::_Exit(exitCode); }
};

StreamPlatform gStreamPlatform;
std::atomic<Platform*> gPlatform{&gStreamPlatform};
std::atomic<int> gEventsSuspended{0};

// Registered from the main thread only (the start routine); read at the end of the program.
std::vector<ExitRoutine>& ExitRoutines() {
  static std::vector<ExitRoutine> routines;
  return routines;
}

}  // namespace

Platform& CurrentPlatform() { return *gPlatform.load(); }

Platform* InstallPlatform(Platform* platform) {
  Platform* previous = gPlatform.exchange(platform ? platform : &gStreamPlatform);
  return previous == &gStreamPlatform ? nullptr : previous;
}

int SuspendEvents() { return ++gEventsSuspended; }
int ResumeEvents() { return --gEventsSuspended; }
int EventsSuspendedCount() { return gEventsSuspended.load(); }

void RegisterExitRoutine(ExitRoutine routine) {
  auto& routines = ExitRoutines();
  for (ExitRoutine known : routines) {
    if (known == routine) return;
  }
  routines.push_back(routine);
}

void RunExitRoutines() {
  // Taken out first, so that a routine that ends the program again cannot run twice.
  std::vector<ExitRoutine> routines;
  routines.swap(ExitRoutines());
  for (ExitRoutine routine : routines) routine();
}

void DropExitRoutines() { ExitRoutines().clear(); }

void EndProgram(int exitCode) {
  SuspendEvents();
  RunExitRoutines();
  CurrentPlatform().EndProcess(exitCode);
  std::abort();  // a platform's EndProcess does not return
}

}  // namespace runtime
