// The device console's Win32 half: rescan through the configuration manager, enable through
// the device installer's class installer, as the Windows API documentation describes them.
#include "devcon/devcon_win.h"

#include <windows.h>
// The headers only give the types: the functions themselves are looked up at run time.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstdio>
#include <string>

#include "base/handles_win.h"

namespace devcon {
namespace {

// Generous bounds on what the system hands over about one device (IDs, names).
constexpr DWORD kMaxPropertyBytes = 64 * 1024;
constexpr DWORD kMaxDevices = 100000;

void Say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
}

void Complain(const std::string& line) { std::fputs(("devcon: " + line + "\n").c_str(), stderr); }

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

template <typename Function>
Function Cast(FARPROC proc) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

// A system DLL loaded from the system folder by its full path, freed at the end.
class SystemLibrary {
 public:
  explicit SystemLibrary(const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    module_.reset(LoadLibraryA((std::string(folder, length) + "\\" + name).c_str()));
  }

  // Looks the function up; on failure, remembers its name for the message.
  template <typename Function>
  void Find(Function* function, const char* name, std::string* missing) {
    *function = module_ ? Cast<Function>(GetProcAddress(module_.get(), name)) : nullptr;
    if (!*function && missing->empty()) *missing = name;
  }

 private:
  base::Module module_;
};

// The functions the two commands use.
struct DeviceFunctions {
  SystemLibrary setupapi{"setupapi.dll"};
  SystemLibrary cfgmgr32{"cfgmgr32.dll"};
  decltype(&CM_Locate_DevNodeA) locateDevNode = nullptr;
  decltype(&CM_Reenumerate_DevNode) reenumerateDevNode = nullptr;
  decltype(&CM_Get_DevNode_Status) getDevNodeStatus = nullptr;
  decltype(&SetupDiGetClassDevsA) getClassDevs = nullptr;
  decltype(&SetupDiEnumDeviceInfo) enumDeviceInfo = nullptr;
  decltype(&SetupDiGetDeviceRegistryPropertyA) getRegistryProperty = nullptr;
  decltype(&SetupDiGetDeviceInstanceIdA) getInstanceId = nullptr;
  decltype(&SetupDiSetClassInstallParamsA) setClassInstallParams = nullptr;
  decltype(&SetupDiCallClassInstaller) callClassInstaller = nullptr;
  decltype(&SetupDiGetDeviceInstallParamsA) getInstallParams = nullptr;
  decltype(&SetupDiDestroyDeviceInfoList) destroyDeviceInfoList = nullptr;
  std::string missing;  // the first function not found

  void FindRescan() {
    cfgmgr32.Find(&locateDevNode, "CM_Locate_DevNodeA", &missing);
    cfgmgr32.Find(&reenumerateDevNode, "CM_Reenumerate_DevNode", &missing);
  }
  void FindEnable() {
    cfgmgr32.Find(&getDevNodeStatus, "CM_Get_DevNode_Status", &missing);
    setupapi.Find(&getClassDevs, "SetupDiGetClassDevsA", &missing);
    setupapi.Find(&enumDeviceInfo, "SetupDiEnumDeviceInfo", &missing);
    setupapi.Find(&getRegistryProperty, "SetupDiGetDeviceRegistryPropertyA", &missing);
    setupapi.Find(&getInstanceId, "SetupDiGetDeviceInstanceIdA", &missing);
    setupapi.Find(&setClassInstallParams, "SetupDiSetClassInstallParamsA", &missing);
    setupapi.Find(&callClassInstaller, "SetupDiCallClassInstaller", &missing);
    setupapi.Find(&getInstallParams, "SetupDiGetDeviceInstallParamsA", &missing);
    setupapi.Find(&destroyDeviceInfoList, "SetupDiDestroyDeviceInfoList", &missing);
  }
};

// One device of a device information set.
struct Device {
  const DeviceFunctions& api;
  HDEVINFO set;
  SP_DEVINFO_DATA data;

