// The animation box's stored property data.
#include "components/box/box_properties.h"

#include <gtest/gtest.h>

using namespace components;

namespace {

std::vector<uint8_t> Words(std::initializer_list<int32_t> words) {
  std::vector<uint8_t> out;
  for (int32_t v : words)
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
  return out;
}

TEST(BoxData, EmptyDataGivesTheDefaultsAndWrittenDataReadsBack) {
  BoxProperties p;
  p.picDrawMode = 7;  // overwritten by the read
  ASSERT_TRUE(ReadBoxData({}, &p));
  EXPECT_EQ(p, BoxProperties());
  EXPECT_EQ(p.backColor, 0xFF000000u);
  EXPECT_EQ(p.drawRop2, 12);

  p.SetValue(kBoxBorder, 9);  // clamped to 5
  p.SetValue(kBoxPenWidth, -3);
  p.SetValue(kBoxBrushStyle, 54);
  p.SetValue(kBoxTextBackColor, 0x123456);
  p.font.assign(60, 7);
  p.picture = {1, 2, 3};
  EXPECT_EQ(p.border, 5);
  EXPECT_EQ(p.penWidth, 0);
  const std::vector<uint8_t> data = WriteBoxData(p);
  EXPECT_EQ(data.size(), 4 + 11 * 4 + 4 + 60 + 4 + 3u);
  EXPECT_EQ(data[0], 2);
  BoxProperties again;
  ASSERT_TRUE(ReadBoxData(data, &again));
  EXPECT_EQ(again, p);
}

TEST(BoxData, Version1HasNoDrawingStateAndNewerOrCutDataIsRejectedWhole) {
  std::vector<uint8_t> v1 = Words({1, 2, 0x00FF00, 3, 2});
  v1.push_back(0xAB);
  v1.push_back(0xCD);
  BoxProperties p;
  ASSERT_TRUE(ReadBoxData(v1, &p));
  EXPECT_EQ(p.border, 2);
  EXPECT_EQ(p.backColor, 0x00FF00u);
  EXPECT_EQ(p.picDrawMode, 3);
  EXPECT_EQ(p.picture, (std::vector<uint8_t>{0xAB, 0xCD}));
  EXPECT_EQ(p.penStyle, 1);

  EXPECT_FALSE(ReadBoxData(Words({3, 1, 0, 0, 0}), &p));
  EXPECT_EQ(p, BoxProperties());
  BoxProperties full;
  full.border = 1;
  full.picture = {9, 9};
  const std::vector<uint8_t> data = WriteBoxData(full);
  for (size_t n = 1; n < data.size(); ++n) {
    EXPECT_FALSE(ReadBoxData(std::span(data).first(n), &p)) << n;
    EXPECT_EQ(p, BoxProperties()) << n;
  }
}

}  // namespace
