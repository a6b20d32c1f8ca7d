// Drives the built netmend.exe as its user would, for the end-to-end tests: a copy of the
// program in a folder of its own (with a skin folder when asked), started with per-program
// Wine settings, its windows found, real and posted input, and what it shows read back.
// The tests run in a throwaway Wine prefix (tests/app/win/repair_e2e.sh).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

// Window properties in which the skin layer keeps a window's background and a button's images.
inline constexpr char kBackImage[] = "PngControl_BackImage";
inline constexpr char kNormalImage[] = "PngControl_NormalImage";
inline constexpr char kHoverImage[] = "PngControl_OverlImage";
inline constexpr char kPressedImage[] = "PngControl_DownImage";

// Where the main window's components lie (client coordinates of their top-left corners).
inline constexpr POINT kClose = {748, 16};
inline constexpr POINT kRepair = {458, 393};
inline constexpr POINT kFinish = {458, 336};
inline constexpr POINT kLogo = {70, 206};

struct Launch {
  // The folder under C:\netmend-e2e-runs (may hold spaces and Chinese characters) and the
  // program's file name there: Wine's per-program settings are keyed by it.
  std::string folder = "netmend";
  std::string exeName = "netmend.exe";
  // Files of the skin folder by name ("button_x1.png"); none: no skin folder.
  std::map<std::string, std::string> skinFiles;
  // Files of the skin folder of 1 GB each, sparse (nothing but their size is ever written).
  std::vector<std::string> hugeSkinFiles;
  // The version Wine reports to the program ("win2k", "winxp", "winxp64", "vista", "win7");
  // empty: the prefix's own.
  std::string windowsVersion;
  bool withoutGdiplus = false;  // GdiPlus.dll disabled for the program, as on Windows 2000
  bool withDevcon = false;      // the recorder as x86\devcon.exe and x64\devcon.exe beside the program
  // Libraries planted beside the program under these names (planted_dll.cpp), with Wine told
  // to search as Windows does: a file beside the program before its own.
  std::vector<std::string> plantedDlls;
};

// One run of the program. The destructor ends a program still running.
class NetmendRun {
 public:
  explicit NetmendRun(const Launch& launch);
  ~NetmendRun();
  NetmendRun(const NetmendRun&) = delete;
  NetmendRun& operator=(const NetmendRun&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  const std::string& folder() const { return folder_; }
  DWORD startTick() const { return startTick_; }
  HANDLE process() const { return process_; }

  // Waits for the main window (titled "Netmend") and the overlay; false when they do not come.
  bool WaitForWindows(DWORD milliseconds);
  HWND main() const { return main_; }
  HWND overlay() const { return overlay_; }
  // Waits until the window property is set (not 0).
  bool WaitForProperty(HWND window, const char* name, DWORD milliseconds);
  // The main window's child whose top-left lies at this client position, or nullptr.
  HWND ChildAt(int left, int top) const;

  // The exit code, or STILL_ACTIVE when the program has not ended within the time.
  DWORD Wait(DWORD milliseconds);

 private:
  std::string folder_;
  std::string exeName_;
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  DWORD startTick_ = 0;
  HWND main_ = nullptr;
  HWND overlay_ = nullptr;
};

// Recorders in place of the system tools, no records yet, and Internet Explorer 8 in the
// registry: the program's repair then runs the list below. False when the recorders could not
// be placed.
bool PrepareRecordedRepair();
// The list a repair on Windows 7 with Internet Explorer 8 runs, the program started from `runDir`
// (the tests set that version in the registry), as the recorders see it.
std::vector<std::string> ExpectedWindows7List(const std::string& runDir);

// Where the built program and the recorder lie: beside this test program.
std::string BuiltProgram();
std::string Recorder();

RECT WindowRect(HWND window);
// The window's rectangle once its top-left corner is at (left, top), or as it is when the
// time is up: the program handles input in its own time.
RECT WindowRectOnceAt(HWND window, int left, int top, DWORD milliseconds);
// The child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
// A window property (a skin image handle, say); 0 when not set.
uintptr_t Property(HWND window, const char* name);

// Real input through the system's input queue, in screen coordinates.
void MoveMouse(int x, int y);
void ClickAt(int x, int y);
void Drag(int fromX, int fromY, int toX, int toY);
// A key posted to a window.
void PostKey(HWND window, UINT key);
// A click posted to a window at its client position (when real input cannot be used twice
// before the program runs).
void PostClick(HWND window, int x, int y);

// What the process has committed for itself (the "private bytes") and its working set.
struct Memory {
  size_t privateBytes = 0, workingSet = 0;
};
Memory MemoryOf(HANDLE process);

// A pixel of the screen as it shows now (0x00BBGGRR).
COLORREF ScreenPixel(int x, int y);
// The screen pixel at the centre of a window.
COLORREF CentrePixel(HWND window);
// Within a step or two of rounding in the composition.
bool Near(COLORREF a, COLORREF b);
// Whether the window's centre comes to show the colour within two seconds, ten times that in
// the emulated guest (a composition after a posted message takes its turn on a loaded machine).
testing::AssertionResult CentreBecomes(HWND window, COLORREF colour);
// A PNG file of w × h pixels, all of one colour (0x00BBGGRR), fully opaque.
std::string SolidPng(int width, int height, COLORREF colour);

}  // namespace e2e
