// The repair run end to end, in a throwaway Wine prefix made by repair_e2e.sh: the program's
// repair starts its command lines for real, with a recorder standing in for every system tool
// (and for devcon.exe beside the program); once with the prefix reporting Windows XP and once
// Windows 7. Wine's own reg.exe clears the proxy setting, and a planted C:\Program.exe never
// runs when the program's folder holds a space. The order of the lines is proven natively;
// here the processes run on their own, so the records are compared as a multiset. A 32-bit
// build in a 64-bit prefix runs under WOW64 and gets the 64-bit list.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/repair_commands_win.h"
#include "app/services/system_win.h"
#include "app/support/expected_repair_list.h"
#include "app/win/stand_ins_win.h"
#include "runtime/core/process_win.h"
#include "support/child_process_win.h"

using testing_support::ExpectedRepairList;
using testing_support::RepairCase;
using namespace testing_support;

namespace {

constexpr const char* kInternetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The child: the program's start-up as far as the repair needs it, then the repair as the
// worker runs it. Its exit code is the low word of the Windows version it saw.
NETMEND_CHILD(repair) {
  runtime::InitializeProcess(nullptr, 0);
  services::InstallWin32Services();
  app::ResolveSystemPaths();
  app::RunRepairCommands();
  return static_cast<int>(GetVersion() & 0xFFFF);
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

DWORD ReadDword(HKEY root, const char* key, const char* name) {
  HKEY opened;
  DWORD value = 0xFFFFFFFF, size = sizeof value;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return value;
  RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(opened);
  return value;
}

class RepairRun : public testing::Test {
 protected:
  void SetUp() override {
    // The tests replace system tools: only ever in a prefix made to be thrown away.
    ASSERT_EQ(EnvironmentValue("NETMEND_THROWAWAY_PREFIX"), "1") << "run through repair_e2e.sh";
    recorder_ = Folder(testing_support::ThisProgram()) + "\\command_recorder.exe";
    ClearFolder(kRecordFolder);
    SetEnvironmentVariableA("NETMEND_RECORD_DIR", kRecordFolder);
    PlaceRecorders({});
  }

  void PlaceRecorders(const std::vector<std::string>& realTools) {
    ASSERT_TRUE(testing_support::PlaceRecorders(recorder_, realTools));
  }

  // A copy of this program in the folder, with the device console tool's recorder in "x86"
  // and "x64".
  std::string InstallProgram(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\repair_e2e.exe";
    EXPECT_TRUE(CopyFileA(testing_support::ThisProgram().c_str(), program.c_str(), FALSE));
    for (const char* machine : {"\\x86", "\\x64"}) {
      CreateDirectoryA((folder + machine).c_str(), nullptr);
      EXPECT_TRUE(CopyFileA(recorder_.c_str(), (folder + machine + "\\devcon.exe").c_str(), FALSE));
    }
    return program;
  }

  // Runs the repair in a copy of this program in the folder, with Wine reporting the version
  // and the browser version set; returns what the recorders recorded.
  std::vector<Record> Repair(const std::string& folder, const char* windows, const char* browser,
                             int expectedMajor) {
    const std::string program = InstallProgram(folder);
    SetRegistryString(HKEY_CURRENT_USER, "Software\\Wine", "Version", windows);
    SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", "Version", browser);
    testing_support::ChildProcess child("repair", program);
    EXPECT_TRUE(child.started());
    const DWORD version = child.Wait(120000);
    EXPECT_EQ(version & 0xFF, static_cast<DWORD>(expectedMajor)) << "the prefix reports " << windows;
    // Every line has been started (the child has ended), without waiting for it: once no
    // stand-in runs any more, every record there will be is there.
    EXPECT_TRUE(WaitForStandInsToEnd(TimeLimit(60000))) << "stand-ins still running";
    return ReadRecords();
  }

  RepairCase Case(const std::string& runDir, bool nt6, bool ie7) {
    RepairCase c;
    c.wow64 = UnderWow64();
    c.nt6 = nt6;
    c.ie7 = ie7;
    c.windowsDir = WindowsFolder();
    c.programFiles = EnvironmentValue("ProgramFiles") + "\\";
    c.programFilesX86 = EnvironmentValue("ProgramFiles(x86)") + "\\";
    c.runDir = runDir;
    return c;
  }

  std::string recorder_;
};

TEST_F(RepairRun, WindowsXpWithInternetExplorer6) {
  const std::string folder = "C:\\netmend-e2e";
  // The 64-bit list (this program under WOW64) registers the browser's proxy library too.
  const size_t lines = 45 + UnderWow64();
  const auto records = Repair(folder, "winxp", "6.0.2900.5512", 5);
  const auto expected = ExpectedRepairList(Case(folder, false, false));
  ASSERT_EQ(expected.size(), lines);
  testing_support::ExpectRecordedLines(records, expected);
}

TEST_F(RepairRun, Windows7WithInternetExplorer8) {
  const std::string folder = "C:\\netmend-e2e";
  const size_t lines = 48 + UnderWow64();
  const auto records = Repair(folder, "win7", "8.0.7600.16385", 6);
  const auto expected = ExpectedRepairList(Case(folder, true, true));
  ASSERT_EQ(expected.size(), lines);
  testing_support::ExpectRecordedLines(records, expected);
}

TEST_F(RepairRun, TheProgramFilesFoldersComeFromTheMachineNotTheEnvironment) {
  const std::string folder = "C:\\netmend-e2e";
  const auto expected = ExpectedRepairList(Case(folder, false, false));
  // What any user can set for the elevated program (HKCU\Environment).
  const std::string programFiles = EnvironmentValue("ProgramFiles");
  const std::string programFilesX86 = EnvironmentValue("ProgramFiles(x86)");
  SetEnvironmentVariableA("ProgramFiles", "C:\\planted");
  SetEnvironmentVariableA("ProgramFiles(x86)", "C:\\planted");
  const auto records = Repair(folder, "winxp", "6.0.2900.5512", 5);
  SetEnvironmentVariableA("ProgramFiles", programFiles.c_str());
  SetEnvironmentVariableA("ProgramFiles(x86)", programFilesX86.empty() ? nullptr : programFilesX86.c_str());
  testing_support::ExpectRecordedLines(records, expected);
}

TEST_F(RepairRun, TheRealRegClearsTheProxySettings) {
  PlaceRecorders({"reg"});
  SetRegistryString(HKEY_CURRENT_USER, kInternetSettings, "AutoConfigURL", "http://proxy.example/wpad.dat");
  HKEY settings;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &settings, nullptr),
            ERROR_SUCCESS);
  const DWORD one = 1;
  RegSetValueExA(settings, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(settings);
  ASSERT_EQ(ReadDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"), 1u);

  const std::string folder = "C:\\netmend-e2e";
  auto expected = ExpectedRepairList(Case(folder, true, true));
  std::erase_if(expected, [](const std::string& line) { return line.find("Reg.exe") != std::string::npos; });
  testing_support::ExpectRecordedLines(Repair(folder, "win7", "8.0.7600.16385", 6), expected);
  // The three reg.exe processes run on their own: give them time.
  const DWORD start = GetTickCount();
  while (ReadDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable") != 0 &&
         GetTickCount() - start < TimeLimit(30000))
    Sleep(100);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"), 0u);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kInternetSettings, "GlobalUserOffline"), 0u);
}

TEST_F(RepairRun, APlantedProgramExeNeverRunsForAFolderWithASpace) {
  const std::string planted = "C:\\Program.exe";
  ASSERT_TRUE(CopyFileA(recorder_.c_str(), planted.c_str(), FALSE));
  const std::string folder = EnvironmentValue("ProgramFiles") + "\\Netmend E2E";
  ASSERT_NE(folder.find(' '), std::string::npos);
  const auto records = Repair(folder, "winxp", "6.0.2900.5512", 5);
  DeleteFileA(planted.c_str());
  for (const Record& record : records)
    EXPECT_NE(_stricmp(record.program.c_str(), planted.c_str()), 0) << record.commandLine;
  testing_support::ExpectRecordedLines(records, ExpectedRepairList(Case(folder, false, false)));
  const auto devcon = std::count_if(records.begin(), records.end(), [&](const Record& record) {
    return _stricmp(record.program.c_str(),
                    (folder + (UnderWow64() ? "\\x64" : "\\x86") + "\\devcon.exe").c_str()) == 0;
  });
  EXPECT_EQ(devcon, 3) << "the device console tool itself ran the three devcon lines";
}

}  // namespace
