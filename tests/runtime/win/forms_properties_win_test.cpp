// The form runtime's properties, timer and program end under Wine: the clamps, captions, the
// timer's interval rules with real ticks, a disabled write from a second thread while the loop
// runs, and, in child processes, the runtime errors, the end of the program and hand-off messages
// posted by another process.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "forms_win_support.h"
#include "runtime/core/heap.h"
#include "runtime/core/own_messages_win.h"
#include "runtime/core/process_win.h"
#include "runtime/core/program_lifetime.h"
#include "runtime/core/values.h"
#include "runtime/entry_points_win.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/test_layout.h"
#include "support/child_process_win.h"

using namespace forms_test;
using namespace testing_support;

namespace {

class FormsProperties : public ::testing::Test {
 protected:
  void SetUp() override { StartFresh(); }
  void TearDown() override { CleanUp(); }
};

std::string ReadText(uint32_t windowId, uint32_t unitId, int32_t index) {
  auto* text =
      reinterpret_cast<char*>(static_cast<uintptr_t>(runtime::ReadProperty(windowId, unitId, index)));
  std::string copy(runtime::TextView(text));
  runtime::Free(text);
  return copy;
}

TEST_F(FormsProperties, CoordinatesAreClampedInRecordsAndLiveWindows) {
  // The overlay window is not loaded: its records take the values.
  const uint32_t w = test_layout::kOverlayWindow, u = test_layout::kLabel1;
  runtime::WriteIntProperty(w, u, 2, 40000);
  EXPECT_EQ(runtime::ReadIntProperty(w, u, 2), 32627);
  runtime::WriteIntProperty(w, u, 2, -5);
  EXPECT_EQ(runtime::ReadIntProperty(w, u, 2), 0);
  runtime::WriteIntProperty(w, u, 0, -40000);
  EXPECT_EQ(runtime::ReadIntProperty(w, u, 0), -32627);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, 0, 0), 50)
      << "the stored left of a window not loaded";

  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND finish = Handle(test_layout::kMainWindow, test_layout::kFinishButton);
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 1, 393);
  RECT r{};
  GetWindowRect(finish, &r);
  MapWindowPoints(nullptr, GetParent(finish), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 458);
  EXPECT_EQ(r.top, 393);
  EXPECT_EQ(r.right - r.left, 214) << "moved keeping its size";
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 0, -40000);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 0), -32627);
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 3, -5);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 3), 0);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 1), 393)
      << "resized keeping its place";
}

TEST_F(FormsProperties, CaptionsTitleAndDisabled) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  for (uint32_t button : {test_layout::kLogoButton, test_layout::kFinishButton, test_layout::kRepairButton}) {
    EXPECT_EQ(ReadText(test_layout::kMainWindow, button, 10), "按钮");
  }
  EXPECT_EQ(ReadText(test_layout::kMainWindow, test_layout::kCloseButton, 10), "关闭");
  char caption[32] = {};
  GetWindowTextA(Handle(test_layout::kMainWindow, test_layout::kRepairButton), caption, sizeof caption);
  EXPECT_STREQ(caption, "按钮");

  char* title = runtime::NewText("Netmend");
  runtime::WriteProperty(test_layout::kMainWindow, 0, 8, reinterpret_cast<uintptr_t>(title));
  runtime::Free(title);
  GetWindowTextA(Handle(test_layout::kMainWindow, 0), caption, sizeof caption);
  EXPECT_STREQ(caption, "Netmend");
  EXPECT_FALSE(GetWindowLongPtrA(Handle(test_layout::kMainWindow, 0), GWL_STYLE) & WS_CAPTION)
      << "border style 0";

  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 6, 1);
  EXPECT_FALSE(IsWindowEnabled(Handle(test_layout::kMainWindow, test_layout::kFinishButton)));
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 6), 1);
  runtime::WriteIntProperty(test_layout::kMainWindow, 0, 10, 0x00787878);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, 0, 10), 0x00787878);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, 0, 18), 0)
      << "neither minimized nor maximized";
}

TEST_F(FormsProperties, TheTimerStartsStopsAndIsNotRestartedByTheSameInterval) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND clock = Handle(test_layout::kMainWindow, test_layout::kProgressClock);
  const auto write = [](int32_t ms) {
    runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8, ms);
  };
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8), 0);
  EXPECT_FALSE(KillTimer(clock, 1000)) << "interval 0: no timer";
  write(1200);
  EXPECT_TRUE(KillTimer(clock, 1000)) << "1200 started timer 1000 (the test stops it here)";
  write(1200);
  EXPECT_FALSE(KillTimer(clock, 1000)) << "the same interval changed nothing: it was not started again";
  write(500);
  write(0);
  EXPECT_FALSE(KillTimer(clock, 1000)) << "0 stopped it";
  write(-7);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8), 0)
      << "a negative counts as 0";
  EXPECT_FALSE(KillTimer(clock, 1000));
}

