// The table of repair command lines, row by row. {S} System32, {X} SysWOW64, {W} the Windows
// folder, {P} and {Q} the program-files folders, {R} the run directory, {D} "x86" or "x64";
// {T} is {S} in the 32-bit list and {X} in the 64-bit one; {U} is {T} in the 32-bit list and {W}
// in the 64-bit one. The head (the program's path) is in double quotes when it holds a space.
#include "app/support/expected_repair_list.h"

namespace testing_support {
namespace {

enum When { kAlways, kOnly64, kNt6, kNotNt6, kIe7 };

struct Row {
  When when;
  const char* head;
  const char* rest;
};

constexpr Row kRows[] = {
    {kAlways, "{S}taskkill.exe", " /im iexplore.exe /f"},
    {kAlways, "{R}\\{D}\\devcon.exe", " rescan"},
    {kAlways, "{R}\\{D}\\devcon.exe", " enable =Net PCI\\*"},
    {kAlways, "{R}\\{D}\\devcon.exe", " enable =Net USB\\*"},
    {kAlways, "{S}regsvr32.exe", " /s /i \"{P}Internet Explorer\\ieproxy.dll\""},
    {kOnly64, "{X}regsvr32.exe", " /s /i \"{Q}Internet Explorer\\ieproxy.dll\""},
    {kAlways, "{T}regsvr32.exe", " /s /i {T}browseui.dll"},
    {kAlways, "{T}regsvr32.exe", " /s /i {T}urlmon.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}actxprxy.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}CLBCATQ.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}cscui.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}hlink.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}jscript.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}MLANG.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}mshtml.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}mshtmled.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}msxml3.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}oleaut32.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}panmap.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}pngfilt.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}query.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}shell32.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}stobject.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}vbscript.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}WINHTTP.dll"},
    {kAlways, "{T}regsvr32.exe", " /s {T}wmp.dll"},
    {kNt6, "{T}unregmp2.exe", " /UpdateWMPVersion"},
    {kNotNt6, "{U}inf\\unregmp2.exe", " /UpdateWMPVersion"},
    {kAlways, "{T}arp.exe", " -d"},
    {kAlways, "{T}ipconfig.exe", " /flushdns"},
    {kAlways, "{T}netsh.exe", " winsock reset"},
    {kNt6, "{T}netsh.exe", " interface ip reset"},
    {kNotNt6, "{T}netsh.exe", " interface ip reset resetlog.txt"},
    {kAlways, "{T}ipconfig.exe", " /renew"},
    {kNt6, "{T}rundll32.exe", " /s {T}WININET.dll,DispatchAPICall 1"},
    {kNt6, "{T}netsh.exe", " winhttp reset proxy"},
    {kNt6, "{T}netsh.exe", " interface tcp reset"},
    {kNotNt6, "{T}proxycfg.exe", " -d"},
    {kAlways, "{T}Reg.exe",
     " add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\" /v ProxyEnable /t "
     "REG_DWORD "
     "/d 0 /f"},
    {kAlways, "{T}Reg.exe",
     " add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\" /v AutoConfigURL /t "
     "REG_SZ /d "
     "\"\" /f"},
    {kAlways, "{T}Reg.exe",
     " add \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\" /v GlobalUserOffline /t "
     "REG_DWORD /d 0 /f"},
    {kNt6, "{T}sc.exe", " stop MpsSvc"},
    {kNt6, "{T}sc.exe", " config wlansvc start= auto"},
    {kNt6, "{T}sc.exe", " start wlansvc"},
    {kNotNt6, "{T}sc.exe", " stop SharedAccess"},
    {kNotNt6, "{T}sc.exe", " config WZCSVC start= auto"},
    {kNotNt6, "{T}sc.exe", " start WZCSVC"},
    {kAlways, "{T}sc.exe", " config Dhcp start= auto"},
    {kAlways, "{T}sc.exe", " start Dhcp"},
    {kAlways, "{T}sc.exe", " config Dnscache start= auto"},
    {kAlways, "{T}sc.exe", " start Dnscache"},
    {kAlways, "{T}sc.exe", " config Netman start= demand"},
    {kAlways, "{T}sc.exe", " config TapiSrv start= demand"},
    {kAlways, "{T}sc.exe", " config RasMan start= demand"},
    {kIe7, "{T}rundll32.exe", " {T}inetcpl.cpl,ClearMyTracksByProcess 3071"},
};

std::string Fill(std::string text, const RepairCase& c) {
  const std::string s = c.windowsDir + "System32\\";
  const std::string x = c.windowsDir + "SysWOW64\\";
  const std::pair<const char*, std::string> names[] = {
      {"{S}", s},
      {"{X}", x},
      {"{W}", c.windowsDir},
      {"{P}", c.programFiles},
      {"{Q}", c.programFilesX86},
      {"{R}", c.runDir},
      {"{D}", c.wow64 ? "x64" : "x86"},
      {"{T}", c.wow64 ? x : s},
      {"{U}", c.wow64 ? c.windowsDir : s},
  };
  for (const auto& [name, value] : names) {
    for (size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, 3, value);
  }
  return text;
}

bool Applies(When when, const RepairCase& c) {
  switch (when) {
    case kAlways:
      return true;
    case kOnly64:
      return c.wow64;
    case kNt6:
      return c.nt6;
    case kNotNt6:
      return !c.nt6;
    case kIe7:
      return c.ie7;
  }
  return false;
}

}  // namespace

std::vector<std::string> ExpectedRepairList(const RepairCase& c) {
  std::vector<std::string> lines;
  for (const Row& row : kRows) {
    if (!Applies(row.when, c)) continue;
    std::string head = Fill(row.head, c);
    if (head.find(' ') != std::string::npos) head = "\"" + head + "\"";
    lines.push_back(head + Fill(row.rest, c));
  }
  return lines;
}

}  // namespace testing_support