  // A registry property's bytes; empty when the device has none (or too many).
  std::string Property(DWORD property) {
    DWORD type = 0, size = 0;
    api.getRegistryProperty(set, &data, property, &type, nullptr, 0, &size);
    if (size == 0 || size > kMaxPropertyBytes) return {};
    std::string bytes(size, '\0');
    if (!api.getRegistryProperty(set, &data, property, &type, reinterpret_cast<BYTE*>(bytes.data()), size,
                                 nullptr))
      return {};
    return bytes;
  }
  // A REG_SZ property, up to its first NUL.
  std::string Text(DWORD property) {
    const std::string bytes = Property(property);
    return bytes.substr(0, bytes.find('\0'));
  }
  std::vector<std::string> Strings(DWORD property) {
    const std::string bytes = Property(property);
    return SplitMultiString(bytes.data(), bytes.size());
  }
  DeviceIds Ids() { return {Text(SPDRP_CLASS), Strings(SPDRP_HARDWAREID), Strings(SPDRP_COMPATIBLEIDS)}; }
  std::string Name() {
    std::string name = Text(SPDRP_FRIENDLYNAME);
    return name.empty() ? Text(SPDRP_DEVICEDESC) : name;
  }
  std::string InstanceId() {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return api.getInstanceId(set, &data, id, sizeof id, nullptr) ? id : "?";
  }
  // Disabled: the configuration manager says so by its problem code. When it cannot say, the
  // device is treated as disabled: enabling an enabled device changes nothing.
  bool Disabled() {
    ULONG status = 0, problem = 0;
    if (api.getDevNodeStatus(&status, &problem, data.DevInst, 0) != CR_SUCCESS) return true;
    return (status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED;
  }
  bool ChangeState(DWORD scope) {
    SP_PROPCHANGE_PARAMS change{};
    change.ClassInstallHeader.cbSize = sizeof change.ClassInstallHeader;
    change.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    change.StateChange = DICS_ENABLE;
    change.Scope = scope;
    change.HwProfile = 0;  // the current hardware profile
    return api.setClassInstallParams(set, &data, &change.ClassInstallHeader, sizeof change) &&
           api.callClassInstaller(DIF_PROPERTYCHANGE, set, &data);
  }
  bool NeedsRestart() {
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    return api.getInstallParams(set, &data, &params) && (params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT));
  }
};

// A device may be disabled for every hardware profile or for the current one only: enabling
// it globally first and then in the current profile covers both; only the second must succeed.
void EnableOne(Device& device, Tally* tally) {
  if (!device.Disabled()) {
    ++tally->alreadyEnabled;
    return;
  }
  const std::string who = device.Name() + " (" + device.InstanceId() + ")";
  device.ChangeState(DICS_FLAG_GLOBAL);
  if (!device.ChangeState(DICS_FLAG_CONFIGSPECIFIC)) {
    ++tally->failed;
    Say("Failed: " + who + ", error " + std::to_string(GetLastError()));
    return;
  }
  ++tally->enabled;
  if (device.NeedsRestart()) {
    ++tally->restartNeeded;
    Say("Enabled after a restart: " + who);
  } else {
    Say("Enabled: " + who);
  }
}

}  // namespace

int Rescan() {
  DeviceFunctions api;
  api.FindRescan();
  if (!api.missing.empty()) {
    Complain(api.missing + " is not available on this system.");
    return kFailed;
  }
  DEVINST root = 0;
  CONFIGRET result = api.locateDevNode(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL);
  if (result != CR_SUCCESS) {
    Complain("cannot find the root of the device tree (configuration manager " + Hex(result) + ").");
    return kFailed;
  }
  result = api.reenumerateDevNode(root, CM_REENUMERATE_SYNCHRONOUS);
  if (result != CR_SUCCESS) {
    Complain("the rescan failed (configuration manager " + Hex(result) + ").");
    return kFailed;
  }
  Say("Scanned for new hardware.");
  return kDone;
}

int Enable(const Command& command) {
  DeviceFunctions api;
  api.FindEnable();
  if (!api.missing.empty()) {
    Complain(api.missing + " is not available on this system.");
    return kFailed;
  }
  HDEVINFO set = api.getClassDevs(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) {
    Complain("cannot list the devices, error " + std::to_string(GetLastError()) + ".");
    return kFailed;
  }
  Tally tally;
  for (DWORD index = 0; index < kMaxDevices; ++index) {
    Device device{api, set, {}};
    device.data.cbSize = sizeof device.data;
    if (!api.enumDeviceInfo(set, index, &device.data)) break;
    if (Selects(command, device.Ids())) EnableOne(device, &tally);
  }
  api.destroyDeviceInfoList(set);
  Say(SummaryLine(tally));
  return ExitCode(tally);
}

bool RefuseUnderWow64() {
#if defined(_WIN64)
  return false;
#else
  // Windows 2000 and the first XP releases lack IsWow64Process: there it cannot be WOW64.
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto isWow64Process =
      kernel ? Cast<IsWow64ProcessFunction>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
  BOOL wow64 = FALSE;
  if (!isWow64Process || !isWow64Process(GetCurrentProcess(), &wow64) || !wow64) return false;
  Complain(
      "this is the 32-bit device console, and this Windows is 64-bit: a 32-bit program cannot "
      "change its devices. Use the one in the x64 folder.");
  return true;
#endif
}

}  // namespace devcon
