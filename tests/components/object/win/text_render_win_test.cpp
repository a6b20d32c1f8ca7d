// Text rendered through GDI: size from the font's measures, two colours, the background as
// the transparent colour.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "components/object/text_render.h"

using namespace components;

namespace {

// The extent of a text in a font, measured here on our own.
SIZE Extent(const char* text, HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size;
}

size_t Count(const FrameSet& set, uint32_t pixel) {
  size_t n = 0;
  for (uint32_t p : set.frames[0].pixels) n += p == pixel;
  return n;
}

TEST(RenderText, LinesAreMeasuredAndStackedTwoPixelsApart) {
  const FrameSet set = RenderText("AB\r\nC", {}, 0x000000);
  ASSERT_EQ(set.frames.size(), 1u);
  const SIZE ab = Extent("AB", nullptr), c = Extent("C", nullptr);
  EXPECT_EQ(set.width, std::max(ab.cx, c.cx));
  EXPECT_EQ(set.height, ab.cy + c.cy + 2);
  EXPECT_EQ(set.frames[0].delay, 0);
  // Black text on white: white is the transparent colour, and only the two colours remain.
  EXPECT_EQ(set.frames[0].transparentColor, 0xFFFFFFu);
  const size_t text = Count(set, 0x00000000), back = Count(set, 0x00FFFFFF);
  EXPECT_GT(text, 0u);
  EXPECT_GT(back, text);
  EXPECT_EQ(text + back, set.PixelCount());
}

TEST(RenderText, WhiteTextIsDrawnOnBlackAndOtherColoursAreKeptExactly) {
  const FrameSet white = RenderText("Hi", {}, 0xFFFFFF);
  ASSERT_FALSE(white.Empty());
  EXPECT_EQ(white.frames[0].transparentColor, 0x000000u);
  EXPECT_GT(Count(white, 0x00FFFFFF), 0u);
  EXPECT_EQ(Count(white, 0x00FFFFFF) + Count(white, 0), white.PixelCount());

  const FrameSet red = RenderText("Hi", {}, 0x0000FF);  // COLORREF red: 0x00FF0000 in pixel order
  ASSERT_FALSE(red.Empty());
  EXPECT_EQ(red.frames[0].transparentColor, 0xFFFFFFu);
  EXPECT_GT(Count(red, 0x00FF0000), 0u);
  EXPECT_EQ(Count(red, 0x00FF0000) + Count(red, 0x00FFFFFF), red.PixelCount());
}

TEST(RenderText, ASixtyByteFontRecordIsUsedAndAnythingElseMeansTheDefault) {
  LOGFONTA big{};
  big.lfHeight = -40;
  std::strcpy(big.lfFaceName, "Tahoma");
  std::vector<uint8_t> record(sizeof big);
  std::memcpy(record.data(), &big, sizeof big);
  ASSERT_EQ(record.size(), 60u);
  HFONT font = CreateFontIndirectA(&big);
  const SIZE expected = Extent("Wg", font);
  DeleteObject(font);

  const FrameSet large = RenderText("Wg", record, 0);
  EXPECT_EQ(large.width, expected.cx);
  EXPECT_EQ(large.height, expected.cy);
  record.pop_back();
  const FrameSet fallback = RenderText("Wg", record, 0);
  EXPECT_EQ(fallback.height, Extent("Wg", nullptr).cy);
  EXPECT_LT(fallback.height, large.height);
}

TEST(RenderText, EmptyTextsAndEmptyLinesGiveNoImageOrTakeAFullLine) {
  EXPECT_TRUE(RenderText("", {}, 0).Empty());
  EXPECT_TRUE(RenderText("\n", {}, 0).Empty());  // one empty line: no width
  const SIZE a = Extent("A", nullptr);
  const FrameSet gap = RenderText("A\n\nA", {}, 0);
  EXPECT_EQ(gap.height, a.cy * 3 + 4);
  EXPECT_TRUE(RenderText("AAAA", {}, 0, 16).Empty());  // over a tiny budget
}

}  // namespace
