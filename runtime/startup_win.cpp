// Start-up of the runtime: the one runtime object of the process, the hidden owner window and
// its two duties (ending the program for another thread, running another thread's property
// access on the main thread), and the support libraries' start.
#include <ole2.h>

#include "runtime/classes/builtin_library_win.h"
#include "runtime/core/process_win.h"
#include "runtime/core/program_lifetime.h"
#include "runtime/entry_points_win.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/forms/window_system_win.h"
#include "runtime/units/unit_win.h"

namespace runtime {
namespace {

constexpr char kHiddenOwnerClass[] = "_ZR_HideOwner";

HWND gHiddenOwner = nullptr;

LRESULT CALLBACK HiddenOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kMessageEndProgram: {
      // Another thread of this process ends the program: the main thread does it, with that
      // thread's code. The message itself may come from anywhere and says nothing.
      int exitCode = 0;
      if (!TakeHandedEnd(&exitCode)) return 0;
      SuspendEvents();
      EndProgramOnMainThread(exitCode);
    }
    case kMessageRunOnMainThread:
      RunHandedWork();
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

HWND CreateHiddenOwner() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HiddenOwnerProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  wc.lpszClassName = kHiddenOwnerClass;
  RegisterClassExA(&wc);
  return CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         ModuleInstance(), nullptr);
}

}  // namespace

void InitializeRuntime(const ProgramImage& image) {
  InitializeProcess(image.constants.data(), image.constants.size());
  static const bool oleStarted = SUCCEEDED(OleInitialize(nullptr));
  (void)oleStarted;
  if (!gHiddenOwner) gHiddenOwner = CreateHiddenOwner();
  SetHandOffWindow(reinterpret_cast<uintptr_t>(gHiddenOwner));

  static Win32WindowSystem system;
  static FormRuntime forms(ProgramTemplates(), image.libraries, PlaceholderClass(), system);
  InstallForms(&forms);
  forms.StartLibraries(RuntimeNotify);
  LoadProgramTemplates(image.templateBlock, image.handlers);
}

void RunProgram(int (*startRoutine)()) { EndProgram(startRoutine()); }

}  // namespace runtime
