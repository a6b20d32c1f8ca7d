// The Win32 operating-system interface of the repair command lists.
#include "app/repair_commands_win.h"

#include <windows.h>

#include <string>

#include "app/services/services.h"
#include "runtime/entry_points.h"
#include "runtime/entry_points_win.h"

namespace app {
namespace {

class Win32System final : public RepairSystem {
 public:
  uint32_t WindowsVersion() override { return runtime::kGetVersion(); }

  bool CanQueryWow64() override { return runtime::kIsWow64Process.Available(); }

  int32_t QueryWow64() override {
    BOOL underWow64 = FALSE;
    runtime::kIsWow64Process(runtime::kGetCurrentProcess(), &underWow64);
    return underWow64;
  }

  bool DisableRedirection(void** previous) override {
    // Only a WOW64 system gets here, and every one of those has the function; should one not,
    // redirection cannot be switched off and no line runs.
    if (!runtime::kWow64DisableWow64FsRedirection.Available()) return false;
    return runtime::kWow64DisableWow64FsRedirection(previous) != FALSE;
  }

  bool RevertRedirection(void* previous) override {
    return runtime::kWow64RevertWow64FsRedirection(previous) != FALSE;
  }

  OwnedText WindowsFolder() override { return services::GetSpecialFolder(9); }
  OwnedText MachineFolder(const char* valueName) override {
    const std::optional<std::string> value = services::CurrentServiceSystem().MachineRegistryValue(
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", valueName, MAX_PATH + 1);
    if (!value) return nullptr;
    const std::string folder = value->substr(0, value->find('\0'));
    return folder.empty() ? nullptr : OwnedText(runtime::NewText(folder));
  }
  OwnedText BrowserVersionText() override { return services::GetBrowserVersionText(); }
  OwnedText RunDirectory() override { return services::GetRunDirectory(); }
  bool Run(const char* commandLine) override { return services::RunCommandLine(commandLine, false, 1); }
  void PauseBeforeRetry() override { Sleep(250); }
  void ReportNotStarted(const char* commandLine) override {
    OutputDebugStringA((std::string("Netmend: could not start ") + commandLine + "\n").c_str());
  }
};

void ReleaseProgramPaths() { ProgramRepairCommands().ReleaseSystemPaths(); }

}  // namespace

RepairSystem& Win32RepairSystem() {
  static Win32System system;
  return system;
}

RepairCommands& ProgramRepairCommands() {
  static RepairCommands commands = [] {
    runtime::RegisterExitRoutine(ReleaseProgramPaths);
    return RepairCommands(Win32RepairSystem());
  }();
  return commands;
}

}  // namespace app
