// Entry of netmend.exe: the application's start routine and exit routine. The runtime runs the
// start routine and ends the program with what it returns.
#include <windows.h>

#include "app/layout.h"
#include "app/main_window_win.h"
#include "app/program_win.h"
#include "app/services/system_win.h"
#include "runtime/entry_points_win.h"
#include "skin/skin.h"

namespace {

// Runs once when the program ends normally (also after the version gate's refusal): gives back
// every buffer the application holds.
void OnProgramEnd() { app::ReleaseWindowLook(); }

int StartRoutine() {
  runtime::InitializeRuntime(app::ProgramImage());
  services::InstallWin32Services();
  app::CreateSkinObjects();
  runtime::RegisterExitRoutine(OnProgramEnd);
  // The skin layer's start-up. Without GDI+ (a stock Windows 2000) every skin operation does
  // nothing, so the program still reaches its version gate and refuses politely.
  skin::StartSkin();
  // The main window's creation handler builds its look; its first activation runs the gate.
  runtime::LoadStartWindow(app::kMainWindow);
  runtime::RunMessageLoop();
  return 0;
}

// Libraries loaded by name come from the system folder only, never from the program's folder
// (a download folder, where anyone may have put a DLL) or the PATH. The call exists from
// Windows 8 (and Windows 7 with an update); elsewhere the declared functions load by full path.
void LoadLibrariesFromTheSystemOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto set = reinterpret_cast<SetDirectories>(
      kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")) : nullptr);
  if (set) set(kSearchSystem32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadLibrariesFromTheSystemOnly();
  runtime::RunProgram(StartRoutine);
}
