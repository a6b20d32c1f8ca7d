// Entry of netmend.exe: the application's start routine and exit routine. The runtime runs the
// start routine and ends the program with what it returns.
#include <windows.h>

#include "app/layout.h"
#include "app/main_window_win.h"
#include "app/program_win.h"
#include "app/services/system_win.h"
#include "runtime/entry_points.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { runtime::RunProgram(StartRoutine); }
