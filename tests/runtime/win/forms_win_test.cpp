// The form runtime under Wine on the tests' own template block: loading (order, control
// ids, stacking, events, centring), the order of waiting messages, closing by Esc, dragging by
// the background, two windows, the window services, and the placeholder units of the missing
// libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "app/services/command_table.h"
#include "forms_win_support.h"
#include "runtime/forms/form_runtime.h"
#include "runtime/forms/message_loop_win.h"
#include "runtime/templates/class_blocks.h"
#include "runtime/templates/font_record.h"
#include "runtime/test_layout.h"

using namespace forms_test;
using runtime::TypedValue;

namespace {

const TypedValue kMain =
    runtime::UnitReference(test_layout::kMainWindow, test_layout::kMainWindowUnit, runtime::kClassWindow);
const TypedValue kOverlay = runtime::UnitReference(test_layout::kOverlayWindow,
                                                   test_layout::kOverlayWindowUnit, runtime::kClassWindow);

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

// The close events of a window, in order.
std::vector<int32_t> CloseEvents(uint32_t windowId) {
  std::vector<int32_t> events;
  for (int32_t event : EventsOf(windowId, 0)) {
    if (event == 12 || event == 1 || event == 2) events.push_back(event);
  }
  return events;
}

// Loads the overlay window on top of the main window when the main window is created, as the
// application's creation handler does.
void LoadOverlayWithMain(runtime::EventFrame& frame) {
  if (frame.windowId == test_layout::kMainWindow && frame.eventIndex == 0) {
    services::CallCore(services::kLoadWindow, {kOverlay, kMain, TypedValue::Bool(false)});
  }
}

class FormsWin : public ::testing::Test {
 protected:
  void SetUp() override { StartFresh(); }
  void TearDown() override { CleanUp(); }
};

TEST_F(FormsWin, TheMainWindowIsBuiltInOrderStackedAndCentred) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  ASSERT_TRUE(IsWindow(main));

  // Created from the last stored component to the first: ids 100, 110, ... in that order.
  EXPECT_EQ(GetDlgCtrlID(Handle(test_layout::kMainWindow, test_layout::kRepairButton)), 100);
  EXPECT_EQ(GetDlgCtrlID(Handle(test_layout::kMainWindow, test_layout::kCloseButton)), 110);
  EXPECT_EQ(GetDlgCtrlID(Handle(test_layout::kMainWindow, test_layout::kProgressClock)), 120);
  EXPECT_EQ(GetDlgCtrlID(Handle(test_layout::kMainWindow, test_layout::kFinishButton)), 130);
  EXPECT_EQ(GetDlgCtrlID(Handle(test_layout::kMainWindow, test_layout::kLogoButton)), 100 + 10 * (6 - 2));

  // The first stored component lies on top, the others below it in stored order.
  std::vector<HWND> stacking;
  for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    stacking.push_back(child);
  EXPECT_EQ(stacking, (std::vector<HWND>{Handle(test_layout::kMainWindow, test_layout::kLogoButton),
                                         Handle(test_layout::kMainWindow, test_layout::kFinishButton),
                                         Handle(test_layout::kMainWindow, test_layout::kProgressClock),
                                         Handle(test_layout::kMainWindow, test_layout::kCloseButton),
                                         Handle(test_layout::kMainWindow, test_layout::kRepairButton)}));

  RECT r{};
  GetWindowRect(main, &r);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 580) / 2;
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right - r.left, 800);
  EXPECT_EQ(r.bottom - r.top, 580);
  EXPECT_EQ(runtime::ReadIntProperty(test_layout::kMainWindow, 0, 0), left);
  if (GetSystemMetrics(SM_CXSCREEN) == 1024 && GetSystemMetrics(SM_CYSCREEN) == 768) {
    EXPECT_EQ(left, 112);
    EXPECT_EQ(top, 94);
  }

  // No frame, no caption: a pop-up of class KVWindow, shown; buttons shown, the clock never.
  const auto style = GetWindowLongPtrA(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_EQ(ClassOf(main), "KVWindow");
  EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr) << "shown in the taskbar";
  EXPECT_EQ(ClassOf(Handle(test_layout::kMainWindow, test_layout::kProgressClock)), "_ZR_Timer");
  EXPECT_FALSE(IsWindowVisible(Handle(test_layout::kMainWindow, test_layout::kProgressClock)));
  EXPECT_TRUE(IsWindowVisible(Handle(test_layout::kMainWindow, test_layout::kRepairButton)));
  EXPECT_EQ(
      GetWindowLongPtrA(Handle(test_layout::kMainWindow, test_layout::kRepairButton), GWL_STYLE) & WS_TABSTOP,
      WS_TABSTOP);
}

