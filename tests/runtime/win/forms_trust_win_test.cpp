// The runtime's windows under messages and properties from elsewhere: a test acting as another
// process would (another thread stands in for it where the message must be sent). A unit is
// found from its window only through the runtime's own table, bound only by its own creation;
// the private destroy and click messages act only on the runtime's own requests; a posted
// notification, a posted control command and a timer callback this process did not set never
// reach a window; the clock does not run faster than its interval.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "forms_win_support.h"
#include "runtime/core/runtime_messages.h"
#include "runtime/forms/form_entry.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/forms/message_loop_win.h"
#include "runtime/test_layout.h"

using namespace forms_test;

namespace {

class FormsTrustWin : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFresh();
    runtime::LoadStartWindow(test_layout::kMainWindow);
    main_ = Handle(test_layout::kMainWindow, 0);
    ASSERT_TRUE(IsWindow(main_));
    SeenEvents().clear();
  }
  void TearDown() override { CleanUp(); }

  static size_t Clicks(uint32_t unitId) {
    const std::vector<int32_t> events = EventsOf(test_layout::kMainWindow, unitId);
    return static_cast<size_t>(std::count(events.begin(), events.end(), test_layout::kButtonClicked));
  }

  HWND main_ = nullptr;
};

// Sends from another thread, as another process's message arrives; this thread takes it
// meanwhile, as the window thread's loop would.
struct Sent {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int times;
};

DWORD WINAPI SendIt(void* context) {
  const auto* sent = static_cast<const Sent*>(context);
  for (int i = 0; i < sent->times; ++i) SendMessageA(sent->window, sent->message, sent->wParam, sent->lParam);
  return 0;
}

void SendFromAnotherThread(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int times = 1) {
  Sent sent{window, message, wParam, lParam, times};
  HANDLE thread = CreateThread(nullptr, 0, SendIt, &sent, 0, nullptr);
  ASSERT_TRUE(thread);
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG none;
    PeekMessageA(&none, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread);
}

