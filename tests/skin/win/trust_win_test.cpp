// Another process sets every window property the layer writes to values of its choosing, then
// has the layer act (posted messages, mouse input, painting, a control's and a dialog's end):
// the layer keeps drawing what it set and frees only what it made. Each attack runs in a
// child process, so that code that trusts the properties fails the test instead of ending it.
#include <windows.h>
// after windows.h
#include <gtest/gtest.h>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"
#include "support/child_process_win.h"

namespace skin_test {
namespace {

using skin::PngControl;
using skin::SkinWindow;

constexpr intptr_t kForged = 0x41414141;

// What another process can do to any window of ours: set each of the layer's properties.
void Forge(HWND window, intptr_t value = kForged) {
  for (const char* name :
       {"PngControl_Type", "PngControl_BackType", "PngControl_BackImage", "PngControl_NormalImage",
        "PngControl_OverlImage", "PngControl_DownImage", "PngControl_DisableImage", "Vireo_DrawState",
        "PngControl_IsFoucs", "PngControl_CacheBitmap", "PngControl_WndProc", "PngControl_ChildWndProc",
        "PngControl_BackColor", "PngControl_BackAlpha", "PngControl_OrderColor", "PngControl_OrderAlpha",
        "PngControl_TextColor", "Vireo_ToolTips", "PngControl_Time"}) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(value));
  }
}

void PostAndPump(HWND window, UINT message, WPARAM wParam = 0) {
  PostMessageA(window, message, wParam, MAKELPARAM(15, 10));
  Pump();
}

NETMEND_CHILD(skin_forged_layered) {
  WatchPresents();
  HWND window = TopWindow(200, 100);
  SkinWindow skinned;
  PngControl control, editControl;
  if (!skinned.Attach(H(window))) return 1;
  HWND button = ButtonChild(window, 20, 30, 30, 20);
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 60, 30, 100, 24, window, nullptr, nullptr,
                              nullptr);
  control.AttachButton(H(button));
  control.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)), View(SolidPng(30, 20, kGreen)),
                                  View(SolidPng(30, 20, kBlue)));
  editControl.Attach(H(edit));
  editControl.SetProperty("PngControl_Type", 4);
  editControl.SetProperty("PngControl_BackColor", 0xFFFF00);  // cyan, opaque
  editControl.SetProperty("PngControl_BackAlpha", 255);
  editControl.SetProperty("PngControl_OrderColor", -1);
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  skinned.AdoptControls();
  SetCursorPos(100 + 35, 100 + 40);
  const size_t tracked = skin::Images().TrackedCount();

  for (HWND forged : {window, button, edit}) Forge(forged);
  PostAndPump(window, WM_USER + 5);
  PostAndPump(window, WM_PAINT);
  PostAndPump(button, WM_MOUSEMOVE);
  if (LastPicture(window).at(35, 40) != kGreen) return 2;
  PostAndPump(button, WM_LBUTTONDOWN, MK_LBUTTON);
  if (LastPicture(window).at(35, 40) != kBlue) return 3;
  PostAndPump(button, WM_LBUTTONUP);
  PostAndPump(edit, WM_CHAR, 'x');
  const Picture& shown = LastPicture(window);
  if (shown.at(35, 40) != kGreen || shown.at(180, 90) != kWhite) return 4;
  if (shown.at(120, 32) != 0xFF00FFFF) return 5;  // the edit box's fill, not a forged colour
  if (skin::Images().TrackedCount() != tracked) return 6;

  DestroyWindow(window);
  Pump();
  return skin::Images().TrackedCount() == tracked - 4 ? 0 : 7;  // background and three states
}

LRESULT CALLBACK WhiteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND WhiteWindow() {
  WNDCLASSEXA windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = WhiteProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "SkinTrustWhite";
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, "SkinTrustWhite", "", WS_POPUP | WS_VISIBLE, 300, 200, 120, 80, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

DWORD WINAPI SleepLong(void*) {
  Sleep(60000);
  return 0;
}

// Handles another process points the properties at, which the layer must neither use nor free:
// a bitmap, an image, a running thread and a global block of someone else's.
struct Foreign {
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  skin::ImageHandle image = skin::LoadImageFromBytes(View(SolidPng(4, 4, kYellow)));
  HANDLE thread = CreateThread(nullptr, 0, SleepLong, nullptr, 0, nullptr);
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, 16);
  bool Untouched() const {
    UINT width = 0;
    return GetObjectType(bitmap) == OBJ_BITMAP && !skin::ImageInUse(image) &&
           base::Gdiplus()->GdipGetImageWidth(skin::AsImage(image), &width) == base::kGpOk && width == 4 &&
           WaitForSingleObject(thread, 0) == WAIT_TIMEOUT && GlobalSize(block) == 16;
  }
};

NETMEND_CHILD(skin_forged_plain_and_dialog) {
  if (!skin::StartSkin()) return 1;
  const Foreign foreign;
  HWND parent = WhiteWindow();
  HWND button = ButtonChild(parent, 10, 10, 40, 20);
  PngControl control;
  control.AttachButton(H(button));
  control.SetStateImagesFromBytes(View(SolidPng(20, 20, kRed)), View(SolidPng(20, 20, kGreen)));
  UpdateWindow(parent);
  UpdateWindow(button);
  Pump();
  for (HWND forged : {parent, button}) Forge(forged, reinterpret_cast<intptr_t>(foreign.bitmap));
  SetPropA(button, "PngControl_NormalImage", reinterpret_cast<HANDLE>(foreign.image));
  PostAndPump(parent, WM_USER + 5);
  InvalidateRect(button, nullptr, FALSE);
  UpdateWindow(button);
  PostAndPump(button, WM_MOUSEMOVE);
  HDC dc = GetDC(button);
  const COLORREF hover = GetPixel(dc, 5, 5);
  ReleaseDC(button, dc);
  if (hover != RGB(0, 255, 0)) return 2;
  DestroyWindow(parent);
  Pump();
  if (!foreign.Untouched()) return 3;

  for (HANDLE image : {reinterpret_cast<HANDLE>(foreign.image), reinterpret_cast<HANDLE>(kForged)}) {
    HWND dialog = CreateWindowExA(0, "VireoLoadDialog", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetPropA(dialog, "Vireo_Thread", foreign.thread);
    SetPropA(dialog, "Vireo_Image", image);
    SetPropA(dialog, "Vireo_Stream", foreign.block);
    DestroyWindow(dialog);
  }
  return foreign.Untouched() ? 0 : 4;
}

TEST(ForgedProperties, ALayeredWindowKeepsDrawingWhatTheLayerSetAndEndsCleanly) {
  EXPECT_EQ(testing_support::RunChild("skin_forged_layered", false).exitCode, 0u);
}

TEST(ForgedProperties, APlainButtonAndTheLoadDialogFreeOnlyWhatTheLayerMade) {
  EXPECT_EQ(testing_support::RunChild("skin_forged_plain_and_dialog", false).exitCode, 0u);
}

}  // namespace
}  // namespace skin_test