TEST_F(FormsWin, Events0Then3Then4OnceEachAfterEveryComponentExists) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  const std::vector<Seen>& seen = SeenEvents();
  // Creating the windows sent them moves, sizes and shows: none of it raised an event.
  ASSERT_GE(seen.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(seen[i].windowId, test_layout::kMainWindow);
    EXPECT_EQ(seen[i].event, std::vector<int32_t>({0, 3, 4})[i]);
    EXPECT_TRUE(seen[i].everyUnitLive);
  }
  const std::vector<int32_t> events = EventsOf(test_layout::kMainWindow, 0);
  for (int32_t event : {0, 3, 4}) EXPECT_EQ(std::count(events.begin(), events.end(), event), 1) << event;
}

TEST_F(FormsWin, EscClosesTheMainWindowThroughEvents12And1) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  PostMessageA(Handle(test_layout::kMainWindow, test_layout::kRepairButton), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(RunLoopWithin(5000)) << "the loop ends when the last window is gone";
  EXPECT_FALSE(IsWindow(main));
  EXPECT_EQ(CloseEvents(test_layout::kMainWindow), (std::vector<int32_t>{12, 1, 2}));
  EXPECT_FALSE(runtime::Forms().IsWindowLoaded(test_layout::kMainWindow, 0));
}

TEST_F(FormsWin, WaitingMessagesAreHandledInArrivalOrderAndTheQuitMessageIsLeft) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  SeenEvents().clear();
  PostMessageA(Handle(test_layout::kMainWindow, test_layout::kRepairButton), BM_CLICK, 0, 0);
  PostQuitMessage(0);
  PostMessageA(Handle(test_layout::kMainWindow, 0), WM_CLOSE, 0, 0);
  runtime::ProcessWaitingMessages();
  std::vector<std::pair<uint32_t, int32_t>> seen;
  for (const Seen& event : SeenEvents()) {
    if (event.event == 0 || event.event == 1 || event.event == 2 || event.event == 12)
      seen.emplace_back(event.unitId, event.event);
  }
  const uint32_t window = test_layout::kMainWindowUnit;
  EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, int32_t>>{
                      {test_layout::kRepairButton, 0}, {window, 12}, {window, 1}, {window, 2}}))
      << "the click, posted first, is handled before the close";
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message waits still";
}

TEST_F(FormsWin, AHandlerReturningFalseOnEvent12KeepsItOpen) {
  gOnEvent = [](runtime::EventFrame& frame) {
    if (frame.eventIndex == 12) frame.Return(0);
  };
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
  bool openAfterEsc = false;
  After(500, [&] {
    openAfterEsc = IsWindow(main) && runtime::Forms().IsWindowLoaded(test_layout::kMainWindow, 0);
    services::CallCore(services::kDestroyWindowUnit, {kMain});
  });
  EXPECT_TRUE(RunLoopWithin(5000));
  EXPECT_TRUE(openAfterEsc);
  EXPECT_EQ(CloseEvents(test_layout::kMainWindow), (std::vector<int32_t>{12, 2})) << "event 1 is not asked";
}

HHOOK gHook;
std::vector<MSG> gCaptionPresses;
int gClicksSeen;
WNDPROC gWindowProc;

LRESULT CALLBACK SwallowCaptionPresses(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_NCLBUTTONDOWN) {
    gCaptionPresses.push_back(*message);
    message->message = WM_NULL;  // the test has no mouse to follow the drag with
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}

LRESULT CALLBACK CountClicks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) ++gClicksSeen;
  return CallWindowProcA(gWindowProc, hwnd, message, wParam, lParam);
}

