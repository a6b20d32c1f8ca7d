// Copies and source-over blends of premultiplied pixels, clipped to the picture.
#include "skin/pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace skin {
namespace {

TEST(BlendPixels, SourceOverWithPremultipliedRounding) {
  std::vector<uint32_t> target(4, 0xFF0000FF);  // opaque blue
  const uint32_t source[] = {0xFFFF0000, 0x00000000, 0x80800000, 0x01010101};
  BlendPixels({target.data(), 4, 1}, 0, 0, {source, 4, 1}, 4, 1);
  EXPECT_EQ(target[0], 0xFFFF0000u) << "opaque replaces";
  EXPECT_EQ(target[1], 0xFF0000FFu) << "transparent keeps";
  EXPECT_EQ(target[2], 0xFF80007Fu) << "half red over blue: 255 * 127 / 255 of the blue";
  EXPECT_EQ(target[3], 0xFF0101FFu);
}

TEST(BlendPixels, OnlyTheGivenCornerIsDrawnAndNothingOutsideThePicture) {
  std::vector<uint32_t> target(5 * 4, 0);
  std::vector<uint32_t> source(3 * 3, 0xFF00FF00);
  source[1] = 0xFF112233;  // row 0, column 1
  BlendPixels({target.data(), 5, 4}, -1, 2, {source.data(), 3, 3}, 2, 5);
  // Columns 0..1 of the source from x = -1, rows 0..2 from y = 2, cut at the bottom.
  EXPECT_EQ(target[2 * 5 + 0], 0xFF112233u);
  EXPECT_EQ(target[3 * 5 + 0], 0xFF00FF00u);
  EXPECT_EQ(target[2 * 5 + 1], 0u) << "the part beyond the given width is not drawn";
  EXPECT_EQ(target[1 * 5 + 0], 0u);
  BlendPixels({target.data(), 5, 4}, 4, 3, {source.data(), 3, 3}, 3, 3);
  EXPECT_EQ(target[3 * 5 + 4], 0xFF00FF00u);
  BlendPixels({target.data(), 5, 4}, 9, 9, {source.data(), 3, 3}, 3, 3);  // wholly outside
}

TEST(CopyPixels, OnlyAPictureOfTheSameSize) {
  std::vector<uint32_t> target(4, 7);
  const uint32_t source[] = {1, 2, 3, 4};
  CopyPixels({target.data(), 2, 2}, {source, 4, 1});
  EXPECT_EQ(target[0], 7u);
  CopyPixels({target.data(), 2, 2}, {source, 2, 2});
  EXPECT_EQ(target[3], 4u);
}

TEST(ChangedArea, BoundsEveryChangedPixelAndCopyAreaMovesExactlyThatPart) {
  std::vector<uint32_t> before(6 * 5, 0x11111111), after = before;
  EXPECT_TRUE(ChangedArea({before.data(), 6, 5}, {after.data(), 6, 5}).empty());
  after[1 * 6 + 4] = 1;  // row 1, column 4
  after[3 * 6 + 2] = 2;  // row 3, column 2
  const PixelArea area = ChangedArea({before.data(), 6, 5}, {after.data(), 6, 5});
  EXPECT_EQ((std::vector<int32_t>{area.left, area.top, area.right, area.bottom}),
            (std::vector<int32_t>{2, 1, 5, 4}));
  after[0] = 3;  // outside the area: not copied
  CopyArea({before.data(), 6, 5}, {after.data(), 6, 5}, area);
  EXPECT_EQ(before[1 * 6 + 4], 1u);
  EXPECT_EQ(before[3 * 6 + 2], 2u);
  EXPECT_EQ(before[0], 0x11111111u);
  // Only the part asked about is compared (clipped to the picture): the pixel left behind at
  // the top-left corner is outside the first, inside the second.
  EXPECT_TRUE(ChangedArea({before.data(), 6, 5}, {after.data(), 6, 5}, {1, 0, 9, 9}).empty());
  const PixelArea corner = ChangedArea({before.data(), 6, 5}, {after.data(), 6, 5}, {-1, -1, 3, 2});
  EXPECT_EQ((std::vector<int32_t>{corner.left, corner.top, corner.right, corner.bottom}),
            (std::vector<int32_t>{0, 0, 1, 1}));
  EXPECT_TRUE(ChangedArea({before.data(), 6, 5}, {before.data(), 6, 4}).empty()) << "sizes differ";
}

TEST(ClearArea, ClearsTheClippedAreaAndNothingElse) {
  std::vector<uint32_t> pixels(4 * 3, 0xFFFFFFFF);
  ClearArea({pixels.data(), 4, 3}, {2, -5, 9, 2});  // columns 2 and 3 of rows 0 and 1
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0,
                                           0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
  ClearArea({pixels.data(), 4, 3}, {5, 0, 9, 3});  // wholly outside
  EXPECT_EQ(pixels[11], 0xFFFFFFFFu);
}

}  // namespace
}  // namespace skin
