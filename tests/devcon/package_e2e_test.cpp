// One repair from the unpacked release package under Wine, with the package's own devcon.exe
// and recorders standing in for the other system tools (package_e2e.sh unpacks the package
// and makes the throwaway prefix): lines 2 to 4 start our devcon.exe, from the folder the
// repair's list names, and it exits by itself with one of its own codes, never a crash; every
// other line reaches its recorder. The program's children are watched in the process list.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/support/expected_repair_list.h"
#include "app/win/stand_ins_win.h"
#include "e2e/netmend_run_win.h"
#include "support/child_process_win.h"

namespace {

using namespace testing_support;

struct Started {
  HANDLE process;
  std::string image;
};

std::string ImageOf(HANDLE process) {
  using Query = BOOL(WINAPI*)(HANDLE, DWORD, char*, DWORD*);
  static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  char image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  return query && query(process, 0, image, &size) ? std::string(image, size) : std::string();
}

// The unpacked package (its folder, with netmend.exe in it) as the script passed it on.
std::string PackageFolder() {
  const char* folder = std::getenv("NETMEND_PACKAGE");
  return folder ? folder : "";
}

// The package's files into the run's folder. A 64-bit test program cannot start the i686
// programs on a host without 32-bit Windows support: the run's netmend.exe is this build's,
// and its 32-bit list's x86\devcon.exe the package's x64 one.
void LayOut(const std::string& package, const std::string& folder) {
  const bool host64 = sizeof(void*) == 8;
  for (const char* name : {"README.txt", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "SHA256SUMS"})
    EXPECT_TRUE(CopyFileA((package + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE)) << name;
  for (const char* machine : {"x86", "x64"}) {
    CreateDirectoryA((folder + "\\" + machine).c_str(), nullptr);
    const std::string from = package + (host64 ? "\\x64" : std::string("\\") + machine) + "\\devcon.exe";
    EXPECT_TRUE(CopyFileA(from.c_str(), (folder + "\\" + machine + "\\devcon.exe").c_str(), FALSE)) << from;
  }
}

TEST(PackageRun, TheRepairStartsOurDevconForLinesTwoToFour) {
  const std::string package = PackageFolder();
  ASSERT_FALSE(package.empty()) << "NETMEND_PACKAGE names no unpacked package";
  ASSERT_TRUE(PlaceRecorders(e2e::Recorder()));
  ClearFolder(kRecordFolder);
  SetEnvironmentVariableA("NETMEND_RECORD_DIR", kRecordFolder);
  SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", "Version",
                    "8.0.7600.16385");
  e2e::NetmendRun run(e2e::Launch{.folder = "package", .windowsVersion = "win7"});
  LayOut(package, run.folder());
  ASSERT_TRUE(run.WaitForWindows(30000));
  HWND repair = run.ChildAt(e2e::kRepair.x, e2e::kRepair.y);
  ASSERT_TRUE(repair);
  e2e::PostClick(repair, 20, 20);

  // The program's children named devcon.exe, held open as soon as they are seen so that
  // their ends can be read after them (under Wine a process lives for a good while).
  const std::string devcon = run.folder() + (UnderWow64() ? "\\x64" : "\\x86") + "\\devcon.exe";
  std::map<DWORD, Started> started;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < TimeLimit(40000) && started.size() < 3;) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
      if (entry.th32ParentProcessID != run.id() || lstrcmpiA(entry.szExeFile, "devcon.exe") != 0 ||
          started.count(entry.th32ProcessID))
        continue;
      HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID);
      if (process) started[entry.th32ProcessID] = {process, ImageOf(process)};
    }
    CloseHandle(snapshot);
    Sleep(20);
  }
  EXPECT_EQ(started.size(), 3u) << "our devcon.exe for the rescan and the two enable lines";
  for (const auto& [id, s] : started) {
    EXPECT_EQ(lstrcmpiA(s.image.c_str(), devcon.c_str()), 0) << s.image << " instead of " << devcon;
    const DWORD code = WaitForExit(s.process, TimeLimit(30000));
    std::printf("devcon.exe (%s) ended with %lu\n", s.image.c_str(), code);
    EXPECT_LE(code, 2u) << "its own codes (0 done, 1 restart, 2 failed), never a crash or its usage";
    CloseHandle(s.process);
  }

  // The other lines went to the recorders, as from a folder of the program's own.
  RepairCase c;
  c.wow64 = UnderWow64();
  c.nt6 = c.ie7 = true;
  c.windowsDir = WindowsFolder();
  c.programFiles = EnvironmentValue("ProgramFiles") + "\\";
  c.programFilesX86 = EnvironmentValue("ProgramFiles(x86)") + "\\";
  c.runDir = run.folder();
  std::vector<std::string> expected = ExpectedRepairList(c);
  std::erase_if(expected,
                [](const std::string& line) { return line.find("\\devcon.exe") != std::string::npos; });
  for (int i = 0; i < 300 && ReadRecords().size() < expected.size(); ++i) Sleep(100);
  ExpectRecordedLines(ReadRecords(), expected);
}

}  // namespace
