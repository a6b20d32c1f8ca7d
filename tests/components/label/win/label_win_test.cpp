// The transparent label under Wine: its effects, vertical placement, font rules and the
// see-through refresh, read back from the screen over a plain host.
#include "components/label/label_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <tuple>

#include "components/label/label.h"
#include "components/win/unit_host_win.h"

using namespace components;
using unit_host::Host;
using unit_host::Near;

namespace {

constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr RECT kLabelArea{10, 10, 310, 90};

runtime::Bytes Font(int32_t height, uint8_t charSet, const char* face = "Tahoma") {
  runtime::FontRecord font{.height = -height, .weight = 700, .charSet = charSet};
  font.SetFaceName(face);
  return runtime::WriteFontRecord(font);
}

runtime::Bytes Block(LabelProperties p) { return WriteTransLabelBlock(p); }

LabelProperties RedText(const char* caption, int32_t effect = 0) {
  return {.textEffect = effect, .textColour = kRed, .font = Font(40, 0), .caption = caption};
}

Host::Capture Show(const LabelProperties& p, COLORREF background = kGreen) {
  Host host(320, 100, background);
  EXPECT_TRUE(host.Create(LabelClassInterface, Block(p), 10, 10, 300, 80));
  return host.Grab();
}

bool IsRed(COLORREF c) { return Near(c, kRed, 60); }
bool IsWhite(COLORREF c) { return Near(c, RGB(255, 255, 255), 60); }
bool IsBlack(COLORREF c) { return Near(c, RGB(0, 0, 0), 50); }

void Change(runtime::UnitObject* unit, int k, runtime::PropertyValue value) {
  const auto changed =
      reinterpret_cast<runtime::PropertyChangedRoutine>(LabelClassInterface(runtime::kOpPropertyChanged));
  EXPECT_EQ(changed(*unit, k, value), 0);
}

// What a label at kLabelArea shows, drawn here by hand: the passes (colour, offset) in order
// with a bold 40-pixel Tahoma of the default character set in proof quality, single line,
// left-aligned and vertically centred.
Host::Capture Expected(const char* text, std::initializer_list<std::tuple<COLORREF, int>> passes) {
  Host::Capture capture{320, 100, std::vector<COLORREF>(320 * 100)};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 320, 100);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT all{0, 0, 320, 100};
  HBRUSH green = CreateSolidBrush(kGreen);
  FillRect(dc, &all, green);
  DeleteObject(green);
  LOGFONTA lf{};
  lf.lfHeight = -40;
  lf.lfWeight = 700;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = PROOF_QUALITY;
  lstrcpyA(lf.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (auto [color, offset] : passes) {
    RECT at = kLabelArea;
    OffsetRect(&at, offset, offset);
    SetTextColor(dc, color);
    DrawTextA(dc, text, -1, &at, DT_NOPREFIX | DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  }
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 320; ++x) capture.pixels[y * 320 + x] = GetPixel(dc, x, y);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return capture;
}

TEST(LabelWindow, EachEffectDrawsItsTwoPassesAtTheirOffsets) {
  constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
  EXPECT_EQ(Show(RedText("HW")).pixels, Expected("HW", {{kRed, 0}}).pixels);
  EXPECT_EQ(Show(RedText("HW", kEffectEngraved)).pixels, Expected("HW", {{kWhite, 1}, {kRed, 0}}).pixels);
  EXPECT_EQ(Show(RedText("HW", kEffectEmbossed)).pixels, Expected("HW", {{kWhite, 0}, {kRed, 1}}).pixels);
  const Host::Capture shadow = Show(RedText("HW", kEffectShadow));
  EXPECT_EQ(shadow.pixels, Expected("HW", {{kBlack, 2}, {kRed, 0}}).pixels);
  EXPECT_NE(shadow.pixels, Expected("HW", {{kBlack, 1}, {kRed, 0}}).pixels);
}

TEST(LabelWindow, VerticalPlacementAppliesOnlyToSingleLines) {
  LabelProperties p = RedText("Wg");
  p.verticalAlign = 2;
  const RECT bottom = unit_host::BoundsOf(Show(p), kLabelArea, IsRed);
  p.wordWrap = true;
  const RECT wrapped = unit_host::BoundsOf(Show(p), kLabelArea, IsRed);
  p.wordWrap = false;
  p.verticalAlign = 0;
  const RECT top = unit_host::BoundsOf(Show(p), kLabelArea, IsRed);
  EXPECT_GT(bottom.top, top.top + 20);
  EXPECT_EQ(wrapped.top, top.top);
  p.horizontalAlign = 2;
  EXPECT_GT(unit_host::BoundsOf(Show(p), kLabelArea, IsRed).left, top.left + 100);
}

TEST(LabelWindow, FontRecordsOfNationalSetsDrawInTheDefaultSetAndOtherLengthsAreIgnored) {
  LabelProperties p = RedText("AbQ");
  const Host::Capture tahoma = Show(p);
  p.font = Font(40, 2 /* SYMBOL_CHARSET */);
  EXPECT_EQ(Show(p).pixels, tahoma.pixels);
  p.font = Font(40, 134 /* GB2312 */);
  EXPECT_EQ(Show(p).pixels, tahoma.pixels);

  p.font.pop_back();  // 59 bytes: the default GUI font
  const Host::Capture fallback = Show(p);
  p.font.clear();
  EXPECT_EQ(Show(p).pixels, fallback.pixels);
  EXPECT_NE(fallback.pixels, tahoma.pixels);
  EXPECT_LT(unit_host::BoundsOf(fallback, kLabelArea, IsRed).bottom -
                unit_host::BoundsOf(fallback, kLabelArea, IsRed).top,
            20);
}

TEST(LabelWindow, AShortCaptionLeavesNothingOfTheLongOneOverParentOrSibling) {
  Host host(320, 100, kGreen);
  host.Panel(kBlue, 150, 0, 170, 100);  // beneath the right half of the label
  runtime::UnitObject* unit = host.Create(LabelClassInterface, Block(RedText("WWWWWWWWWW")), 10, 10, 300, 80);
  ASSERT_TRUE(unit);
  const Host::Capture before = host.Grab();
  ASSERT_GT(unit_host::BoundsOf(before, {150, 10, 310, 90}, IsRed).right, 200)
      << "the long text covers the panel";

  Change(unit, LabelK(kLabelCaption), {.bytes = {'i'}});
  const Host::Capture after = host.Grab();
  const RECT text = unit_host::BoundsOf(after, kLabelArea, IsRed);
  EXPECT_LT(text.right, 40);
  for (int y = 10; y < 90; ++y) {
    for (int x = 40; x < 310; ++x) {
      ASSERT_EQ(after.At(x, y), x < 150 ? kGreen : kBlue) << x << "," << y;
    }
  }
  char caption[8] = "";
  GetWindowTextA(reinterpret_cast<HWND>(unit->Handle()), caption, sizeof caption);
  EXPECT_STREQ(caption, "i");

  // Moving it clears where it was and where it goes alike.
  MoveWindow(reinterpret_cast<HWND>(unit->Handle()), 160, 10, 150, 80, TRUE);
  const Host::Capture moved = host.Grab();
  const RECT left = unit_host::BoundsOf(moved, {0, 0, 150, 100}, IsRed);
  EXPECT_LE(left.right, left.left);
  EXPECT_GT(unit_host::BoundsOf(moved, {150, 0, 320, 100}, IsRed).right, 160);
}

TEST(LabelWindow, EmptyCaptionDrawsNothingAndStoredDataRoundTrips) {
  LabelProperties p = RedText("");
  p.textEffect = 3;
  const Host::Capture empty = Show(p);
  for (COLORREF c : empty.pixels) ASSERT_EQ(c, kGreen);

  Host host(100, 40, kGreen);
  runtime::UnitObject* unit = host.Create(LabelClassInterface, Block(p), 0, 0, 100, 40);
  ASSERT_TRUE(unit);
  const auto serialize =
      reinterpret_cast<runtime::SerializeRoutine>(LabelClassInterface(runtime::kOpSerialize));
  EXPECT_EQ(serialize(*unit), Block(p));
  const auto get =
      reinterpret_cast<runtime::GetPropertyRoutine>(LabelClassInterface(runtime::kOpGetProperty));
  EXPECT_EQ(get(*unit, LabelK(kLabelFont)).bytes.size(), 60u);
  EXPECT_EQ(get(*unit, LabelK(kLabelTextEffect)).number, 3);
  // Data of a newer version: the label comes up with its defaults.
  runtime::UnitObject* newer = host.Create(LabelClassInterface, runtime::Bytes{2, 0, 0, 0}, 0, 0, 100, 40);
  ASSERT_TRUE(newer);
  EXPECT_EQ(serialize(*newer), Block(LabelProperties{}));
}

}  // namespace
