// The repair run end to end, in a throwaway Wine prefix made by repair_e2e.sh: the program's
// repair starts its command lines for real, with a recorder standing in for every system tool
// (and for devcon.exe beside the program); once with the prefix reporting Windows XP and once
// Windows 7. Wine's own reg.exe clears the proxy setting, and a planted C:\Program.exe never
// runs when the program's folder holds a space. The order of the lines is proven natively;
// here the processes run on their own, so the records are compared as a multiset.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "app/repair_commands_win.h"
#include "app/services/system_win.h"
#include "app/support/expected_repair_list.h"
#include "runtime/process_win.h"
#include "support/child_process_win.h"

using testing_support::ExpectedRepairList;
using testing_support::RepairCase;

namespace {

constexpr const char* kTools[] = {"taskkill", "regsvr32", "unregmp2", "arp", "ipconfig",
                                  "netsh",    "rundll32", "proxycfg", "reg", "sc"};
constexpr const char* kRecords = "C:\\netmend-e2e-records";
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

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string WindowsFolder() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path) + "\\";
}

std::string Environment(const char* name) {
  char value[MAX_PATH] = {};
  GetEnvironmentVariableA(name, value, MAX_PATH);
  return value;
}

void SetString(HKEY root, const char* key, const char* name, const std::string& value) {
  HKEY opened;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(opened);
}

void DeleteValue(HKEY root, const char* key, const char* name) {
  HKEY opened;
  if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  RegDeleteValueA(opened, name);
  RegCloseKey(opened);
}

DWORD ReadDword(HKEY root, const char* key, const char* name) {
  HKEY opened;
  DWORD value = 0xFFFFFFFF, size = sizeof value;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return value;
  RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(opened);
  return value;
}

struct Record {
  std::string program, commandLine, show;
};

std::vector<Record> ReadRecords() {
  std::vector<Record> records;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(kRecords) + "\\*.record").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    std::ifstream file(std::string(kRecords) + "\\" + found.cFileName, std::ios::binary);
    Record record;
    std::getline(file, record.program);
    std::getline(file, record.commandLine);
    std::getline(file, record.show);
    records.push_back(record);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return records;
}