TEST_F(FormsWin, PressingTheBackgroundStartsACaptionDragAndTheClickGoesOn) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  gCaptionPresses.clear();
  gClicksSeen = 0;
  gHook = SetWindowsHookExA(WH_GETMESSAGE, SwallowCaptionPresses, nullptr, GetCurrentThreadId());
  gWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountClicks)));
  PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
  PostMessageA(Handle(test_layout::kMainWindow, test_layout::kCloseButton), WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(2, 2));
  After(400, [] { services::CallCore(services::kDestroyWindowUnit, {kMain}); });
  EXPECT_TRUE(RunLoopWithin(5000));
  UnhookWindowsHookEx(gHook);

  ASSERT_EQ(gCaptionPresses.size(), 1u) << "only the window's own surface drags it";
  RECT r{};
  EXPECT_EQ(gCaptionPresses[0].hwnd, main);
  EXPECT_EQ(gCaptionPresses[0].wParam, static_cast<WPARAM>(HTCAPTION));
  const int left = (GetSystemMetrics(SM_CXSCREEN) - 800) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - 580) / 2;
  EXPECT_EQ(gCaptionPresses[0].lParam, MAKELPARAM(left + 5, top + 7)) << "where the press was, on the screen";
  EXPECT_EQ(gClicksSeen, 1) << "the click itself went on to the window";
  (void)r;
}

TEST_F(FormsWin, PressingAnAnimationBoxDragsAWindowThatAllowsItAndConsumesTheClick) {
  gOnEvent = LoadOverlayWithMain;
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND overlay = Handle(test_layout::kOverlayWindow, 0);
  runtime::Forms().WriteProperty(test_layout::kOverlayWindow, test_layout::kOverlayWindowUnit,
                                 runtime::kWindowDragByClient, 0, 1);
  gCaptionPresses.clear();
  SeenEvents().clear();
  gHook = SetWindowsHookExA(WH_GETMESSAGE, SwallowCaptionPresses, nullptr, GetCurrentThreadId());
  PostMessageA(Handle(test_layout::kOverlayWindow, test_layout::kCartoonBox1), WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(3, 4));
  runtime::ProcessWaitingMessages();
  runtime::ProcessWaitingMessages();
  UnhookWindowsHookEx(gHook);
  ASSERT_EQ(gCaptionPresses.size(), 1u);
  EXPECT_EQ(gCaptionPresses[0].hwnd, overlay);
  EXPECT_TRUE(EventsOf(test_layout::kOverlayWindow, test_layout::kCartoonBox1).empty())
      << "the click is consumed";
}

TEST_F(FormsWin, ClosingOneOfTwoWindowsKeepsTheLoopRunning) {
  gOnEvent = LoadOverlayWithMain;
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  HWND overlay = Handle(test_layout::kOverlayWindow, 0);
  ASSERT_TRUE(IsWindow(overlay));
  EXPECT_EQ(GetWindow(overlay, GW_OWNER), main) << "loaded with the main window as its owner";
  EXPECT_TRUE(GetWindowLongPtrA(overlay, GWL_STYLE) & WS_POPUP);
  bool mainStayed = false;
  After(200, [&] { PostMessageA(overlay, WM_CLOSE, 0, 0); });
  After(700, [&] {
    mainStayed = !IsWindow(overlay) && IsWindow(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
  });
  EXPECT_TRUE(RunLoopWithin(5000));
  EXPECT_TRUE(mainStayed);
  EXPECT_EQ(CloseEvents(test_layout::kOverlayWindow), (std::vector<int32_t>{12, 1, 2}));
  EXPECT_EQ(CloseEvents(test_layout::kMainWindow), (std::vector<int32_t>{12, 1, 2}));
}

TEST_F(FormsWin, DestroyingTheMainWindowTakesTheOverlayWithIt) {
  gOnEvent = LoadOverlayWithMain;
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND overlay = Handle(test_layout::kOverlayWindow, 0);
  After(200, [] { services::CallCore(services::kDestroyWindowUnit, {kMain}); });
  EXPECT_TRUE(RunLoopWithin(5000));
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_EQ(CloseEvents(test_layout::kOverlayWindow), (std::vector<int32_t>{2}));
  EXPECT_EQ(CloseEvents(test_layout::kMainWindow), (std::vector<int32_t>{2}));
  EXPECT_EQ(services::CallCore(services::kIsWindowLoaded, {kOverlay}).low, 0u);
}

TEST_F(FormsWin, LoadingALoadedWindowRaisesNoSecondCreationEvent) {
  gOnEvent = LoadOverlayWithMain;
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND overlay = Handle(test_layout::kOverlayWindow, 0);
  EXPECT_EQ(services::CallCore(services::kIsWindowLoaded, {kOverlay}).low, 1u);
  const TypedValue again =
      services::CallCore(services::kLoadWindow, {kOverlay, kMain, TypedValue::Bool(false)});
  EXPECT_EQ(again.type, runtime::kTypeBool);
  EXPECT_EQ(again.low, 1u);
  EXPECT_EQ(Handle(test_layout::kOverlayWindow, 0), overlay);
  const std::vector<int32_t> events = EventsOf(test_layout::kOverlayWindow, 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), 0), 1);
}

