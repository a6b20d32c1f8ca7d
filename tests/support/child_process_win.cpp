// Child processes and message boxes for Windows tests.
#include "support/child_process_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace testing_support {
namespace {

std::map<std::string, ChildRoutine>& Children() {
  static std::map<std::string, ChildRoutine> children;
  return children;
}

struct DialogSearch {
  DWORD processId;
  const std::string* title;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<DialogSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char className[64] = {}, title[256] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(className, "#32770") == 0 && *search->title == title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStatic(HWND control, LPARAM parameter) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  if (_stricmp(className, "Static") != 0) return TRUE;
  char text[4096] = {};
  GetWindowTextA(control, text, sizeof text);
  if (*text) *reinterpret_cast<std::string*>(parameter) += text;
  return TRUE;
}

}  // namespace

bool RegisterChild(const char* name, ChildRoutine routine) {
  Children()[name] = routine;
  return true;
}

bool RunChildFromArguments(int argc, char** argv, int* exitCode) {
  const std::string prefix = "--child=";
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind(prefix, 0) != 0) continue;
    auto it = Children().find(argument.substr(prefix.size()));
    *exitCode = it == Children().end() ? 99 : it->second();
    return true;
  }
  return false;
}

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

ChildProcess::ChildProcess(const std::string& name, const std::string& program,
                           const std::string& currentDirectory) {
  const std::string exe = program.empty() ? ThisProgram() : program;
  std::string commandLine = "\"" + exe + "\" --child=" + name;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

namespace {
constexpr int kGuestStretch = 10;
bool InGuest() {
  static const bool inGuest = GetEnvironmentVariableA("NETMEND_GUEST", nullptr, 0) > 0;
  return inGuest;
}
}  // namespace

DWORD TimeLimit(DWORD milliseconds) { return InGuest() ? milliseconds * kGuestStretch : milliseconds; }

int Rounds(int rounds) { return InGuest() ? rounds / kGuestStretch : rounds; }

DWORD WaitForExit(HANDLE process, DWORD milliseconds) {
  if (!process) return STILL_ACTIVE;
  WaitForSingleObject(process, TimeLimit(milliseconds));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process, &code);
  return code;
}

DWORD ChildProcess::Wait(DWORD milliseconds) { return WaitForExit(process_, milliseconds); }

HWND WaitForDialog(DWORD processId, const std::string& title, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    DialogSearch search{processId, &title, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (GetTickCount() - start > TimeLimit(milliseconds)) return nullptr;
    Sleep(50);
  }
}

std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

void PressButton(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

ChildOutcome RunChild(const std::string& name, bool expectBox) {
  TemporaryFolder folder;
  const std::string marker = folder.File("marker");
  SetEnvironmentVariableA("NETMEND_TEST_MARKER", marker.c_str());
  ChildProcess child(name);
  EXPECT_TRUE(child.started());
  ChildOutcome outcome;
  if (expectBox) {
    HWND box = WaitForDialog(child.id(), "错误", 20000);
    EXPECT_NE(box, nullptr) << "no box titled 错误 appeared";
    if (box) {
      outcome.boxText = MessageBoxText(box);
      outcome.boxOwnerless = GetWindow(box, GW_OWNER) == nullptr;
      outcome.waitedForBox = child.Wait(300) == STILL_ACTIVE;
      PressButton(box, IDOK);
    }
  }
  outcome.exitCode = child.Wait(20000);
  outcome.markerWritten = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
  std::ifstream in(marker);
  outcome.marker.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  SetEnvironmentVariableA("NETMEND_TEST_MARKER", nullptr);
  return outcome;
}

TemporaryFolder::TemporaryFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  static LONG counter = 0;
  for (;;) {
    path_ = std::string(base) + "netmend-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter));
    if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

TemporaryFolder::~TemporaryFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(File(found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

}  // namespace testing_support
