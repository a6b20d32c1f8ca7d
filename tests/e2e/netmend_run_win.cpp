// The end-to-end tests' driver of the built program.
#include "e2e/netmend_run_win.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <shlwapi.h>

#include <fstream>

#include "app/support/expected_repair_list.h"
#include "app/win/stand_ins_win.h"
#include "components/image/png_writer.h"
#include "support/child_process_win.h"

namespace e2e {
namespace {

constexpr const char* kRuns = "C:\\netmend-e2e-runs";
constexpr const char* kAppDefaults = "Software\\Wine\\AppDefaults\\";

std::string Beside(const char* name) {
  const std::string self = testing_support::ThisProgram();
  return self.substr(0, self.find_last_of('\\') + 1) + name;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Wine's settings for the program alone, under its file name.
void ApplySettings(const Launch& launch) {
  const std::string key = kAppDefaults + launch.exeName;
  SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  if (!launch.windowsVersion.empty())
    testing_support::SetRegistryString(HKEY_CURRENT_USER, key.c_str(), "Version", launch.windowsVersion);
  if (launch.withoutGdiplus)
    testing_support::SetRegistryString(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str(), "gdiplus", "");
  for (const std::string& dll : launch.plantedDlls) {
    testing_support::SetRegistryString(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str(),
                                       dll.substr(0, dll.find('.')).c_str(), "native,builtin");
  }
}

struct WindowSearch {
  DWORD processId;
  HWND main = nullptr, overlay = nullptr;
};

BOOL CALLBACK MatchWindows(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  const RECT r = WindowRect(window);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title) == "Netmend" && r.right - r.left == 800 && r.bottom - r.top == 580)
    search->main = window;
  if (r.right - r.left == 800 && r.bottom - r.top == 540) search->overlay = window;
  return TRUE;
}

struct ChildSearch {
  POINT at;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM parameter) {
  auto* search = reinterpret_cast<ChildSearch*>(parameter);
  const RECT r = ChildRect(child);
  if (r.left == search->at.x && r.top == search->at.y) search->found = child;
  return search->found ? FALSE : TRUE;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string BuiltProgram() { return Beside("netmend.exe"); }
std::string Recorder() { return Beside("command_recorder.exe"); }

NetmendRun::NetmendRun(const Launch& launch) : exeName_(launch.exeName) {
  CreateDirectoryA(kRuns, nullptr);
  folder_ = std::string(kRuns) + "\\" + launch.folder;
  CreateDirectoryA(folder_.c_str(), nullptr);
  const std::string program = folder_ + "\\" + launch.exeName;
  EXPECT_TRUE(CopyFileA(BuiltProgram().c_str(), program.c_str(), FALSE)) << program;
  if (!launch.skinFiles.empty() || !launch.hugeSkinFiles.empty()) {
    CreateDirectoryA((folder_ + "\\skin").c_str(), nullptr);
    for (const auto& [name, bytes] : launch.skinFiles) WriteFile(folder_ + "\\skin\\" + name, bytes);
    for (const std::string& name : launch.hugeSkinFiles) {
      HANDLE file = CreateFileA((folder_ + "\\skin\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      LARGE_INTEGER size{};
      size.QuadPart = 1LL << 30;
      EXPECT_TRUE(file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, size, nullptr, FILE_BEGIN) &&
                  SetEndOfFile(file))
          << name;
      CloseHandle(file);
    }
  }
  if (launch.withDevcon) {
    // The 32-bit list takes x86, the 64-bit list (under WOW64) x64.
    for (const char* machine : {"\\x86", "\\x64"}) {
      CreateDirectoryA((folder_ + machine).c_str(), nullptr);
      EXPECT_TRUE(CopyFileA(Recorder().c_str(), (folder_ + machine + "\\devcon.exe").c_str(), FALSE));
    }
  }
  for (const std::string& dll : launch.plantedDlls) {
    DeleteFileA((folder_ + "\\" + dll + ".ran").c_str());
    EXPECT_TRUE(CopyFileA(Beside("planted.dll").c_str(), (folder_ + "\\" + dll).c_str(), FALSE)) << dll;
  }
  ApplySettings(launch);

  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  startTick_ = GetTickCount();
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &info)) {
    ADD_FAILURE() << "could not start " << program;
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

NetmendRun::~NetmendRun() {
  if (process_) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }
  SHDeleteKeyA(HKEY_CURRENT_USER, (kAppDefaults + exeName_).c_str());
}

bool NetmendRun::WaitForWindows(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < testing_support::TimeLimit(milliseconds)) {
    WindowSearch search{id_};
    EnumWindows(MatchWindows, reinterpret_cast<LPARAM>(&search));
    if (search.main && search.overlay) {
      main_ = search.main;
      overlay_ = search.overlay;
      return true;
    }
    if (Wait(0) != STILL_ACTIVE) return false;
    Sleep(10);
  }
  return false;
}

bool NetmendRun::WaitForProperty(HWND window, const char* name, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!Property(window, name)) {
    if (GetTickCount() - start > milliseconds || Wait(0) != STILL_ACTIVE) return false;
    Sleep(10);
  }
  return true;
}

