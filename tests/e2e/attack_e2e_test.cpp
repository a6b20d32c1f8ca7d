// Another process on the desktop acting on the running program as an attacker would: every
// window property the program wrote set to a value of the attacker's choosing, then the
// messages that make the program use them; window creation, notifications and the runtime's
// private messages forged; the clock flooded with ticks. The program runs elevated, so none of
// this may steer it: it keeps running with its windows, and a repair afterwards still runs the
// whole list exactly once, at its own pace.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/win/stand_ins_win.h"
#include "e2e/netmend_run_win.h"
#include "support/child_process_win.h"

namespace {

using namespace testing_support;
using namespace e2e;

constexpr UINT kForgedDestroy = 0x8065;    // the runtime's "destroy this window"
constexpr UINT kForgedReflected = 0x8071;  // the runtime's command passed on to a child
constexpr UINT_PTR kClockTimer = 1000;

struct WindowList {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<WindowList*>(list)->windows.push_back(child);
  return TRUE;
}

BOOL CALLBACK AddTopLevel(HWND window, LPARAM parameter) {
  auto* list = reinterpret_cast<WindowList*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != list->processId) return TRUE;
  list->windows.push_back(window);
  EnumChildWindows(window, AddChild, parameter);
  return TRUE;
}

// Every window of the process: its top-level windows (the hidden ones too) and their children.
std::vector<HWND> WindowsOf(DWORD processId) {
  WindowList list{processId};
  EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&list));
  return list.windows;
}

BOOL CALLBACK AddName(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
  // Atoms come as numbers; Wine's own bookkeeping is not the program's.
  if (!IS_INTRESOURCE(name) && std::string(name).rfind("__wine", 0) != 0)
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
  return TRUE;
}

std::vector<std::string> PropertyNames(HWND window) {
  std::vector<std::string> names;
  EnumPropsExA(window, AddName, reinterpret_cast<LPARAM>(&names));
  return names;
}

void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, TimeLimit(2000), &ignored);
}

// Overwrites every property the program wrote with `value`, then makes it read them: hovers,
// presses that are released elsewhere, paints, a minimise and restore (which rebuilds the
// look), and every message that once reached a pointer or a procedure. Returns how many
// properties were overwritten.
int Forge(HWND main, uintptr_t value) {
  int overwritten = 0;
  const std::vector<HWND> windows = WindowsOf([&] {
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    return id;
  }());
  for (HWND window : windows) {
    for (const std::string& name : PropertyNames(window))
      overwritten += SetPropA(window, name.c_str(), reinterpret_cast<HANDLE>(value)) ? 1 : 0;
  }
  CREATESTRUCTA create{};
  create.lpCreateParams = reinterpret_cast<void*>(value);
  create.lpszName = "forged";
  create.lpszClass = "forged";
  for (HWND window : windows) {
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    PostMessageA(window, WM_MOUSELEAVE, 0, 0);
    PostMessageA(window, WM_TIMER, kClockTimer, 0);
    PostMessageA(window, WM_TIMER, 64, static_cast<LPARAM>(value));  // a "callback" to run
    PostMessageA(window, WM_NOTIFY, 0, 1);
    Send(window, WM_NOTIFY, 0, 1);
    PostMessageA(window, kForgedReflected, MAKEWPARAM(0, BN_CLICKED), 0);
    // A click passed on by the main window to a button that is disabled (the finish button).
    if (!IsWindowEnabled(window))
      PostMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                   reinterpret_cast<LPARAM>(window));
    PostMessageA(window, kForgedDestroy, 0, 0);
    Send(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
  ShowWindow(main, SW_MINIMIZE);
  Sleep(TimeLimit(300));
  ShowWindow(main, SW_RESTORE);
  return overwritten;
}

// The address of ExitProcess, the same in every process of this bitness: run as a window or
// timer procedure, it ends the program with the window handle as its exit code.
uintptr_t ExitProcessAddress() {
  return reinterpret_cast<uintptr_t>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ExitProcess"));
}

void ExpectStillThere(NetmendRun& run, const std::vector<HWND>& windows, const char* after) {
  Sleep(TimeLimit(1500));  // whatever was posted has been handled by now
  ASSERT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended after " << after;
  for (HWND window : windows) EXPECT_TRUE(IsWindow(window)) << "a window was destroyed after " << after;
}

TEST(Attack, ForeignPropertiesAndMessagesSteerNothing) {
  ASSERT_TRUE(PrepareRecordedRepair());
  NetmendRun run(Launch{.folder = "attack", .windowsVersion = "win7", .withDevcon = true});
  ASSERT_TRUE(run.WaitForWindows(30000));
  ASSERT_TRUE(run.WaitForProperty(run.main(), "PngControl_BackImage", 5000));
  HWND repair = run.ChildAt(kRepair.x, kRepair.y);
  HWND logo = run.ChildAt(kLogo.x, kLogo.y);
  HWND finish = run.ChildAt(kFinish.x, kFinish.y);
  ASSERT_TRUE(repair && logo && finish);
  const std::vector<HWND> windows = WindowsOf(run.id());

  EXPECT_GT(Forge(run.main(), 0x41414140), 10) << "the program's properties were found";
  ASSERT_NO_FATAL_FAILURE(ExpectStillThere(run, windows, "pointers were forged"));
  Forge(run.main(), ExitProcessAddress());
  ASSERT_NO_FATAL_FAILURE(ExpectStillThere(run, windows, "procedures were forged"));
  EXPECT_TRUE(IsWindowEnabled(repair));
  EXPECT_FALSE(IsWindowEnabled(finish)) << "the finish button was not clicked into life";

  // The repair, with the clock flooded by ticks of another process all along: the frames come
  // at the clock's own pace, and the list runs once.
  e2e::PostClick(repair, 20, 20);
  const DWORD click = GetTickCount();
  std::vector<DWORD> frames;
  uintptr_t frame = e2e::Property(logo, kNormalImage);
  DWORD finishedAt = 0;
  while (!finishedAt && GetTickCount() - click < TimeLimit(25000) && run.Wait(0) == STILL_ACTIVE) {
    for (HWND window : WindowsOf(run.id())) PostMessageA(window, WM_TIMER, kClockTimer, 0);
    if (IsWindow(logo)) {
      const uintptr_t shown = e2e::Property(logo, kNormalImage);
      if (shown && shown != frame) frames.push_back(GetTickCount() - click);
      frame = shown;
    }
    if (!IsWindow(repair) && IsWindowEnabled(finish)) finishedAt = GetTickCount() - click;
    Sleep(20);
  }
  ASSERT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
  ASSERT_FALSE(frames.empty());
  EXPECT_GE(frames.front(), 2000u) << "no frame before 2 s";
  EXPECT_LE(frames.size(), 13u);
  EXPECT_GE(finishedAt, 17600u) << "the finished look comes at the clock's pace";

  const std::vector<std::string> expected = ExpectedWindows7List(run.folder());
  for (int i = 0; i < 300 && ReadRecords().size() < expected.size(); ++i) Sleep(100);
  e2e::PostClick(finish, 20, 20);
  EXPECT_EQ(run.Wait(TimeLimit(10000)), 0u);
  ExpectRecordedLines(ReadRecords(), expected);
}

}  // namespace
