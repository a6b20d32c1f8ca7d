// Edit boxes drawn into a layered window (text, caret, fill and border), GDI+ fonts made
// from GDI fonts, and the shared tooltip window.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"

namespace skin_test {
namespace {

using skin::PngControl;
using skin::SkinWindow;

constexpr uint32_t kGrey = 0xFFC0C0C0;
// A face that both GDI and Wine's GDI+ find.
constexpr char kFace[] = "DejaVu Sans";

class EditBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WatchPresents();
    window = TopWindow(200, 100);
    ASSERT_TRUE(skinned.Attach(H(window)));
    edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 20, 30, 150, 24, window,
                           nullptr, nullptr, nullptr);
    ASSERT_TRUE(control.Attach(H(edit)));
    control.SetProperty("PngControl_Type", 4);
    control.SetProperty("PngControl_BackColor", 0xC0C0C0);
    control.SetProperty("PngControl_BackAlpha", 255);
    control.SetProperty("PngControl_OrderColor", 0xFF0000);  // blue
    control.SetProperty("PngControl_OrderAlpha", 255);
    control.SetProperty("PngControl_TextColor", 0);
    skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  }
  void TearDown() override {
    DestroyWindow(window);
    if (font) DeleteObject(font);
  }
  void GiveFont() {
    font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, kFace);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // Pixels inside the box that are neither its fill nor its border.
  int InkInside() {
    const Picture& picture = LastPicture(window);
    int ink = 0;
    for (int y = 32; y < 52; ++y) {
      for (int x = 22; x < 168; ++x) ink += picture.at(x, y) != kGrey;
    }
    return ink;
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
      Pump();
    }
  }
  // Waits for a picture with the caret drawn; its column, or -1.
  int CaretColumn() {
    for (int i = 0; i < 150; ++i) {
      PumpFor(10);
      const Picture& picture = LastPicture(window);
      for (int x = 22; x < 168; ++x) {
        bool line = true;  // 12 rows from 30 + (24 - 12) / 2
        for (int y = 36; y < 48; ++y) line = line && picture.at(x, y) == kBlack;
        if (line) return x;
      }
    }
    return -1;
  }

  HWND window = nullptr, edit = nullptr;
  HFONT font = nullptr;
  SkinWindow skinned;
  PngControl control;
};

TEST_F(EditBoxTest, AnEmptyBoxDrawsFillAndBorderAndTypedTextAppearsAfterEachKey) {
  GiveFont();
  skinned.AdoptControls();
  // The border runs along the box's left and top edges and one pixel beyond its right and
  // bottom ones.
  EXPECT_EQ(LastPicture(window).at(20, 40), kBlue);
  EXPECT_EQ(LastPicture(window).at(90, 30), kBlue);
  EXPECT_EQ(LastPicture(window).at(170, 40), kBlue);
  EXPECT_EQ(LastPicture(window).at(90, 54), kBlue);
  EXPECT_EQ(InkInside(), 0);
  SetFocus(edit);
  Pump();
  int ink = InkInside();
  for (const char* key : {"W", "M", "W"}) {
    const int presents = PresentCount(window);
    Type(key);
    EXPECT_GT(PresentCount(window), presents);
    EXPECT_GT(InkInside(), ink) << "after " << key;
    ink = InkInside();
  }
}

TEST_F(EditBoxTest, TheDrawnCaretFollowsTheCaretPosition) {
  GiveFont();
  skinned.AdoptControls();
  SetFocus(edit);
  Pump();
  const int first = CaretColumn();
  POINT caret{};
  GetCaretPos(&caret);
  EXPECT_EQ(first, 20 + caret.x + 5);
  Type("WWW");
  const int moved = CaretColumn();
  GetCaretPos(&caret);
  EXPECT_EQ(moved, 20 + caret.x + 5);
  EXPECT_GT(moved, first);
}

TEST_F(EditBoxTest, ABoxWithoutAFontDrawsNoText) {
  skinned.AdoptControls();
  SetFocus(edit);
  Type("WWW");
  char text[8] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "WWW");
  EXPECT_EQ(InkInside(), 0);
}

