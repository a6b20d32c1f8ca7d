// Win32 process set-up: heap, platform, declared functions.
#include "runtime/process_win.h"

#include <windows.h>

#include <atomic>

#include "runtime/core.h"
#include "runtime/declarations.h"
#include "runtime/declared_win.h"
#include "runtime/heap.h"
#include "runtime/unit_win.h"

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

class Win32Platform final : public Platform {
 public:
  void ShowErrorBox(const char* text, const char* title) override {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONERROR);
  }
  [[noreturn]] void EndProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
  bool OnMainThread() override { return runtime::OnMainThread(); }
  // Returns only when the main thread could not take the end: its window is gone.
  void HandEndToMainThread(int exitCode) override {
    if (HWND window = reinterpret_cast<HWND>(HandOffWindow())) {
      SendMessageA(window, kMessageEndProgram, static_cast<WPARAM>(exitCode), 0);
    }
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
  InstallAllocator(&heap);
  InstallPlatform(&platform);
  SetConstantBlock(constantBlock, constantBlockSize);

  const ProgramLocation program = LocateProgram();
  SetCurrentDirectoryA((program.directory + "\\").c_str());
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

}  // namespace runtime