TEST_F(FormsProperties, TimerTicksRaiseEvent0AtTheInterval) {
  std::vector<DWORD> ticks;
  gOnEvent = [&](runtime::EventFrame& frame) {
    if (frame.unitId != test_layout::kProgressClock || frame.eventIndex != 0) return;
    ticks.push_back(GetTickCount());
    if (ticks.size() == 2) PostMessageA(Handle(test_layout::kMainWindow, 0), WM_CLOSE, 0, 0);
  };
  runtime::LoadStartWindow(test_layout::kMainWindow);
  const DWORD start = GetTickCount();
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8, 1200);
  EXPECT_TRUE(RunLoopWithin(10000));
  ASSERT_EQ(ticks.size(), 2u);
  // Never early, counted from the start: a first tick handled late does not move the second,
  // which may then follow it by less than an interval. How late a tick may come depends on
  // the machine.
  EXPECT_GE(ticks[0] - start, 1150u);
  EXPECT_GE(ticks[1] - start, 2 * 1150u);
  EXPECT_GT(ticks[1], ticks[0]);
  EXPECT_LT(ticks[1] - start, 7000u);
}

TEST_F(FormsProperties, ASecondThreadDisablesTheLiveButtonWhileTheLoopRuns) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND repair = Handle(test_layout::kMainWindow, test_layout::kRepairButton);
  std::atomic<bool> done{false};
  std::atomic<bool> enabledAfterWrite{true};
  std::atomic<int32_t> readBack{-1};
  int loopTurns = 0;
  std::thread worker;
  bool recordDisabled = false;
  std::function<void()> poll = [&] {
    ++loopTurns;
    if (!done) return After(20, poll);
    const runtime::LiveWindow* window = runtime::Forms().Find(test_layout::kMainWindow);
    recordDisabled = window && (runtime::FindUnit(window->units, test_layout::kRepairButton)->flags &
                                runtime::kUnitDisabled);
    PostMessageA(Handle(test_layout::kMainWindow, 0), WM_CLOSE, 0, 0);
  };
  After(50, [&] {
    worker = std::thread([&] {
      runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kRepairButton, 6, 1);
      enabledAfterWrite = IsWindowEnabled(repair) != FALSE;
      readBack = runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kRepairButton, 6);
      done = true;
    });
    poll();
  });
  EXPECT_TRUE(RunLoopWithin(8000));
  if (worker.joinable()) worker.join();
  EXPECT_TRUE(done);
  EXPECT_FALSE(enabledAfterWrite) << "the live button was disabled when the write returned";
  EXPECT_EQ(readBack, 1);
  EXPECT_TRUE(recordDisabled) << "the record took it too";
  EXPECT_GE(loopTurns, 1) << "the main thread's loop went on meanwhile";
}

// ---- In child processes: the end of the program and runtime errors ----

std::string MarkerPath() {
  char path[MAX_PATH] = {};
  GetEnvironmentVariableA("NETMEND_TEST_MARKER", path, MAX_PATH);
  return path;
}

// Each run appends a line: where the routine ran.
void AppendMarker() {
  std::ofstream(MarkerPath(), std::ios::app) << (runtime::OnMainThread() ? "main" : "other") << "\n";
}

void CALLBACK PressEsc(HWND, UINT, UINT_PTR id, DWORD) {
  runtime::KillCallbackTimer(nullptr, id);
  PostMessageA(reinterpret_cast<HWND>(runtime::Forms().UnitHandle(test_layout::kMainWindow, 0)), WM_KEYDOWN,
               VK_ESCAPE, 0);
}

int CloseTheLastWindow() {
  runtime::InitializeRuntime(TestImage());
  runtime::RegisterExitRoutine(AppendMarker);
  runtime::LoadStartWindow(test_layout::kMainWindow);
  runtime::SetCallbackTimer(nullptr, 0, 300, PressEsc);
  runtime::RunMessageLoop();
  return 0;
}

NETMEND_CHILD(close_last_window) { runtime::RunProgram(CloseTheLastWindow); }

int EndFromAnotherThread() {
  runtime::InitializeRuntime(TestImage());
  runtime::RegisterExitRoutine(AppendMarker);
  runtime::LoadStartWindow(test_layout::kMainWindow);
  std::thread([] {
    Sleep(200);
    runtime::EndProgram(3);
  }).detach();
  runtime::RunMessageLoop();
  return 0;
}

NETMEND_CHILD(end_from_another_thread) { runtime::RunProgram(EndFromAnotherThread); }

// Another process posts the hidden owner window the runtime's hand-off messages with
// parameters of its choosing: a routine of the program (whose address it was told), nonsense
// addresses, and an exit code.
void PlantedRoutine(void*) { std::ofstream(MarkerPath(), std::ios::app) << "planted routine ran\n"; }