HWND NetmendRun::ChildAt(int left, int top) const {
  ChildSearch search{{left, top}};
  EnumChildWindows(main_, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DWORD NetmendRun::Wait(DWORD milliseconds) { return testing_support::WaitForExit(process_, milliseconds); }

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT WindowRectOnceAt(HWND window, int left, int top, DWORD milliseconds) {
  RECT r = WindowRect(window);
  for (const DWORD start = GetTickCount();
       (r.left != left || r.top != top) && GetTickCount() - start < testing_support::TimeLimit(milliseconds);
       r = WindowRect(window)) {
    Sleep(20);
  }
  return r;
}

RECT ChildRect(HWND child) {
  RECT r = WindowRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

uintptr_t Property(HWND window, const char* name) {
  return reinterpret_cast<uintptr_t>(GetPropA(window, name));
}

void MoveMouse(int x, int y) {
  SetCursorPos(x, y);
  SendMouse(MOUSEEVENTF_MOVE);  // a move of nothing, so that the window under it hears of it
  Sleep(50);
}

void ClickAt(int x, int y) {
  MoveMouse(x, y);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Sleep(30);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

void Drag(int fromX, int fromY, int toX, int toY) {
  MoveMouse(fromX, fromY);
  const DWORD thread = GetWindowThreadProcessId(WindowFromPoint({fromX, fromY}), nullptr);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  // The moves count only once the press is taken: the window's thread then runs the system's
  // move loop or holds the mouse. On a loaded machine that can take longer than any fixed
  // pause, and moves and release queued before it starts leave the window where it was.
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10)) {
    if (GetGUIThreadInfo(thread, &info) && ((info.flags & GUI_INMOVESIZE) || info.hwndCapture)) break;
  }
  Sleep(100);
  for (int step = 1; step <= 5; ++step)
    MoveMouse(fromX + (toX - fromX) * step / 5, fromY + (toY - fromY) * step / 5);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Sleep(100);
}

void PostKey(HWND window, UINT key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void PostClick(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return {};
  // The commit charge of a process is its private memory.
  return {counters.PagefileUsage, counters.WorkingSetSize};
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF pixel = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return pixel;
}

COLORREF CentrePixel(HWND window) {
  const RECT r = WindowRect(window);
  return ScreenPixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool Near(COLORREF a, COLORREF b) {
  auto close = [](int x, int y) { return std::abs(x - y) <= 3; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
         close(GetBValue(a), GetBValue(b));
}

testing::AssertionResult CentreBecomes(HWND window, COLORREF colour) {
  COLORREF seen = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < testing_support::TimeLimit(2000);
       Sleep(50))
    if (Near(seen = CentrePixel(window), colour)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << std::hex << "shows " << seen << ", not " << colour;
}

bool PrepareRecordedRepair() {
  // A stand-in still running from an earlier test holds its file: it could not be replaced.
  if (!testing_support::WaitForStandInsToEnd(testing_support::TimeLimit(10000)))
    testing_support::EndStandIns();
  if (!testing_support::PlaceRecorders(Recorder())) return false;
  testing_support::ClearFolder(testing_support::kRecordFolder);
  SetEnvironmentVariableA("NETMEND_RECORD_DIR", testing_support::kRecordFolder);
  testing_support::SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", "Version",
                                     "8.0.7600.16385");
  return true;
}

std::vector<std::string> ExpectedWindows7List(const std::string& runDir) {
  testing_support::RepairCase c;
  c.wow64 = testing_support::UnderWow64();  // a 32-bit program under WOW64 runs the 64-bit list
  c.nt6 = c.ie7 = true;
  c.windowsDir = testing_support::WindowsFolder();
  c.programFiles = testing_support::EnvironmentValue("ProgramFiles") + "\\";
  c.programFilesX86 = testing_support::EnvironmentValue("ProgramFiles(x86)") + "\\";
  c.runDir = runDir;
  return testing_support::ExpectedRepairList(c);
}

std::string SolidPng(int width, int height, COLORREF colour) {
  png_writer::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  for (int i = 0; i < width * height; ++i) {
    picture.rows.insert(picture.rows.end(), {GetRValue(colour), GetGValue(colour), GetBValue(colour), 255});
  }
  const std::vector<uint8_t> bytes = png_writer::Encode(picture);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace e2e