void ClearFolder(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileA((folder + "\\" + found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

class RepairRun : public testing::Test {
 protected:
  void SetUp() override {
    // The tests replace system tools: only ever in a prefix made to be thrown away.
    ASSERT_EQ(Environment("NETMEND_THROWAWAY_PREFIX"), "1") << "run through repair_e2e.sh";
    recorder_ = Folder(testing_support::ThisProgram()) + "\\command_recorder.exe";
    ClearFolder(kRecords);
    SetEnvironmentVariableA("NETMEND_RECORD_DIR", kRecords);
    PlaceRecorders({});
  }

  // Puts the recorder in place of every tool but the ones named, and makes Wine prefer it to
  // its built-in tool of the same name; the ones named get their original file back.
  void PlaceRecorders(const std::vector<std::string>& realTools) {
    const std::string system = SystemFolder();
    CreateDirectoryA((system + "\\inf").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(recorder_.c_str(), (system + "\\inf\\unregmp2.exe").c_str(), FALSE));
    for (const char* tool : kTools) {
      const std::string path = system + "\\" + tool + ".exe";
      const std::string saved = path + ".original";
      const std::string name = std::string(tool) + ".exe";
      // The first time round the original is kept aside.
      if (GetFileAttributesA(saved.c_str()) == INVALID_FILE_ATTRIBUTES)
        CopyFileA(path.c_str(), saved.c_str(), TRUE);
      if (std::find(realTools.begin(), realTools.end(), tool) != realTools.end()) {
        ASSERT_TRUE(CopyFileA(saved.c_str(), path.c_str(), FALSE)) << path;
        DeleteValue(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name.c_str());
        continue;
      }
      ASSERT_TRUE(CopyFileA(recorder_.c_str(), path.c_str(), FALSE)) << path;
      SetString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name.c_str(), "native");
    }
  }

  // A copy of this program in the folder, with the device console tool's recorder in "x86".
  std::string InstallProgram(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\x86").c_str(), nullptr);
    const std::string program = folder + "\\repair_e2e.exe";
    EXPECT_TRUE(CopyFileA(testing_support::ThisProgram().c_str(), program.c_str(), FALSE));
    EXPECT_TRUE(CopyFileA(recorder_.c_str(), (folder + "\\x86\\devcon.exe").c_str(), FALSE));
    return program;
  }

  // Runs the repair in a copy of this program in the folder, with Wine reporting the version
  // and the browser version set; returns what the recorders recorded once `expected` lines
  // have come in (or the time is up).
  std::vector<Record> Repair(const std::string& folder, const char* windows, const char* browser,
                             size_t expected, int expectedMajor) {
    const std::string program = InstallProgram(folder);
    SetString(HKEY_CURRENT_USER, "Software\\Wine", "Version", windows);
    SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", "Version", browser);
    testing_support::ChildProcess child("repair", program);
    EXPECT_TRUE(child.started());
    const DWORD version = child.Wait(120000);
    EXPECT_EQ(version & 0xFF, static_cast<DWORD>(expectedMajor)) << "the prefix reports " << windows;
    // The lines were started without waiting: wait for their records, then a little longer
    // for any that should not be there.
    for (int i = 0; i < 600 && ReadRecords().size() < expected; ++i) Sleep(100);
    Sleep(1000);
    return ReadRecords();
  }

  RepairCase Case(const std::string& runDir, bool nt6, bool ie7) {
    RepairCase c;
    c.nt6 = nt6;
    c.ie7 = ie7;
    c.windowsDir = WindowsFolder();
    c.programFiles = Environment("ProgramFiles") + "\\";
    c.runDir = runDir;
    return c;
  }

  static void ExpectSameLines(const std::vector<Record>& records, std::vector<std::string> expected) {
    std::vector<std::string> actual;
    for (const Record& record : records) {
      actual.push_back(record.commandLine);
      EXPECT_EQ(record.show, "1 0") << record.commandLine << ": started hidden";
    }
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    for (const auto& line : missing) ADD_FAILURE() << "not started: " << line;
    for (const auto& line : extra) ADD_FAILURE() << "started but not expected: " << line;
  }

  std::string recorder_;
};

TEST_F(RepairRun, WindowsXpWithInternetExplorer6) {
  const std::string folder = "C:\\netmend-e2e";
  const auto records = Repair(folder, "winxp", "6.0.2900.5512", 45, 5);
  const auto expected = ExpectedRepairList(Case(folder, false, false));
  ASSERT_EQ(expected.size(), 45u);
  ExpectSameLines(records, expected);
}

TEST_F(RepairRun, Windows7WithInternetExplorer8) {
  const std::string folder = "C:\\netmend-e2e";
  const auto records = Repair(folder, "win7", "8.0.7600.16385", 48, 6);
  const auto expected = ExpectedRepairList(Case(folder, true, true));
  ASSERT_EQ(expected.size(), 48u);
  ExpectSameLines(records, expected);
}

TEST_F(RepairRun, TheRealRegClearsTheProxySettings) {
  PlaceRecorders({"reg"});
  SetString(HKEY_CURRENT_USER, kInternetSettings, "AutoConfigURL", "http://proxy.example/wpad.dat");
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
  ExpectSameLines(Repair(folder, "win7", "8.0.7600.16385", expected.size(), 6), expected);
  // The three reg.exe processes run on their own: give them time.
  for (int i = 0; i < 300 && ReadDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable") != 0; ++i)
    Sleep(100);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"), 0u);
  EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kInternetSettings, "GlobalUserOffline"), 0u);
}

TEST_F(RepairRun, APlantedProgramExeNeverRunsForAFolderWithASpace) {
  const std::string planted = "C:\\Program.exe";
  ASSERT_TRUE(CopyFileA(recorder_.c_str(), planted.c_str(), FALSE));
  const std::string folder = Environment("ProgramFiles") + "\\Netmend E2E";
  ASSERT_NE(folder.find(' '), std::string::npos);
  const auto records = Repair(folder, "winxp", "6.0.2900.5512", 45, 5);
  DeleteFileA(planted.c_str());
  for (const Record& record : records)
    EXPECT_NE(_stricmp(record.program.c_str(), planted.c_str()), 0) << record.commandLine;
  ExpectSameLines(records, ExpectedRepairList(Case(folder, false, false)));
  const auto devcon = std::count_if(records.begin(), records.end(), [&](const Record& record) {
    return _stricmp(record.program.c_str(), (folder + "\\x86\\devcon.exe").c_str()) == 0;
  });
  EXPECT_EQ(devcon, 3) << "the device console tool itself ran the three devcon lines";
}

}  // namespace
