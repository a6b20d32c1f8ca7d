// PNG buttons: the layered path driven by posted mouse messages and the enabled flag, the
// non-layered path painting itself over its cached background, and attaching rules.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"

namespace skin_test {
namespace {

using skin::PngControl;
using skin::SkinWindow;

class LayeredButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WatchPresents();
    window = TopWindow(200, 100);
    ASSERT_TRUE(skinned.Attach(H(window)));
    button = ButtonChild(window, 20, 30, 30, 20);
    ASSERT_TRUE(control.AttachButton(H(button)));
    skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
    // The pointer rests on the button, so that leave tracking waits for it to go.
    SetCursorPos(100 + 35, 100 + 40);
    Pump();
  }
  void TearDown() override { DestroyWindow(window); }
  uint32_t Shown() { return LastPicture(window).at(35, 40); }
  void Post(UINT message, WPARAM wParam = 0) {
    PostMessageA(button, message, wParam, MAKELPARAM(15, 10));
    Pump();
  }

  HWND window = nullptr, button = nullptr;
  SkinWindow skinned;
  PngControl control;
};

TEST_F(LayeredButtonTest, HoverPressReleaseAndLeaveShowTheirImages) {
  control.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)), View(SolidPng(30, 20, kGreen)),
                                  View(SolidPng(30, 20, kBlue)));
  skinned.AdoptControls();
  Post(WM_MOUSELEAVE);  // the pointer came in while the button was attached
  EXPECT_EQ(Shown(), kRed);
  Post(WM_MOUSEMOVE);
  EXPECT_EQ(Shown(), kGreen);
  const int presents = PresentCount(window);
  Post(WM_MOUSEMOVE);
  Post(WM_MOUSEMOVE);
  EXPECT_EQ(PresentCount(window), presents) << "moves while hovered do not recompose";
  Post(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(Shown(), kBlue);
  Post(WM_MOUSEMOVE, MK_LBUTTON);
  EXPECT_EQ(Shown(), kBlue) << "moves while pressed change nothing";
  Post(WM_LBUTTONUP);
  EXPECT_EQ(Shown(), kGreen);
  Post(WM_MOUSELEAVE);
  EXPECT_EQ(Shown(), kRed);
}

TEST_F(LayeredButtonTest, DisablingShowsTheDisabledImageOrElseTheNormalOne) {
  control.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)), std::nullopt, std::nullopt,
                                  View(SolidPng(30, 20, kYellow)));
  skinned.AdoptControls();
  // The real pointer rests on the button: when Wine has delivered its arrival, it also tracks
  // the leave, and its tracking timer, seeing a disabled button no longer under the pointer,
  // posts WM_MOUSELEAVE, which shows the normal image. Seen under load, when that timer fires
  // between the disabling and the check. The pointer goes away first and the leave it was
  // waiting for comes in before the test goes on.
  SetCursorPos(0, 0);
  TRACKMOUSEEVENT tracking = {sizeof tracking, TME_QUERY};
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(10)) {
    Pump();
    tracking = {sizeof tracking, TME_QUERY};
    if (!TrackMouseEvent(&tracking) || !(tracking.dwFlags & TME_LEAVE) || tracking.hwndTrack != button) break;
  }
  ASSERT_FALSE((tracking.dwFlags & TME_LEAVE) && tracking.hwndTrack == button) << "the leave never came";
  EnableWindow(button, FALSE);
  Pump();
  EXPECT_EQ(Shown(), kYellow);
  EnableWindow(button, TRUE);
  Pump();
  EXPECT_EQ(Shown(), kRed);
  control.SetProperty("PngControl_DisableImage", 0);
  EnableWindow(button, FALSE);
  Pump();
  EXPECT_EQ(Shown(), kRed);
}

TEST_F(LayeredButtonTest, AButtonWithOnlyANormalImageShowsItInEveryState) {
  control.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)));
  skinned.AdoptControls();
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE}) {
    Post(message);
    EXPECT_EQ(Shown(), kRed) << message;
  }
  EnableWindow(button, FALSE);
  Pump();
  EXPECT_EQ(Shown(), kRed);
}

TEST_F(LayeredButtonTest, AttachingTwiceReplacesEachProcedureOnce) {
  const LONG_PTR saved = GetWindowLongPtrA(button, GWLP_WNDPROC);
  const intptr_t original = control.GetProperty("PngControl_WndProc");
  ASSERT_TRUE(control.AttachButton(H(button)));
  EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), saved);
  EXPECT_EQ(control.GetProperty("PngControl_WndProc"), original);

  // A control whose parent is itself a PNG control leaves the parent's procedure alone.
  HWND inner = ButtonChild(button, 2, 2, 5, 5);
  PngControl child;
  ASSERT_TRUE(child.AttachButton(H(inner)));
  EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), saved);

  // Adopting puts the button's own procedure back under the layered one, once.
  skinned.AdoptControls();
  const intptr_t layered = GetWindowLongPtrA(button, GWLP_WNDPROC);
  EXPECT_EQ(control.GetProperty("PngControl_ChildWndProc"), original);
  EXPECT_EQ(control.GetProperty("PngControl_WndProc"), 0);
  skinned.AdoptControls();
  EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), layered);
  EXPECT_FALSE(control.AttachButton(0));
}

TEST_F(LayeredButtonTest, MoveKeepsWhatIsNotGiven) {
  control.Move(std::nullopt, std::nullopt, 44, std::nullopt);
  const RECT box = skin::ChildRect(window, button);
  EXPECT_EQ(box.left, 20);
  EXPECT_EQ(box.top, 30);
  EXPECT_EQ(box.right - box.left, 44);
  EXPECT_EQ(box.bottom - box.top, 20);
  control.Move(25, std::nullopt, std::nullopt, std::nullopt);
  EXPECT_EQ(skin::ChildRect(window, button).top, 30);
  skinned.Move(std::nullopt, std::nullopt, 210, std::nullopt);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.right - frame.left, 210);
  EXPECT_EQ(frame.bottom - frame.top, 100);
}

TEST(SkinWindowAttach, ASecondAttachRewritesTheStyleAndKeepsOneTimer) {
  WatchPresents();
  HWND window = TopWindow(50, 50);
  SkinWindow skinned;
  EXPECT_FALSE(skinned.Attach(0));
  EXPECT_EQ(skinned.GetHandle(), 0u);
  ASSERT_TRUE(skinned.Attach(H(window)));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE), WS_EX_LAYERED);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window, "PngControl_Time")), 64);
  SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  // A timer already running: killing it shows whether a second one was started.
  ASSERT_TRUE(skinned.Attach(H(window)));
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE), WS_EX_LAYERED);
  EXPECT_TRUE(KillTimer(window, 64));
  ASSERT_TRUE(skinned.Attach(H(window)));
  EXPECT_FALSE(KillTimer(window, 64)) << "the mark stops a second timer";
  EXPECT_TRUE(skinned.IsValid());
  DestroyWindow(window);
  EXPECT_FALSE(skinned.IsValid());
}

}  // namespace
}  // namespace skin_test
