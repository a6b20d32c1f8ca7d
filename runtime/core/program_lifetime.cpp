// Process-wide runtime state: platform seam, events-suspended counter, exit routines, and the
// end of the program.
#include "runtime/core/program_lifetime.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "runtime/core/declared_functions.h"

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
std::atomic<ProgramTeardown*> gTeardown{nullptr};
std::atomic<int> gEventsSuspended{0};
std::atomic<bool> gEnding{false};

// The exit routines are registered on the main thread, but a runtime error on another thread
// drops them: a small lock keeps the list whole (no std::mutex: the product's thread model
// has none).
class SpinLock {
 public:
  void lock() {
    while (flag_.test_and_set(std::memory_order_acquire)) {
    }
  }
  void unlock() { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

struct ExitList {
  SpinLock lock;
  std::vector<ExitRoutine> routines;
};

ExitList& Exits() {
  static ExitList list;
  return list;
}

}  // namespace

Platform& CurrentPlatform() { return *gPlatform.load(); }

Platform* InstallPlatform(Platform* platform) {
  Platform* previous = gPlatform.exchange(platform ? platform : &gStreamPlatform);
  return previous == &gStreamPlatform ? nullptr : previous;
}

void InstallTeardown(ProgramTeardown* teardown) { gTeardown = teardown; }

int SuspendEvents() { return ++gEventsSuspended; }
int ResumeEvents() { return --gEventsSuspended; }
int EventsSuspendedCount() { return gEventsSuspended.load(); }

void RegisterExitRoutine(ExitRoutine routine) {
  ExitList& list = Exits();
  list.lock.lock();
  bool known = false;
  for (ExitRoutine r : list.routines) known = known || r == routine;
  if (!known) list.routines.push_back(routine);
  list.lock.unlock();
}

void RunExitRoutines() {
  // Taken out first, so that a routine that ends the program again cannot run twice.
  std::vector<ExitRoutine> routines;
  ExitList& list = Exits();
  list.lock.lock();
  routines.swap(list.routines);
  list.lock.unlock();
  for (ExitRoutine routine : routines) routine();
}

void DropExitRoutines() {
  ExitList& list = Exits();
  list.lock.lock();
  list.routines.clear();
  list.lock.unlock();
}

bool ProgramEnding() { return gEnding.load(); }

void EndProgram(int exitCode) {
  SuspendEvents();
  Platform& platform = CurrentPlatform();
  if (!platform.OnMainThread()) {
    platform.HandEndToMainThread(exitCode);
    // The main thread could not take the end (its hidden owner window is gone): unless it is
    // already ending the process, this thread ends it.
    if (!ProgramEnding()) platform.EndProcess(exitCode);
    platform.WaitForProcessEnd();
  }
  EndProgramOnMainThread(exitCode);
}

void EndProgramOnMainThread(int exitCode) {
  gEnding = true;
  if (ProgramTeardown* teardown = gTeardown.load()) {
    teardown->ClearIdleCallbacks();
    teardown->DestroyAllWindows();
  }
  RunExitRoutines();
  if (ProgramTeardown* teardown = gTeardown.load()) teardown->NotifyLibrariesOfEnd();
  if (ProgramDeclarationsInstalled()) ProgramDeclarations().ReleaseAll();
  CurrentPlatform().EndProcess(exitCode);
  std::abort();  // a platform's EndProcess does not return
}

void ResetProgramEndForTesting() { gEnding = false; }

}  // namespace runtime
