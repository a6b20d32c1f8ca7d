// The non-layered path (a button painting itself over its cached background), what a control
// leaves behind when it ends, the process's memory over many image swaps, and a process
// without GDI+.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>
#include <psapi.h>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"
#include "support/child_process_win.h"

namespace skin_test {
namespace {

using skin::PngControl;
using skin::SkinWindow;

int gParentPaints = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    ++gParentPaints;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND PlainParent(bool visible) {
  static const ATOM kClass = [] {
    WNDCLASSEXA windowClass{sizeof windowClass};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SkinTestPlainParent";
    return RegisterClassExA(&windowClass);
  }();
  (void)kClass;
  return CreateWindowExA(0, "SkinTestPlainParent", "", WS_POPUP | (visible ? WS_VISIBLE : 0), 300, 200, 120,
                         80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

TEST(NonLayeredButton, AStateChangeRepaintsOnlyTheButtonOverItsCachedBackground) {
  ASSERT_TRUE(skin::StartSkin());
  HWND parent = PlainParent(true);
  HWND button = ButtonChild(parent, 10, 10, 40, 20);
  PngControl control;
  ASSERT_TRUE(control.AttachButton(H(button)));
  control.SetStateImagesFromBytes(View(SolidPng(20, 20, kRed)), View(SolidPng(20, 20, kGreen)));
  UpdateWindow(parent);
  UpdateWindow(button);
  Pump();
  ASSERT_NE(control.GetProperty("PngControl_CacheBitmap"), 0);
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(button, 30, 5), RGB(255, 255, 255)) << "the parent's white beside a 20 px image";
  const int paints = gParentPaints;
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(button, 30, 5), RGB(255, 255, 255));
  Pump();
  EXPECT_EQ(gParentPaints, paints);
  SendMessageA(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(255, 0, 0));
  DestroyWindow(parent);
}

TEST(NonLayeredButton, ANeverPaintedButtonDrawsNothingAndAnEndingOneLeavesNothing) {
  ASSERT_TRUE(skin::StartSkin());
  HWND parent = PlainParent(false);
  HWND button = ButtonChild(parent, 10, 10, 40, 20);
  const LONG_PTR original = GetWindowLongPtrA(button, GWLP_WNDPROC);
  const size_t tracked = skin::Images().TrackedCount();
  PngControl control;
  ASSERT_TRUE(control.AttachButton(H(button)));
  control.SetStateImagesFromBytes(View(SolidPng(20, 20, kRed)), View(SolidPng(20, 20, kGreen)));
  SendMessageA(button, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(control.GetProperty("Vireo_DrawState"), 1);
  EXPECT_EQ(control.GetProperty("PngControl_CacheBitmap"), 0);
  EXPECT_EQ(skin::Images().TrackedCount(), tracked + 2);

  // The control's end gives its images and procedure back.
  SendMessageA(button, WM_NCDESTROY, 0, 0);
  EXPECT_EQ(skin::Images().TrackedCount(), tracked);
  EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), original);
  EXPECT_EQ(control.GetProperty("PngControl_Type"), 0);
  DestroyWindow(parent);
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage;
}

TEST(SkinMemory, AThousandImageSwapsOnAFullSizeWindowKeepTheProcessFlat) {
  ASSERT_TRUE(skin::StartSkin());
  HWND window = TopWindow(800, 580);
  SkinWindow skinned;
  ASSERT_TRUE(skinned.Attach(H(window)));
  HWND button = ButtonChild(window, 300, 400, 214, 56);
  PngControl control;
  control.AttachButton(H(button));
  const auto background = Png(800, 580, [](int x, int y) { return 0xFF000000u | uint32_t(x * 7 ^ y * 13); });
  const auto image = Png(214, 56, [](int x, int y) { return 0x80000000u | uint32_t(x * y); });
  const auto round = [&] {
    skinned.SetBackImageFromBytes(View(background));
    control.SetStateImagesFromBytes(View(image), View(image), View(image));
    skinned.AdoptControls();
  };
  for (int i = 0; i < 50; ++i) round();
  const size_t before = PrivateBytes();
  for (int i = testing_support::Rounds(1000); i > 0; --i) round();
  const size_t after = PrivateBytes();
  EXPECT_LT(after, before + 5 * 1024 * 1024) << before << " -> " << after;
  DestroyWindow(window);
}

TEST(LoadDialog, AClickWithoutTheMoveMarkStaysAndTheEndFreesWhatItHeld) {
  ASSERT_TRUE(skin::StartSkin());
  HWND dialog = CreateWindowExA(0, "VireoLoadDialog", "", WS_POPUP | WS_VISIBLE, 40, 50, 60, 40, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  SetPropA(dialog, "VireoHitMove", reinterpret_cast<HANDLE>(2));
  SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  RECT frame{};
  GetWindowRect(dialog, &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 50);
  const skin::ImageHandle image = skin::LoadImageFromBytes(View(SolidPng(4, 4, kRed)));
  const size_t tracked = skin::Images().TrackedCount();
  EXPECT_FALSE(skin::GiveToLoadDialog(H(TopWindow(10, 10)), 0, image, 0)) << "another class";
  ASSERT_TRUE(skin::GiveToLoadDialog(H(dialog), 0, image, 0));
  EXPECT_EQ(reinterpret_cast<skin::ImageHandle>(GetPropA(dialog, "Vireo_Image")), image)
      << "for outside readers";
  DestroyWindow(dialog);
  EXPECT_EQ(skin::Images().TrackedCount(), tracked - 1) << "the image it held is disposed";
}

NETMEND_CHILD(skin_without_gdiplus) {
  if (skin::StartSkinFrom("no-such-gdiplus.dll") || skin::SkinStarted()) return 1;
  if (skin::LoadImageFromBytes(View(SolidPng(4, 4, kRed)))) return 2;
  HWND window = TopWindow(50, 50);
  SkinWindow skinned;
  PngControl control;
  if (skinned.Attach(H(window)) || skinned.SetBackImageFromBytes(View(SolidPng(4, 4, kRed)))) return 3;
  if (control.AttachButton(H(ButtonChild(window, 0, 0, 10, 10)))) return 4;
  if (control.CreateButton(H(window), 0, 0, 10, 10, "x")) return 5;
  skinned.AdoptControls();
  control.SetStateImagesFromBytes(View(SolidPng(4, 4, kRed)));
  if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) return 6;
  return 0;
}

TEST(SkinWithoutGdiplus, EveryOperationDoesNothingAndSaysSo) {
  EXPECT_EQ(testing_support::RunChild("skin_without_gdiplus", false).exitCode, 0u);
}

TEST(NonLayeredButton, AReleaseOverThePressedButtonShowsTheHoverImage) {
  ASSERT_TRUE(skin::StartSkin());
  HWND parent = PlainParent(true);
  HWND button = ButtonChild(parent, 10, 10, 40, 20);
  PngControl control;
  ASSERT_TRUE(control.AttachButton(H(button)));
  control.SetStateImagesFromBytes(View(SolidPng(20, 20, kRed)), View(SolidPng(20, 20, kGreen)),
                                  View(SolidPng(20, 20, kBlue)));
  UpdateWindow(parent);
  UpdateWindow(button);
  Pump();
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(0, 0, 255));
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(PixelOf(button, 5, 5), RGB(0, 255, 0));
  DestroyWindow(parent);
}

}  // namespace
}  // namespace skin_test
