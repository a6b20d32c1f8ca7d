// Commands that reach the operating system through the installed ServiceSystem: run
// directory, files, environment, processes, message boxes, threads, the browser version and
// special folders.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "app/services/arguments.h"
#include "app/services/commands.h"
#include "app/services/system.h"
#include "runtime/core/errors.h"

namespace services {

using runtime::TypedValue;

namespace {

std::atomic<ServiceSystem*> gSystem{nullptr};
std::atomic<UnitHandleLookup> gUnitHandleLookup{nullptr};
thread_local intptr_t tThreadParameter = 0;

// A terminated copy of a text argument for the system calls.
std::string TextArgument(const Arguments& args, size_t i) { return std::string(args.Text(i)); }

// Show mode 1 … 6 (2 when not given, clamped otherwise) to the show-window value.
int ShowWindowValue(const Arguments& args) {
  static constexpr int kShowWindow[] = {0, 1, 2, 3, 4, 6};
  const int32_t mode = args.Given(2) ? std::clamp(args.Int(2), 1, 6) : 2;
  return kShowWindow[mode - 1];
}

// The owner window of a message box: a window reference, a handle given as a number, or none.
uintptr_t OwnerWindow(const TypedValue& owner) {
  if (owner.IsOmitted()) return 0;
  // Data type codes have the top bit set; a unit class's type reference does not.
  if ((owner.type & 0x80000000u) == 0) return UnitHandle(owner.low, owner.high);
  if (owner.type == runtime::kTypeLong) return static_cast<uintptr_t>(owner.Bits());
  if (!runtime::IsNumericType(owner.type)) WrongArgumentType();
  return static_cast<uintptr_t>(static_cast<intptr_t>(runtime::IntegerFromValue(owner)));
}

constexpr uint32_t kSystemModal = 0x1000;
constexpr uint32_t kTaskModal = 0x2000;
constexpr const char* kDefaultTitle = "信息：";

struct FolderMapping {
  FolderSource source;
  int csidl;
};
// Folder codes 1 … 11.
constexpr FolderMapping kFolders[] = {
    {FolderSource::kShell, 5},  {FolderSource::kShell, 6},  {FolderSource::kShell, 16},
    {FolderSource::kShell, 20}, {FolderSource::kShell, 11}, {FolderSource::kShell, 2},
    {FolderSource::kShell, 7},  {FolderSource::kShell, 26}, {FolderSource::kWindows, 0},
    {FolderSource::kSystem, 0}, {FolderSource::kTemp, 0},
};

}  // namespace

ServiceSystem& CurrentServiceSystem() {
  ServiceSystem* system = gSystem.load();
  if (!system) runtime::RuntimeErrorMessage("运行时的系统服务尚未安装");
  return *system;
}

ServiceSystem* InstallServiceSystem(ServiceSystem* system) { return gSystem.exchange(system); }

void SetUnitHandleLookup(UnitHandleLookup lookup) { gUnitHandleLookup = lookup; }

uintptr_t UnitHandle(uint32_t windowId, uint32_t unitId) {
  const UnitHandleLookup lookup = gUnitHandleLookup.load();
  return lookup ? lookup(windowId, unitId) : 0;
}

intptr_t ThreadParameter() { return tThreadParameter; }
void SetThreadParameter(intptr_t parameter) { tThreadParameter = parameter; }

void GetRunDirectoryCommand(TypedValue* result, int32_t, const TypedValue*) {
  SetText(result, runtime::NewText(CurrentServiceSystem().ProgramDirectory()));
}

void FileExistsCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const std::string path = TextArgument(Arguments(count, arguments), 0);
  SetBool(result, !path.empty() && CurrentServiceSystem().FileExists(path.c_str()));
}

void ReadFileBytesCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const std::string path = TextArgument(Arguments(count, arguments), 0);
  if (path.empty()) return SetBytes(result, nullptr);
  const auto bytes = CurrentServiceSystem().ReadFile(path.c_str());
  SetBytes(result, bytes ? runtime::NewByteSet(*bytes) : nullptr);
}

void ReadEnvironmentCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const std::string name = TextArgument(Arguments(count, arguments), 0);
  const auto value = CurrentServiceSystem().Environment(name.c_str());
  SetText(result, value ? runtime::NewText(*value) : nullptr);
}

void RunCommandLineCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const std::string line = TextArgument(args, 0);
  const bool wait = args.Bool(1);
  const int showWindow = ShowWindowValue(args);
  SetBool(result, !line.empty() && CurrentServiceSystem().StartProcess(line.c_str(), showWindow, wait));
}

void ShowMessageBoxCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  const std::string message = ValueToText(args[0]);
  uint32_t style = static_cast<uint32_t>(args.Int(1));
  const std::string title = args.Given(2) ? TextArgument(args, 2) : kDefaultTitle;
  const uintptr_t owner = OwnerWindow(args[3]);
  // Task-modal unless system-modal was asked for. Or-ed, not added: a style that already holds
  // the task-modal bit would otherwise turn into the help-button bit.
  if ((style & kSystemModal) == 0) style |= kTaskModal;
  const int button = CurrentServiceSystem().ShowMessage(owner, message.c_str(), title.c_str(), style);
  // IDOK 1 … IDNO 7 become 0 … 6.
  SetInt(result, button >= 1 && button <= 7 ? button - 1 : -1);
}

void GetBrowserVersionTextCommand(TypedValue* result, int32_t, const TypedValue*) {
  const auto value =
      CurrentServiceSystem().MachineRegistryValue("SOFTWARE\\Microsoft\\Internet Explorer", "Version", 100);
  if (!value) return SetText(result, nullptr);
  SetText(result, runtime::NewText(std::string_view(*value).substr(0, value->find('\0'))));
}

void GetSpecialFolderCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const int32_t code = Arguments(count, arguments).Int(0);
  if (code < 1 || code > static_cast<int32_t>(std::size(kFolders))) return SetText(result, nullptr);
  const FolderMapping& folder = kFolders[code - 1];
  std::string path = CurrentServiceSystem().SpecialFolder(folder.source, folder.csidl);
  if (path.empty()) return SetText(result, nullptr);
  if (path.back() != '\\') path += '\\';
  SetText(result, runtime::NewText(path));
}

void StartThreadCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const Arguments args(count, arguments);
  if (args[0].type != runtime::kTypeSubroutine) WrongArgumentType();
  const auto routine = reinterpret_cast<Subroutine>(args[0].AsPointer<void>());
  const intptr_t parameter = args.Given(1) ? static_cast<intptr_t>(args.Address(1)) : 0;
  const TypedValue& variable = args[2];
  if (!variable.IsOmitted() && variable.type != runtime::kTypeInt && variable.type != runtime::kTypeLong) {
    WrongArgumentType();
  }
  void* handleVariable = variable.IsOmitted() ? nullptr : variable.AsPointer<void>();
  intptr_t handle = 0;
  const bool started =
      routine && CurrentServiceSystem().StartThread(routine, parameter, handleVariable != nullptr, &handle);
  if (started && handleVariable) {
    if (variable.type == runtime::kTypeLong) {
      const int64_t wide = handle;
      std::memcpy(handleVariable, &wide, sizeof wide);
    } else {
      // Kernel handles fit in 32 bits on 64-bit Windows too.
      const int32_t narrow = static_cast<int32_t>(handle);
      std::memcpy(handleVariable, &narrow, sizeof narrow);
    }
  }
  SetBool(result, started);
}

void ForceEndThreadCommand(TypedValue* result, int32_t count, const TypedValue* arguments) {
  const intptr_t handle = static_cast<intptr_t>(Arguments(count, arguments).Address(0));
  SetBool(result, handle != 0 && CurrentServiceSystem().EndThread(handle));
}

}  // namespace services