struct FoundOwner {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK MatchHiddenOwner(HWND window, LPARAM parameter) {
  auto* found = reinterpret_cast<FoundOwner*>(parameter);
  DWORD owner = 0;
  char className[32] = {};
  GetWindowThreadProcessId(window, &owner);
  GetClassNameA(window, className, sizeof className);
  if (owner != found->processId || std::string(className) != "_ZR_HideOwner") return TRUE;
  found->window = window;
  return FALSE;
}

NETMEND_CHILD(post_foreign_messages) {
  char text[32] = {};
  GetEnvironmentVariableA("NETMEND_TEST_TARGET", text, sizeof text);
  FoundOwner found{static_cast<DWORD>(std::stoul(text)), nullptr};
  EnumWindows(MatchHiddenOwner, reinterpret_cast<LPARAM>(&found));
  if (!found.window) return 2;
  GetEnvironmentVariableA("NETMEND_TEST_PLANTED", text, sizeof text);
  const auto planted = static_cast<WPARAM>(std::stoull(text, nullptr, 16));
  const WPARAM runs[][2] = {{planted, 0}, {planted, 12345}, {0, 0}, {0x41414141, 0x42424242}};
  bool posted = true;
  for (const auto& run : runs) posted = posted && PostMessageA(found.window, 0x83E8, run[0], run[1]);
  posted = posted && PostMessageA(found.window, 0x83E7, 7, 0);
  return posted ? 0 : 3;
}

int ForeignPostsAreIgnored() {
  runtime::InitializeRuntime(TestImage());
  runtime::RegisterExitRoutine(AppendMarker);
  runtime::LoadStartWindow(test_layout::kMainWindow);
  std::thread([] {
    char planted[32] = {};
    std::snprintf(planted, sizeof planted, "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&PlantedRoutine)));
    SetEnvironmentVariableA("NETMEND_TEST_PLANTED", planted);
    SetEnvironmentVariableA("NETMEND_TEST_TARGET", std::to_string(GetCurrentProcessId()).c_str());
    const DWORD attacker = ChildProcess("post_foreign_messages").Wait(20000);
    Sleep(500);  // the main thread's loop handles the posted messages meanwhile
    // The program's own hand-offs still work: a property write and read, then the end.
    runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kRepairButton, 6, 1);
    const int32_t disabled =
        runtime::ReadIntProperty(test_layout::kMainWindow, test_layout::kRepairButton, 6);
    std::ofstream(MarkerPath(), std::ios::app) << "attacker " << attacker << " disabled " << disabled << "\n";
    runtime::EndProgram(5);
  }).detach();
  runtime::RunMessageLoop();
  return 0;
}

NETMEND_CHILD(foreign_posts_ignored) { runtime::RunProgram(ForeignPostsAreIgnored); }

NETMEND_CHILD(class_property_not_loaded) {
  runtime::InitializeRuntime(TestImage());
  runtime::RegisterExitRoutine(AppendMarker);
  runtime::ReadProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8);
  return 0;
}

// The test block with a handler table that lacks one of its references.
NETMEND_CHILD(unresolved_handlers) {
  runtime::ProgramImage image = TestImage();
  image.handlers = image.handlers.first(image.handlers.size() - 1);
  runtime::InitializeRuntime(image);
  return 0;
}

NETMEND_CHILD(broken_template_block) {
  runtime::ProgramImage image = TestImage();
  image.templateBlock = image.templateBlock.first(7);
  runtime::InitializeRuntime(image);
  return 0;
}

TEST(FormsProgramEnd, ClosingTheLastWindowRunsTheExitRoutinesOnceAndEndsWith0) {
  const ChildOutcome outcome = RunChild("close_last_window", false);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_EQ(outcome.marker, "main\n");
}

TEST(FormsProgramEnd, AnotherThreadEndsTheProgramOnTheMainThread) {
  const ChildOutcome outcome = RunChild("end_from_another_thread", false);
  EXPECT_EQ(outcome.exitCode, 3u);
  EXPECT_EQ(outcome.marker, "main\n");
}

TEST(FormsProgramEnd, HandOffMessagesPostedByAnotherProcessRunNothingAndEndNothing) {
  const ChildOutcome outcome = RunChild("foreign_posts_ignored", false);
  EXPECT_EQ(outcome.marker, "attacker 0 disabled 1\nmain\n");
  EXPECT_EQ(outcome.exitCode, 5u) << "ended by its own thread, not by the posted 0x83E7";
}

TEST(FormsProgramEnd, AClassPropertyOfAWindowNotLoadedIsARuntimeError) {
  const ChildOutcome outcome = RunChild("class_property_not_loaded", true);
  EXPECT_EQ(outcome.boxText, "运行时出错!\r\n\r\n错误信息：指定窗口尚未载入\r\n");
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(outcome.marker, "") << "no exit routine after a runtime error";
}

TEST(FormsProgramEnd, AnUnresolvedHandlerReferenceInTheProgramsBlockFailsStartUp) {
  const ChildOutcome outcome = RunChild("unresolved_handlers", true);
  EXPECT_EQ(outcome.boxText,
            std::string("运行时出错!\r\n\r\n错误信息：") + runtime::kErrorUnresolvedHandlers + "\r\n");
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
}

TEST(FormsProgramEnd, AnUnreadableTemplateBlockIsARuntimeError) {
  const ChildOutcome outcome = RunChild("broken_template_block", true);
  EXPECT_EQ(outcome.boxText, "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
  EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
}

}  // namespace
