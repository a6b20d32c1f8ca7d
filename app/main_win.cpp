// Entry of netmend.exe: the runtime runs the application's start routine and ends the program
// with what it returns.
#include <windows.h>

#include "app/layout.h"
#include "app/program_win.h"
#include "app/services/system_win.h"
#include "runtime/core.h"
#include "runtime/forms.h"
#include "runtime/startup_win.h"

namespace {

// The application's exit routine: runs once when the program ends normally. Nothing is held
// yet that must be given back; the skin images will be.
void OnProgramEnd() {}

int StartRoutine() {
  runtime::InitializeRuntime(app::ProgramImage());
  services::InstallWin32Services();
  runtime::RegisterExitRoutine(OnProgramEnd);
  runtime::LoadStartWindow(app::kMainWindow);
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { runtime::RunProgram(StartRoutine); }