TEST_F(FormsTrustWin, AUnitIsNeitherReadFromAPropertyNorRebound) {
  HWND repair = Handle(test_layout::kMainWindow, test_layout::kRepairButton);
  HWND clock = Handle(test_layout::kMainWindow, test_layout::kProgressClock);
  SetPropA(repair, "_ZR_Unit", reinterpret_cast<HANDLE>(0x41414141));
  SetPropA(main_, "_ZR_Unit", reinterpret_cast<HANDLE>(0x41414141));
  SendMessageA(repair, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  PostMessageA(main_, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  runtime::ProcessWaitingMessages();

  // A WM_NCCREATE from elsewhere, its creation data naming memory the sender chose.
  std::vector<uint8_t> elsewhere(512, 0);
  CREATESTRUCTA create{};
  create.lpCreateParams = elsewhere.data();
  for (HWND target : {repair, clock, main_}) {
    SendFromAnotherThread(target, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
  }
  EXPECT_TRUE(std::all_of(elsewhere.begin(), elsewhere.end(), [](uint8_t b) { return b == 0; }))
      << "nothing was written through the sender's pointer";

  // The units are still their own: a click reaches the button's unit.
  PostMessageA(repair, BM_CLICK, 0, 0);
  runtime::ProcessWaitingMessages();
  EXPECT_EQ(Clicks(test_layout::kRepairButton), 1u);
  EXPECT_TRUE(IsWindow(main_));
}

TEST_F(FormsTrustWin, ThePrivateDestroyAndClickMessagesDoNothingForOthers) {
  HWND finish = Handle(test_layout::kMainWindow, test_layout::kFinishButton);
  HWND repair = Handle(test_layout::kMainWindow, test_layout::kRepairButton);
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kFinishButton, 6, 1);
  ASSERT_FALSE(IsWindowEnabled(finish));
  const WPARAM finishClicked = MAKEWPARAM(GetDlgCtrlID(finish), BN_CLICKED);
  const WPARAM repairClicked = MAKEWPARAM(GetDlgCtrlID(repair), BN_CLICKED);

  PostMessageA(main_, runtime::kMessageDestroySelf, 0, 0);
  PostMessageA(finish, runtime::kMessageReflectedCommand, finishClicked, reinterpret_cast<LPARAM>(finish));
  PostMessageA(main_, WM_COMMAND, repairClicked, reinterpret_cast<LPARAM>(repair));
  runtime::ProcessWaitingMessages();
  SendFromAnotherThread(main_, WM_COMMAND, finishClicked, reinterpret_cast<LPARAM>(finish));
  SendFromAnotherThread(finish, runtime::kMessageReflectedCommand, finishClicked,
                        reinterpret_cast<LPARAM>(finish));

  EXPECT_TRUE(IsWindow(main_)) << "a forged destroy message destroyed the window";
  EXPECT_EQ(Clicks(test_layout::kFinishButton), 0u) << "the disabled finish button was clicked";
  EXPECT_EQ(Clicks(test_layout::kRepairButton), 0u) << "a posted command clicked the repair button";
}

// A window that counts what reaches it.
std::vector<UINT> gReached;
LRESULT CALLBACK CountReached(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY || message == WM_COMMAND || message == WM_TIMER) gReached.push_back(message);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool gForeignCallbackRan = false;
void CALLBACK ForeignCallback(HWND, UINT, UINT_PTR, DWORD) { gForeignCallbackRan = true; }

TEST_F(FormsTrustWin, TheLoopDropsWhatOnlyAnotherProcessPosts) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountReached;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrustCountReached";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
  ASSERT_TRUE(window);
  gReached.clear();
  gForeignCallbackRan = false;
  PostMessageA(window, WM_NOTIFY, 0, 1);
  PostMessageA(main_, WM_NOTIFY, 0, 1);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(main_));
  PostMessageA(window, WM_TIMER, 7, reinterpret_cast<LPARAM>(&ForeignCallback));
  PostThreadMessageA(GetCurrentThreadId(), WM_TIMER, 7, reinterpret_cast<LPARAM>(&ForeignCallback));
  PostMessageA(window, WM_COMMAND, 2, 0);  // a menu's command stays
  PostMessageA(window, WM_TIMER, 8, 0);    // a timer without a callback goes to the window
  runtime::ProcessWaitingMessages();
  DestroyWindow(window);
  EXPECT_FALSE(gForeignCallbackRan) << "the loop called a callback this process never set";
  EXPECT_EQ(gReached, (std::vector<UINT>{WM_COMMAND, WM_TIMER}));
}

TEST_F(FormsTrustWin, ForgedTicksDoNotRunTheClockFasterThanItsInterval) {
  HWND clock = Handle(test_layout::kMainWindow, test_layout::kProgressClock);
  for (int i = 0; i < 20; ++i) PostMessageA(clock, WM_TIMER, 1000, 0);
  runtime::ProcessWaitingMessages();
  EXPECT_TRUE(EventsOf(test_layout::kMainWindow, test_layout::kProgressClock).empty())
      << "a stopped clock ticked";

  const DWORD start = GetTickCount();
  runtime::WriteIntProperty(test_layout::kMainWindow, test_layout::kProgressClock, 8, 50);
  for (int i = 0; i < 20; ++i) PostMessageA(clock, WM_TIMER, 1000, 0);
  SendFromAnotherThread(clock, WM_TIMER, 1000, 0, 20);
  After(600, [this] { PostMessageA(main_, WM_CLOSE, 0, 0); });
  EXPECT_TRUE(RunLoopWithin(5000));
  // One tick in 50 ms while the clock ran (a busy machine may make it fewer, but the real ones
  // keep coming), and two more for the slack at the start and end.
  const DWORD elapsed = GetTickCount() - start;
  const size_t ticks = EventsOf(test_layout::kMainWindow, test_layout::kProgressClock).size();
  EXPECT_GE(ticks, 1u);
  EXPECT_LE(ticks, elapsed / 50 + 2) << "the 40 forged ticks counted";
}

}  // namespace
