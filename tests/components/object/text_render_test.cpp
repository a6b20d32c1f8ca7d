// The portable half of text rendering: lines and the two-coloured result.
#include "components/object/text_render.h"

#include <gtest/gtest.h>

using namespace components;
using Lines = std::vector<std::string_view>;

namespace {

TEST(TextLines, SplitAtLineFeedsDroppingACarriageReturnBeforeThem) {
  EXPECT_EQ(SplitTextLines("AB\r\nC"), (Lines{"AB", "C"}));
  EXPECT_EQ(SplitTextLines("A\n"), (Lines{"A"}));
  EXPECT_EQ(SplitTextLines("A\n\nB"), (Lines{"A", "", "B"}));
  EXPECT_EQ(SplitTextLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitTextLines("A\rB"), (Lines{"A\rB"}));
  EXPECT_EQ(SplitTextLines("A\r"), (Lines{"A\r"}));
  EXPECT_EQ(SplitTextLines("A\r\r\n"), (Lines{"A\r"}));
  EXPECT_EQ(SplitTextLines(""), (Lines{}));
  EXPECT_EQ(SplitTextLines("\n\n"), (Lines{"", ""}));
}

TEST(TextFrame, BlackBackgroundForWhiteTextElseWhite) {
  EXPECT_EQ(TextBackgroundColor(0xFFFFFF), 0x000000u);
  EXPECT_EQ(TextBackgroundColor(0x000000), 0xFFFFFFu);
  EXPECT_EQ(TextBackgroundColor(0x0000FF), 0xFFFFFFu);
  EXPECT_EQ(TextBackgroundColor(0xFEFFFF), 0xFFFFFFu);
}

TEST(TextFrame, EveryPixelNotExactlyTheBackgroundTakesTheTextColour) {
  FrameSet set;
  set.width = 4;
  set.height = 1;
  set.frames.push_back({kNoColor, 9, {0x00FFFFFF, 0x00FFFFFE, 0x00808080, 0x00000000}});
  FinishTextFrame(set, 0x000000FF, 0xFFFFFF);  // COLORREF red is 0x00FF0000 in pixel order
  EXPECT_EQ(set.frames[0].pixels, (std::vector<uint32_t>{0x00FFFFFF, 0x00FF0000, 0x00FF0000, 0x00FF0000}));
  EXPECT_EQ(set.frames[0].transparentColor, 0xFFFFFFu);
  EXPECT_EQ(set.frames[0].delay, 0);
}

}  // namespace
