// The repair command lists.
#include "app/repair_commands.h"

#include <string_view>
#include <vector>

#include "app/services/services.h"

namespace app {

using runtime::TypedValue;

namespace {

constexpr double kTolerance = 1e-7;

// Components re-registered by lines 8 to 25, in order.
constexpr const char* kComponents[] = {
    "actxprxy.dll", "CLBCATQ.dll",  "cscui.dll",    "hlink.dll",    "jscript.dll", "MLANG.dll",
    "mshtml.dll",   "mshtmled.dll", "msxml3.dll",   "oleaut32.dll", "panmap.dll",  "pngfilt.dll",
    "query.dll",    "shell32.dll",  "stobject.dll", "vbscript.dll", "WINHTTP.dll", "wmp.dll",
};

constexpr const char* kInternetSettings =
    " add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\"";

}  // namespace

void RepairCommands::ResolveSystemPaths() {
  if (resolved_) return;
  resolved_ = true;
  paths_.windowsDir = system_.WindowsFolder();
  paths_.system32Dir = services::Concat({system_.WindowsFolder().get(), "System32\\"});
  paths_.sysWow64Dir = services::Concat({system_.WindowsFolder().get(), "SysWOW64\\"});
  paths_.programFilesDir = services::Concat({system_.MachineFolder("ProgramFilesDir").get(), "\\"});
  paths_.programFilesX86Dir = services::Concat({system_.MachineFolder("ProgramFilesDir (x86)").get(), "\\"});
}

double RepairCommands::GetWindowsVersionNumber() {
  const uint32_t low = system_.WindowsVersion() & 0xFFFF;
  const uint32_t major = low & 0xFF;
  const uint32_t minor = (low & 0xFF00) >> 8;
  return major + minor / 10.0;
}

bool RepairCommands::IsRunningUnderWow64() {
  // A system without IsWow64Process has no WOW64: asking it would end the repair with a
  // runtime error on Windows XP before SP2.
  if (!system_.CanQueryWow64()) return false;
  return system_.QueryWow64() != 0;
}

OwnedText RepairCommands::GetBrowserMajorVersion() {
  OwnedText version = system_.BrowserVersionText();
  OwnedText major;
  // Versions written 9.10 and on keep the real major version after the first dot.
  if (services::TextToNumber(services::LeftText(version.get(), 3).get()) - 9.1 >= -kTolerance) {
    version = system_.BrowserVersionText();
    const int32_t dot = services::FindText(version.get(), ".");
    major = services::MidText(version.get(), dot + 1, 2);
  } else {
    major = services::LeftText(version.get(), 1);
  }
  return services::ToText(TypedValue::Text(major.get()));
}

bool RepairCommands::IsNt6() { return GetWindowsVersionNumber() - 6.0 >= -kTolerance; }

bool RepairCommands::IsIe7() {
  return services::TextToNumber(GetBrowserMajorVersion().get()) - 7.0 >= -kTolerance;
}

void RepairCommands::ReleaseSystemPaths() {
  int expected = kIdle;
  if (pathsUse_.compare_exchange_strong(expected, kReleased, std::memory_order_acq_rel)) {
    paths_ = {};
    return;
  }
  if (expected != kListRunning) return;  // released before
  RequestStop();
  // Should the list end between the two steps, the exchange fails and it is idle: free here.
  if (!pathsUse_.compare_exchange_strong(expected, kReleaseWanted, std::memory_order_acq_rel))
    ReleaseSystemPaths();
}

void RepairCommands::RunRepairCommands() {
  int expected = kIdle;
  if (!pathsUse_.compare_exchange_strong(expected, kListRunning, std::memory_order_acq_rel)) return;
  RunListForSystem();
  expected = kListRunning;
  if (pathsUse_.compare_exchange_strong(expected, kIdle, std::memory_order_acq_rel)) return;
  // The program ended while the list ran: the prefixes were left to this thread.
  paths_ = {};
  pathsUse_.store(kReleased, std::memory_order_release);
}

void RepairCommands::RunListForSystem() {
  if (!IsRunningUnderWow64()) {
    RunRepairList32();
    return;
  }
  void* previous = nullptr;
  if (!system_.DisableRedirection(&previous)) return;
  RunRepairList64();
  // The worker thread had redirection on before: 0 turns it back on.
  system_.RevertRedirection(nullptr);
}

void RepairCommands::RunRepairList32() { IssueList(false); }
void RepairCommands::RunRepairList64() { IssueList(true); }

void RepairCommands::Issue(const char* folder, const char* program, std::initializer_list<const char*> rest) {
  if (stop_.load(std::memory_order_acquire)) return;
  const OwnedText head = services::Concat({folder, program});
  const bool quote = services::View(head).find(' ') != std::string_view::npos;
  std::vector<const char*> pieces;
  if (quote) pieces.push_back("\"");
  pieces.push_back(head.get());
  if (quote) pieces.push_back("\"");
  pieces.insert(pieces.end(), rest.begin(), rest.end());
  const OwnedText line(services::ConcatTexts(pieces));
  // A line is never dropped silently: tried again a few times, then reported.
  constexpr int kTries = 3;
  for (int attempt = 1; !system_.Run(line.get()); ++attempt) {
    if (attempt == kTries || stop_.load(std::memory_order_acquire)) {
      system_.ReportNotStarted(line.get());
      return;
    }
    system_.PauseBeforeRetry();
  }
}

void RepairCommands::IssueList(bool wow64) {
  const char* s = paths_.system32Dir.get();
  const char* x = paths_.sysWow64Dir.get();
  const char* p = paths_.programFilesDir.get();
  const char* q = paths_.programFilesX86Dir.get();
  // From the browser components on, the 64-bit list runs the 32-bit tools on the 32-bit files.
  const char* t = wow64 ? x : s;
  const char* devcon = wow64 ? "\\x64\\devcon.exe" : "\\x86\\devcon.exe";

  Issue(s, "taskkill.exe", {" /im iexplore.exe /f"});
  for (const char* arguments : {" rescan", " enable =Net PCI\\*", " enable =Net USB\\*"}) {
    Issue(system_.RunDirectory().get(), devcon, {arguments});
  }
  Issue(s, "regsvr32.exe", {" /s /i \"", p, "Internet Explorer\\ieproxy.dll\""});
  if (wow64) Issue(x, "regsvr32.exe", {" /s /i \"", q, "Internet Explorer\\ieproxy.dll\""});
  Issue(t, "regsvr32.exe", {" /s /i ", t, "browseui.dll"});
  Issue(t, "regsvr32.exe", {" /s /i ", t, "urlmon.dll"});
  for (const char* component : kComponents) Issue(t, "regsvr32.exe", {" /s ", t, component});

  if (IsNt6()) {
    Issue(t, "unregmp2.exe", {" /UpdateWMPVersion"});
  } else {
    Issue(wow64 ? paths_.windowsDir.get() : t, "inf\\unregmp2.exe", {" /UpdateWMPVersion"});
  }
  Issue(t, "arp.exe", {" -d"});
  Issue(t, "ipconfig.exe", {" /flushdns"});
  Issue(t, "netsh.exe", {" winsock reset"});
  Issue(t, "netsh.exe", {IsNt6() ? " interface ip reset" : " interface ip reset resetlog.txt"});
  Issue(t, "ipconfig.exe", {" /renew"});
  if (IsNt6()) {
    Issue(t, "rundll32.exe", {" /s ", t, "WININET.dll,DispatchAPICall 1"});
    Issue(t, "netsh.exe", {" winhttp reset proxy"});
    Issue(t, "netsh.exe", {" interface tcp reset"});
  } else {
    Issue(t, "proxycfg.exe", {" -d"});
  }
  Issue(t, "Reg.exe", {kInternetSettings, " /v ProxyEnable /t REG_DWORD /d 0 /f"});
  Issue(t, "Reg.exe", {kInternetSettings, " /v AutoConfigURL /t REG_SZ /d \"\" /f"});
  Issue(t, "Reg.exe", {kInternetSettings, " /v GlobalUserOffline /t REG_DWORD /d 0 /f"});
  if (IsNt6()) {
    Issue(t, "sc.exe", {" stop MpsSvc"});
    Issue(t, "sc.exe", {" config wlansvc start= auto"});
    Issue(t, "sc.exe", {" start wlansvc"});
  } else {
    Issue(t, "sc.exe", {" stop SharedAccess"});
    Issue(t, "sc.exe", {" config WZCSVC start= auto"});
    Issue(t, "sc.exe", {" start WZCSVC"});
  }
  Issue(t, "sc.exe", {" config Dhcp start= auto"});
  Issue(t, "sc.exe", {" start Dhcp"});
  Issue(t, "sc.exe", {" config Dnscache start= auto"});
  Issue(t, "sc.exe", {" start Dnscache"});
  Issue(t, "sc.exe", {" config Netman start= demand"});
  Issue(t, "sc.exe", {" config TapiSrv start= demand"});
  Issue(t, "sc.exe", {" config RasMan start= demand"});
  if (IsIe7()) Issue(t, "rundll32.exe", {" ", t, "inetcpl.cpl,ClearMyTracksByProcess 3071"});
}

}  // namespace app
