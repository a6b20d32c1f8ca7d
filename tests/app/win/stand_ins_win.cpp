// The system tools' stand-ins and their records.
#include "app/win/stand_ins_win.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>

namespace testing_support {
namespace {

constexpr const char* kTools[] = {"taskkill", "regsvr32", "unregmp2", "arp", "ipconfig",
                                  "netsh",    "rundll32", "proxycfg", "reg", "sc"};

void* Kernel32(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), name));
}

// File-system redirection switched off on this thread while it lives (under WOW64), so that
// System32 is the 64-bit system's own folder.
class RedirectionOff {
 public:
  RedirectionOff() {
    if (!UnderWow64()) return;
    const auto disable = reinterpret_cast<BOOL(WINAPI*)(void**)>(Kernel32("Wow64DisableWow64FsRedirection"));
    off_ = disable && disable(&previous_);
  }
  ~RedirectionOff() {
    if (off_) reinterpret_cast<BOOL(WINAPI*)(void*)>(Kernel32("Wow64RevertWow64FsRedirection"))(previous_);
  }
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

 private:
  void* previous_ = nullptr;
  bool off_ = false;
};

bool PlaceRecordersIn(const std::string& system, const std::string& recorder,
                      const std::vector<std::string>& realTools) {
  CreateDirectoryA((system + "\\inf").c_str(), nullptr);
  if (!CopyFileA(recorder.c_str(), (system + "\\inf\\unregmp2.exe").c_str(), FALSE)) return false;
  for (const char* tool : kTools) {
    const std::string path = system + "\\" + tool + ".exe";
    const std::string saved = path + ".original";
    const std::string name = std::string(tool) + ".exe";
    // The first time round the original is kept aside.
    if (GetFileAttributesA(saved.c_str()) == INVALID_FILE_ATTRIBUTES)
      CopyFileA(path.c_str(), saved.c_str(), TRUE);
    if (std::find(realTools.begin(), realTools.end(), tool) != realTools.end()) {
      if (!CopyFileA(saved.c_str(), path.c_str(), FALSE)) return false;
      DeleteRegistryValue(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name.c_str());
      continue;
    }
    if (!CopyFileA(recorder.c_str(), path.c_str(), FALSE)) return false;
    SetRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name.c_str(), "native");
  }
  return true;
}

bool IsStandIn(const char* file) {
  for (const char* tool : kTools)
    if (_stricmp(file, (std::string(tool) + ".exe").c_str()) == 0) return true;
  return _stricmp(file, "devcon.exe") == 0 || _stricmp(file, "Program.exe") == 0;
}

// Whether a process named as a stand-in runs now; with `end`, each one found is ended.
bool AnyStandInRuns(bool end = false) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool runs = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (!IsStandIn(entry.szExeFile)) continue;
    runs = true;
    if (!end) break;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 1);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
  return runs;
}

}  // namespace

bool WaitForStandInsToEnd(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (AnyStandInRuns()) {
    if (GetTickCount() - start >= milliseconds) return false;
    Sleep(50);
  }
  return true;
}

void EndStandIns() {
  for (int round = 0; round < 20 && AnyStandInRuns(true); ++round) Sleep(100);
}

bool UnderWow64() {
  const auto query = reinterpret_cast<BOOL(WINAPI*)(HANDLE, BOOL*)>(Kernel32("IsWow64Process"));
  BOOL wow64 = FALSE;
  return query && query(GetCurrentProcess(), &wow64) && wow64;
}

std::vector<Record> ReadRecords() {
  std::vector<Record> records;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(kRecordFolder) + "\\*.record").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    std::ifstream file(std::string(kRecordFolder) + "\\" + found.cFileName, std::ios::binary);
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

void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value) {
  HKEY opened;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(opened);
}

void DeleteRegistryValue(HKEY root, const char* key, const char* name) {
  HKEY opened;
  if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
  RegDeleteValueA(opened, name);
  RegCloseKey(opened);
}

bool PlaceRecorders(const std::string& recorder, const std::vector<std::string>& realTools) {
  // Replacing system tools must never happen in the shared prefix.
  if (EnvironmentValue("NETMEND_THROWAWAY_PREFIX") != "1") return false;
  // Under WOW64 the 64-bit list starts the tools of both System32 and SysWOW64, and the older
  // systems' unregmp2.exe from the Windows folder's inf.
  RedirectionOff redirectionOff;
  if (UnderWow64() && (!CopyFileA(recorder.c_str(), (WindowsFolder() + "inf\\unregmp2.exe").c_str(), FALSE) ||
                       !PlaceRecordersIn(WindowsFolder() + "SysWOW64", recorder, realTools))) {
    return false;
  }
  return PlaceRecordersIn(SystemFolder(), recorder, realTools);
}

void ExpectRecordedLines(const std::vector<Record>& records, std::vector<std::string> expected) {
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
  if (!missing.empty()) {
    // A record still under its temporary name: that recorder ran but could not finish it.
    std::string unfinished;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(kRecordFolder) + "\\*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do unfinished += std::string(" ") + found.cFileName;
      while (FindNextFileA(search, &found));
      FindClose(search);
    }
    ADD_FAILURE() << (unfinished.empty() ? "no recorder left an unfinished record"
                                         : "unfinished records:" + unfinished);
  }
  for (const auto& line : extra) ADD_FAILURE() << "started but not expected: " << line;
}

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

std::string EnvironmentValue(const char* name) {
  char value[MAX_PATH] = {};
  GetEnvironmentVariableA(name, value, MAX_PATH);
  return value;
}

}  // namespace testing_support
