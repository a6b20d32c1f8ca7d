// netmend.exe end to end under Wine, driven as its user drives it: the window and its overlay,
// closing, minimise and restore, the version gate on the systems Wine can report, the skin
// folder's overrides, and one whole repair with the system tools replaced by recorders.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>

#include "app/support/expected_repair_list.h"
#include "app/win/stand_ins_win.h"
#include "e2e/netmend_run_win.h"
#include "support/child_process_win.h"

namespace {

using namespace e2e;

TEST(ProgramWindow, CentredOverlayFollowsDragMovesBothRestoreRebuildsOnceCloseEnds) {
  NetmendRun run(Launch{});
  ASSERT_TRUE(run.WaitForWindows(10000));
  ASSERT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000));
  std::printf("start to the main window with its background: %lu ms\n", GetTickCount() - run.startTick());
  const RECT main = e2e::WindowRect(run.main());
  EXPECT_EQ(main.left, (GetSystemMetrics(SM_CXSCREEN) - 800) / 2);
  EXPECT_EQ(main.top, (GetSystemMetrics(SM_CYSCREEN) - 580) / 2);
  RECT overlay = e2e::WindowRect(run.overlay());
  EXPECT_EQ(overlay.left, main.left);
  EXPECT_EQ(overlay.top, main.top);
  // The overlay: what is painted in RGB(120, 120, 120) is see-through, its alpha not applied.
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(run.overlay(), &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(120, 120, 120));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
  // The overlay's two animation boxes are live boxes, 32 x 32 and hidden as stored.
  int boxes = 0;
  for (HWND child = GetWindow(run.overlay(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (std::string_view(name) != "CartoonBox") continue;
    ++boxes;
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 32);
    EXPECT_EQ(client.bottom, 32);
    EXPECT_FALSE(IsWindowVisible(child));
  }
  EXPECT_EQ(boxes, 2);

  // A drag on the background moves both windows.
  e2e::Drag(main.left + 400, main.top + 560, main.left + 340, main.top + 520);
  const RECT moved = e2e::WindowRectOnceAt(run.main(), main.left - 60, main.top - 40, 5000);
  EXPECT_EQ(moved.left, main.left - 60);
  EXPECT_EQ(moved.top, main.top - 40);
  overlay = e2e::WindowRectOnceAt(run.overlay(), moved.left, moved.top, 2000);
  EXPECT_EQ(overlay.left, moved.left);
  EXPECT_EQ(overlay.top, moved.top);
  EXPECT_NE(e2e::Property(run.main(), kBackImage), 0u) << "the built-in background";

  // Minimise, then restore: the look is built again once, on the restore.
  HWND repair = run.ChildAt(kRepair.x, kRepair.y);
  ASSERT_NE(repair, nullptr);
  const uintptr_t startImage = e2e::Property(repair, kNormalImage);
  ShowWindow(run.main(), SW_MINIMIZE);
  Sleep(300);
  EXPECT_EQ(e2e::Property(repair, kNormalImage), startImage) << "minimising builds nothing";
  ShowWindow(run.main(), SW_RESTORE);
  Sleep(300);
  const uintptr_t rebuiltImage = e2e::Property(repair, kNormalImage);
  EXPECT_NE(rebuiltImage, startImage) << "the restore rebuilt the look";
  EXPECT_NE(rebuiltImage, 0u);
  SetWindowPos(run.main(), nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Sleep(300);
  EXPECT_EQ(e2e::Property(repair, kNormalImage), rebuiltImage) << "a move after the restore rebuilds nothing";
  overlay = e2e::WindowRect(run.overlay());
  EXPECT_EQ(overlay.left, 100);
  EXPECT_EQ(overlay.top, 80);

  // The close button ends the program. Wine hit-tests the colour-keyed overlay as a whole (on
  // Windows its see-through pixels let clicks through), so the click is posted to the button.
  HWND close = run.ChildAt(kClose.x, kClose.y);
  ASSERT_NE(close, nullptr);
  e2e::PostClick(close, 10, 10);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// The gate lets every system from XP on through; Esc then ends the program with 0.
TEST(VersionGate, XpXp64VistaAnd7PassAndEscEnds) {
  for (const char* version : {"winxp", "winxp64", "vista", "win7"}) {
    SCOPED_TRACE(version);
    NetmendRun run(Launch{.folder = std::string("gate-") + version,
                          .exeName = std::string("netmend-") + version + ".exe",
                          .windowsVersion = version});
    ASSERT_TRUE(run.WaitForWindows(10000));
    EXPECT_EQ(testing_support::WaitForDialog(run.id(), "友情提示", 1500), nullptr);
    e2e::PostKey(run.main(), VK_ESCAPE);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

// The path of the program's module of that file name, in lower case; empty when it has none.
std::string ModulePath(HANDLE process, const std::string& fileName) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return "";
  for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
    char path[MAX_PATH] = "";
    GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
    std::string lower(path);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.size() > fileName.size() && lower.ends_with("\\" + fileName)) return lower;
  }
  return "";
}

// Libraries that are no known system libraries, planted beside the program, are never loaded:
// GDI+ comes from the system's side-by-side store (where Windows XP keeps its only copy).
TEST(PlantedLibraries, WinmmComctl32AndGdiplusBesideTheProgramNeverRun) {
  const std::vector<std::string> dlls = {"winmm.dll", "comctl32.dll", "gdiplus.dll"};
  NetmendRun run(Launch{.folder = "planted", .exeName = "netmend-planted.exe", .plantedDlls = dlls});
  EXPECT_TRUE(run.WaitForWindows(20000));
  for (const std::string& dll : dlls) {
    EXPECT_EQ(GetFileAttributesA((run.folder() + "\\" + dll + ".ran").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted " << dll << " ran";
  }
  EXPECT_NE(ModulePath(run.process(), "gdiplus.dll").find("\\winsxs\\"), std::string::npos)
      << ModulePath(run.process(), "gdiplus.dll");
}

// Windows 2000 gets the polite refusal over the drawn window and the program ends with 0, also
// when GdiPlus.dll is missing as on a stock Windows 2000.

TEST(VersionGate, Windows2000IsRefusedWithExitCode0EvenWithoutGdiplus) {
  for (bool withoutGdiplus : {false, true}) {
    SCOPED_TRACE(withoutGdiplus ? "without GdiPlus.dll" : "with GdiPlus.dll");
    NetmendRun run(Launch{.folder = withoutGdiplus ? "win2k-bare" : "win2k",
                          .exeName = withoutGdiplus ? "netmend-win2k-bare.exe" : "netmend-win2k.exe",
                          .windowsVersion = "win2k",
                          .withoutGdiplus = withoutGdiplus});
    HWND box = testing_support::WaitForDialog(run.id(), "友情提示", 15000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing_support::MessageBoxText(box),
              "非常抱歉，您所使用的 Windows 版本过低，本程序暂不支持。");
    EXPECT_TRUE(run.WaitForWindows(100)) << "the box shows over the window";
    testing_support::PressButton(box, IDOK);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

}  // namespace
