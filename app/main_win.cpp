// Entry of netmend.exe.
#include <windows.h>

#include "app/layout.h"
#include "app/services/system_win.h"
#include "runtime/heap.h"
#include "runtime/process_win.h"
#include "runtime/template_reader.h"
#include "runtime/values.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  runtime::InitializeProcess(nullptr, 0);
  services::InstallWin32Services();
  // The window handlers bind themselves here as they are written; until then their events
  // are not dispatched.
  runtime::LoadProgramTemplates(app::ProgramTemplateBlock(), {});
  char* title = runtime::NewText("Netmend");
  MessageBoxA(nullptr, title, title, MB_OK | MB_ICONINFORMATION);
  runtime::Free(title);
  return 0;
}