TEST_F(FormsWin, MoveUnitWithLeftAndTopKeepsTheSize) {
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND main = Handle(test_layout::kMainWindow, 0);
  SeenEvents().clear();
  services::CallCore(services::kMoveUnit, {kMain, TypedValue::Int(10), TypedValue::Int(20)});
  RECT r{};
  GetWindowRect(main, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 810);
  EXPECT_EQ(r.bottom, 600);
  EXPECT_EQ(EventsOf(test_layout::kMainWindow, 0), (std::vector<int32_t>{3})) << "moved, not resized";
  const TypedValue handle = services::CallCore(services::kGetUnitHandle, {kMain});
  EXPECT_EQ(handle.AsInt32(), static_cast<int32_t>(reinterpret_cast<uintptr_t>(main)));
}

TEST_F(FormsWin, TheOverlayHasRealLabelsObjectsAndBoxes) {
  gOnEvent = LoadOverlayWithMain;
  runtime::LoadStartWindow(test_layout::kMainWindow);
  HWND box = Handle(test_layout::kOverlayWindow, test_layout::kCartoonBox1);
  EXPECT_EQ(ClassOf(box), "CartoonBox");
  EXPECT_FALSE(IsWindowVisible(box)) << "stored hidden";
  // The box's events reach the runtime: a click on no object.
  SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(EventsOf(test_layout::kOverlayWindow, test_layout::kCartoonBox1), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(GetWindow(Handle(test_layout::kOverlayWindow, 0), GW_CHILD),
            Handle(test_layout::kOverlayWindow, test_layout::kCartoonBox2));
  EXPECT_EQ(ClassOf(Handle(test_layout::kOverlayWindow, test_layout::kCartoonObject1)), "CartoonObject");
  EXPECT_EQ(ClassOf(Handle(test_layout::kOverlayWindow, test_layout::kCartoonObject2)), "CartoonObject");

  // The labels from the template block: empty captions, "微软雅黑" fonts 48, 21 and 16 pixels
  // high, black, black and white.
  struct Expected {
    uint32_t unit;
    int32_t height;
    uint32_t colour;
  };
  for (const Expected& e :
       {Expected{test_layout::kTitleLabel, -48, 0}, Expected{test_layout::kDescriptionLabel, -21, 0},
        Expected{test_layout::kLabel1, -16, 0xFFFFFF}}) {
    HWND label = Handle(test_layout::kOverlayWindow, e.unit);
    EXPECT_EQ(ClassOf(label), "TransLabel");
    EXPECT_TRUE(IsWindowVisible(label));
    EXPECT_TRUE(GetWindowLongPtrA(label, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindowTextLengthA(label), 0);
    runtime::FormRuntime& forms = runtime::Forms();
    runtime::LiveWindow* overlay = forms.Find(test_layout::kOverlayWindow);
    ASSERT_TRUE(overlay);
    const size_t unit = *overlay->IndexOf(e.unit);
    EXPECT_EQ(forms.ClassProperty(*overlay, unit, 0)->bytes, runtime::Bytes{}) << "caption";
    EXPECT_EQ(static_cast<uint32_t>(forms.ClassProperty(*overlay, unit, 3)->number), e.colour);
    const std::optional<runtime::FontRecord> font =
        runtime::ReadFontRecord(forms.ClassProperty(*overlay, unit, 2)->bytes);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->height, e.height);
    EXPECT_EQ(font->FaceName(), "微软雅黑");
  }
}

}  // namespace
