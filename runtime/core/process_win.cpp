// Win32 process set-up: heap, platform, declared functions.
#include "runtime/core/process_win.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "base/handles_win.h"
#include "runtime/core/declared_functions_win.h"
#include "runtime/core/heap.h"
#include "runtime/core/program_declarations.h"
#include "runtime/core/program_lifetime.h"
#include "runtime/core/runtime_messages.h"

namespace runtime {
namespace {

class ProcessHeapAllocator final : public Allocator {
 public:
  void* Allocate(size_t bytes) override { return HeapAlloc(GetProcessHeap(), 0, bytes); }
  void Release(void* block) override { HeapFree(GetProcessHeap(), 0, block); }
  void* Reallocate(void* block, size_t bytes) override {
    return HeapReAlloc(GetProcessHeap(), 0, block, bytes);
  }
};

std::atomic<DWORD> gMainThread{0};
std::atomic<uintptr_t> gHandOffWindow{0};
std::string gProgramDirectory;
std::string gProgramFileName;

// One piece of work handed to the main thread; it lives on the stack of the thread waiting
// for it.
struct HandedWork {
  void (*work)(void*);
  void* context;
  HANDLE done;  // set by the main thread once the work has run
  bool taken;   // the main thread has taken it from the queue
};

// The queue of handed work. The lock is made in InitializeProcess, before any other thread.
CRITICAL_SECTION gQueueLock;
std::vector<HandedWork*> gQueue;

// The end of the program handed over by another thread of this process.
std::atomic<bool> gEndHanded{false};
std::atomic<int> gHandedExitCode{0};

class Win32Platform final : public Platform {
 public:
  void ShowErrorBox(const char* text, const char* title) override {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONERROR);
  }
  [[noreturn]] void EndProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
  bool OnMainThread() override { return runtime::OnMainThread(); }
  // Returns only when the main thread could not take the end: its window is gone.
  void HandEndToMainThread(int exitCode) override {
    HWND window = reinterpret_cast<HWND>(HandOffWindow());
    if (!window) return;
    gHandedExitCode = exitCode;
    gEndHanded = true;
    SendMessageA(window, kMessageEndProgram, 0, 0);
  }
  [[noreturn]] void WaitForProcessEnd() override {
    for (;;) Sleep(INFINITE);
  }
};

}  // namespace

ProgramLocation LocateProgram() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, length < MAX_PATH ? length : MAX_PATH);
  const size_t slash = full.find_last_of('\\');
  if (slash == std::string::npos) return {"", full};
  return {full.substr(0, slash), full.substr(slash + 1)};
}

void InitializeProcess(const void* constantBlock, size_t constantBlockSize) {
  static ProcessHeapAllocator heap;
  static Win32Platform platform;
  static Win32LibraryLoader loader;
  static DeclaredFunctions declarations(ProgramDeclarationTable(), loader);

  gMainThread = GetCurrentThreadId();
  static const bool queueLockMade = (InitializeCriticalSection(&gQueueLock), true);
  (void)queueLockMade;
  InstallAllocator(&heap);
  InstallPlatform(&platform);
  SetConstantBlock(constantBlock, constantBlockSize);

  const ProgramLocation program = LocateProgram();
  gProgramDirectory = program.directory + "\\";
  gProgramFileName = program.fileName;
  SetCurrentDirectoryA(gProgramDirectory.c_str());
  declarations.SetProgramDirectory(program.directory);
  InstallProgramDeclarations(&declarations);

  // The current folder (a download folder, say) must not supply libraries to a process that
  // may run with administrator rights. An empty name removes it and adds no other folder.
  // Windows 2000 and XP before SP1 lack the call.
  if (kSetDllDirectoryA.Available()) kSetDllDirectoryA("");
}

bool OnMainThread() { return GetCurrentThreadId() == gMainThread.load(); }
void SetHandOffWindow(uintptr_t window) { gHandOffWindow = window; }
uintptr_t HandOffWindow() { return gHandOffWindow.load(); }
HWND HiddenOwnerWindow() { return reinterpret_cast<HWND>(HandOffWindow()); }
const std::string& ProgramDirectory() { return gProgramDirectory; }
const std::string& ProgramFileName() { return gProgramFileName; }

bool RunOnMainThreadAndWait(void (*work)(void*), void* context) {
  HWND window = reinterpret_cast<HWND>(HandOffWindow());
  if (!window) return false;
  const base::KernelHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!done) return false;
  HandedWork item{work, context, done.get(), false};
  EnterCriticalSection(&gQueueLock);
  gQueue.push_back(&item);
  LeaveCriticalSection(&gQueueLock);
  // Returns once the main thread has handled the wake-up, or at once when the window is gone.
  // Work that the main thread has taken may still be running (it may have handled this very
  // wake-up from inside the work), so the event says when it is done.
  SendMessageA(window, kMessageRunOnMainThread, 0, 0);
  EnterCriticalSection(&gQueueLock);
  const bool taken = item.taken;
  if (!taken) std::erase(gQueue, &item);
  LeaveCriticalSection(&gQueueLock);
  if (taken) WaitForSingleObject(item.done, INFINITE);
  return taken;
}

void RunHandedWork() {
  for (;;) {
    EnterCriticalSection(&gQueueLock);
    if (gQueue.empty()) {
      LeaveCriticalSection(&gQueueLock);
      return;
    }
    HandedWork* item = gQueue.front();
    gQueue.erase(gQueue.begin());
    item->taken = true;
    LeaveCriticalSection(&gQueueLock);
    item->work(item->context);
    SetEvent(item->done);  // the waiting thread may free the item from here on
  }
}

bool TakeHandedEnd(int* exitCode) {
  if (!gEndHanded.load()) return false;
  *exitCode = gHandedExitCode.load();
  return true;
}

}  // namespace runtime