TEST(SkinFont, MadeFromAGdiFontKeepsItsPixelSizeAndOnlyTheTwoBoldWeights) {
  ASSERT_TRUE(skin::StartSkin());
  const struct {
    int height, weight;
    float size;
    bool bold;
  } cases[] = {{-20, 800, 20, false}, {-20, 700, 20, true}, {-12, 600, 12, true}, {15, 400, 15, false}};
  for (const auto& c : cases) {
    HFONT gdiFont = CreateFontA(c.height, 0, 0, 0, c.weight, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, kFace);
    skin::SkinFont font;
    ASSERT_NE(font.CreateFromHFONT(reinterpret_cast<uintptr_t>(gdiFont)), 0u) << c.weight;
    float size = 0;
    int32_t unit = 0, style = 0;
    font.GetSize(&size);
    font.GetUnit(&unit);
    font.GetStyle(&style);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(unit, 2);
    EXPECT_EQ((style & 1) != 0, c.bold) << c.weight;
    EXPECT_EQ(style & 2, 2) << "italic";
    skin::SkinFont moved = std::move(font);
    EXPECT_EQ(font.GetHandle(), 0u);
    EXPECT_NE(moved.GetHandle(), 0u);
    DeleteObject(gdiFont);
  }
  skin::SkinFont none;
  EXPECT_EQ(none.CreateFromHFONT(0), 0u);
}

TEST(SetToolTip, ASecondCallUpdatesTheOneToolAndFalseCentresTheTip) {
  ASSERT_TRUE(skin::StartSkin());
  HWND window = TopWindow(100, 60);
  PngControl first, second;
  first.Attach(H(ButtonChild(window, 0, 0, 40, 20)));
  second.Attach(H(ButtonChild(window, 50, 0, 40, 20)));
  first.SetToolTip("one");
  first.SetToolTip("two");
  HWND tip = skin::SharedToolTip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[80] = {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = reinterpret_cast<HWND>(first.GetHandle());
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "two");

  second.SetToolTip("below", false);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  tool.hwnd = reinterpret_cast<HWND>(second.GetHandle());
  ASSERT_TRUE(SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_TRUE(tool.uFlags & TTF_CENTERTIP);
  EXPECT_TRUE(tool.uFlags & TTF_SUBCLASS);
  DestroyWindow(window);
}

TEST(SetToolTip, ATipSetBeforeOrAfterAdoptionStaysHookedToItsControl) {
  WatchPresents();
  HWND window = TopWindow(100, 60);
  SkinWindow skinned;
  ASSERT_TRUE(skinned.Attach(H(window)));
  HWND first = ButtonChild(window, 0, 0, 40, 20), second = ButtonChild(window, 50, 0, 40, 20);
  PngControl before, after;
  before.AttachButton(H(first));
  after.AttachButton(H(second));
  after.SetStateImagesFromBytes(View(SolidPng(40, 20, kRed)), View(SolidPng(40, 20, kGreen)));
  const LONG_PTR skinned1 = GetWindowLongPtrA(first, GWLP_WNDPROC);
  before.SetToolTip("before");
  const LONG_PTR tipped = GetWindowLongPtrA(first, GWLP_WNDPROC);
  ASSERT_NE(tipped, skinned1) << "the tip lays its procedure over the control's";
  skinned.AdoptControls();
  EXPECT_EQ(GetWindowLongPtrA(first, GWLP_WNDPROC), tipped) << "adoption unhooked the tip";
  const LONG_PTR adopted = GetWindowLongPtrA(second, GWLP_WNDPROC);
  after.SetToolTip("after");
  EXPECT_NE(GetWindowLongPtrA(second, GWLP_WNDPROC), adopted);
  skinned.AdoptControls();
  EXPECT_NE(GetWindowLongPtrA(second, GWLP_WNDPROC), adopted);
  // Under the tip, the layered button still hears the mouse.
  SetCursorPos(100 + 60, 100 + 10);
  PostMessageA(second, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  Pump();
  EXPECT_EQ(LastPicture(window).at(60, 10), kGreen);
  DestroyWindow(window);
}

TEST_F(EditBoxTest, APasswordBoxDrawsItsPasswordCharacterNotItsText) {
  GiveFont();
  SendMessageA(edit, EM_SETPASSWORDCHAR, '*', 0);
  ASSERT_TRUE(GetWindowLongPtrA(edit, GWL_STYLE) & ES_PASSWORD);
  skinned.AdoptControls();
  SetWindowTextA(edit, "WWW");
  Pump();
  EXPECT_GT(InkInside(), 0);
  const std::vector<uint32_t> wide = LastPicture(window).pixels;
  SetWindowTextA(edit, "iii");
  Pump();
  EXPECT_TRUE(LastPicture(window).pixels == wide) << "the text shows through";
}

}  // namespace
}  // namespace skin_test
