// The runtime commands against the real system under Wine: processes started with their show
// mode, waited for or not and leaving no handle open; files, environment, folders, the
// registry, threads, the message box and the clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

#include "app/services/services.h"
#include "app/services/system_win.h"
#include "support/child_process_win.h"

using namespace services;
using runtime::TypedValue;
using testing_support::TemporaryFolder;

namespace {

std::string Str(const OwnedText& text) { return std::string(View(text)); }

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// The recorder, copied beside this test program by the build.
std::string Recorder() { return Folder(testing_support::ThisProgram()) + "\\command_recorder.exe"; }

// The records the recorder left in the folder.
std::vector<std::string> Records(const TemporaryFolder& folder) {
  std::vector<std::string> records;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(folder.File("*.record").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    std::ifstream file(folder.File(found.cFileName), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    records.push_back(text.str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return records;
}

// A record's lines: the program's path, its command line, then the show flag and the
// show-window value.
std::vector<std::string> Lines(const std::string& record) {
  std::vector<std::string> lines;
  std::istringstream in(record);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void ClearRecords(const TemporaryFolder& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(folder.File("*.record").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileA(folder.File(found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

class Services : public testing::Test {
 protected:
  void SetUp() override {
    InstallWin32Services();
    SetEnvironmentVariableA("NETMEND_RECORD_DIR", records_.path().c_str());
    SetEnvironmentVariableA("NETMEND_RECORD_DELAY_MS", nullptr);
  }
  void TearDown() override {
    SetEnvironmentVariableA("NETMEND_RECORD_DIR", nullptr);
    SetEnvironmentVariableA("NETMEND_RECORD_DELAY_MS", nullptr);
  }
  TemporaryFolder records_;
};

TEST_F(Services, RunCommandLineStartsTheProgramWithItsShowMode) {
  const std::pair<std::optional<int32_t>, const char*> modes[] = {
      {std::nullopt, "1 1"}, {0, "1 0"}, {-5, "1 0"}, {9, "1 6"}, {3, "1 2"}, {1, "1 0"}};
  for (const auto& [mode, expected] : modes) {
    const std::string line = "\"" + Recorder() + "\" mode " + std::to_string(mode.value_or(99));
    ASSERT_TRUE(RunCommandLine(line.c_str(), true, mode));
    const auto records = Records(records_);
    ASSERT_EQ(records.size(), 1u) << "waited for: the record is there";
    const auto lines = Lines(records[0]);
    ASSERT_EQ(lines.size(), 3u) << records[0];
    EXPECT_EQ(lines[1], line);
    EXPECT_EQ(lines[2], expected) << line;
    ClearRecords(records_);
  }
}

TEST_F(Services, RunCommandLineWithoutWaitingReturnsBeforeTheProgramEnds) {
  SetEnvironmentVariableA("NETMEND_RECORD_DELAY_MS", "3000");
  ASSERT_TRUE(RunCommandLine(("\"" + Recorder() + "\" late").c_str(), false, 1));
  EXPECT_TRUE(Records(records_).empty());
  for (int i = 0; i < 200 && Records(records_).empty(); ++i) Sleep(50);
  EXPECT_EQ(Records(records_).size(), 1u) << "it did start";
}

// The handle values the next new kernel objects get. The system hands out the lowest free
// slots, so a handle left open anywhere among them changes the list.
std::vector<HANDLE> NextHandles() {
  std::vector<HANDLE> handles;
  for (int i = 0; i < 32; ++i) handles.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  for (HANDLE handle : handles) CloseHandle(handle);
  // The system hands free handle values back in an order that depends on what was closed
  // last, so the probe compares which values are free, not their order.
  std::sort(handles.begin(), handles.end());
  return handles;
}

TEST_F(Services, RunCommandLineLeavesNoHandleOpen) {
  const auto before = NextHandles();
  EXPECT_TRUE(RunCommandLine(("\"" + Recorder() + "\" one").c_str(), true, 1));
  EXPECT_TRUE(RunCommandLine(("\"" + Recorder() + "\" two").c_str(), false, 1));
  EXPECT_FALSE(RunCommandLine("C:\\no\\such\\program.exe", false, 1));
  EXPECT_FALSE(RunCommandLine("", false, 1));
  EXPECT_EQ(NextHandles(), before);
  // The probe sees one handle left open.
  HANDLE kept = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_NE(NextHandles(), before);
  CloseHandle(kept);
  for (int i = 0; i < 200 && Records(records_).size() < 2; ++i) Sleep(50);
}

TEST_F(Services, FilesAndEnvironment) {
  TemporaryFolder folder;
  {
    std::ofstream file(folder.File("a.bin"), std::ios::binary);
    file.write("\x01\x00\x02", 3);
  }
  EXPECT_TRUE(FileExists(folder.File("a.bin").c_str()));
  EXPECT_TRUE(FileExists(folder.File("*.bin").c_str()));
  EXPECT_FALSE(FileExists(folder.File("b.bin").c_str()));
  const OwnedBytes bytes = ReadFileBytes(folder.File("a.bin").c_str());
  const auto view = runtime::ByteSetView(bytes.get());
  EXPECT_EQ(std::vector<uint8_t>(view.begin(), view.end()), (std::vector<uint8_t>{1, 0, 2}));
  EXPECT_EQ(ReadFileBytes(folder.File("b.bin").c_str()), nullptr);
  EXPECT_EQ(ReadFileBytes(folder.path().c_str()), nullptr) << "a folder is not a file";
  DeleteFileA(folder.File("a.bin").c_str());

  const std::string longValue(600, 'v');
  SetEnvironmentVariableA("NETMEND_TEST_VALUE", longValue.c_str());
  EXPECT_EQ(Str(ReadEnvironment("NETMEND_TEST_VALUE")), longValue);
  SetEnvironmentVariableA("NETMEND_TEST_VALUE", nullptr);
  EXPECT_EQ(ReadEnvironment("NETMEND_TEST_VALUE"), nullptr);

  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  EXPECT_EQ(Str(GetRunDirectory()), Folder(program));
}

TEST_F(Services, SpecialFolders) {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, MAX_PATH);
  EXPECT_EQ(Str(GetSpecialFolder(9)), std::string(path) + "\\");
  GetSystemDirectoryA(path, MAX_PATH);
  EXPECT_EQ(Str(GetSpecialFolder(10)), std::string(path) + "\\");
  GetTempPathA(MAX_PATH, path);
  EXPECT_EQ(Str(GetSpecialFolder(11)), std::string(path));
  for (int code = 1; code <= 8; ++code) {
    const std::string folder = Str(GetSpecialFolder(code));
    ASSERT_GT(folder.size(), 3u) << code;
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES) << folder;
  }
  EXPECT_EQ(GetSpecialFolder(12), nullptr);
}

// Sets Internet Explorer's "Version" value for the test and puts the old one back after it.
class BrowserVersion {
 public:
  BrowserVersion() {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    DWORD size = sizeof saved_;
    hadValue_ =
        RegQueryValueExA(key_, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size) == 0;
  }
  ~BrowserVersion() {
    if (hadValue_) {
      RegSetValueExA(key_, "Version", 0, REG_SZ, reinterpret_cast<BYTE*>(saved_), std::strlen(saved_) + 1);
    } else {
      RegDeleteValueA(key_, "Version");
    }
    RegCloseKey(key_);
  }
  void Set(const std::string& value) {
    RegSetValueExA(key_, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   value.size() + 1);
  }
  void Remove() { RegDeleteValueA(key_, "Version"); }

 private:
  static constexpr const char* kKey = "SOFTWARE\\Microsoft\\Internet Explorer";
  HKEY key_ = nullptr;
  char saved_[512] = {};
  bool hadValue_ = false;
};

TEST_F(Services, GetBrowserVersionTextReadsTheRegistry) {
  BrowserVersion version;
  version.Set("8.0.7600.16385");
  EXPECT_EQ(Str(GetBrowserVersionText()), "8.0.7600.16385");
  version.Set(std::string(99, '9'));
  EXPECT_EQ(Str(GetBrowserVersionText()), std::string(99, '9')) << "99 bytes and the terminator fit";
  version.Set(std::string(150, '9'));
  EXPECT_EQ(GetBrowserVersionText(), nullptr) << "a value that does not fit reads as missing";
  version.Remove();
  EXPECT_EQ(GetBrowserVersionText(), nullptr);
}

std::atomic<intptr_t> gSeenParameter{-1};
HANDLE gBlock = nullptr;

void RecordParameter() { gSeenParameter = ThreadParameter(); }
void BlockForever() { WaitForSingleObject(gBlock, INFINITE); }

TEST_F(Services, ThreadsStartWithTheirParameterAndCanBeEnded) {
  int32_t handle = 0;
  ASSERT_TRUE(StartThread(RecordParameter, 77, &handle));
  ASSERT_NE(handle, 0);
  const HANDLE thread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(gSeenParameter, 77);
  CloseHandle(thread);

  gSeenParameter = -1;
  const auto before = NextHandles();
  ASSERT_TRUE(StartThread(RecordParameter));
  for (int i = 0; i < 200 && gSeenParameter == -1; ++i) Sleep(10);
  EXPECT_EQ(gSeenParameter, 0);
  // The thread may still be on its way out, holding what its libraries gave it; a handle left
  // open never goes away.
  const DWORD start = GetTickCount();
  while (NextHandles() != before && GetTickCount() - start < testing_support::TimeLimit(2000)) Sleep(10);
  EXPECT_EQ(NextHandles(), before) << "without a variable the handle is closed at once";

  gBlock = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(StartThread(BlockForever, std::nullopt, &handle));
  const HANDLE blocked = reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
  EXPECT_EQ(WaitForSingleObject(blocked, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(ForceEndThread(handle));
  EXPECT_EQ(WaitForSingleObject(blocked, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(blocked, &code);
  EXPECT_EQ(code, 0xFFFFFFFFu);
  CloseHandle(blocked);
  CloseHandle(gBlock);
}

NETMEND_CHILD(message_box) {
  InstallWin32Services();
  return ShowMessageBox(TypedValue::Text("修复完成"), MB_YESNO | MB_ICONQUESTION);
}

TEST_F(Services, ShowMessageBoxReturnsTheButtonPressed) {
  testing_support::ChildProcess child("message_box");
  ASSERT_TRUE(child.started());
  HWND box = testing_support::WaitForDialog(child.id(), "信息：", 20000);
  ASSERT_NE(box, nullptr) << "a box titled with the default title";
  EXPECT_EQ(testing_support::MessageBoxText(box), "修复完成");
  testing_support::PressButton(box, IDNO);
  EXPECT_EQ(child.Wait(20000), 6u) << "No is 6";
}

TEST_F(Services, CurrentTimeIsTheLocalTime) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  runtime::DateTimeParts parts;
  parts.year = now.wYear, parts.month = now.wMonth, parts.day = now.wDay;
  parts.hour = now.wHour, parts.minute = now.wMinute, parts.second = now.wSecond;
  EXPECT_NEAR(CurrentTime(), runtime::ComposeDateTime(parts), 5.0 / 86400);
}

}  // namespace
