// The animation box's background modes, on hand-computed pixels.
#include "components/box/box_background.h"

#include <gtest/gtest.h>

#include <vector>

using namespace components;

namespace {

constexpr uint32_t C = 0x00C0C0C0;

std::vector<uint32_t> Render(int32_t w, int32_t h, const std::vector<uint32_t>& pic, int32_t pw, int32_t ph,
                             int32_t mode) {
  std::vector<uint32_t> out(static_cast<size_t>(w) * h, 0xDEADBEEF);
  RenderBackground(Surface{out.data(), w, h, w}, C,
                   PictureView{pic.empty() ? nullptr : pic.data(), pw, ph, pw}, mode);
  return out;
}

TEST(BoxBackground, PlacesThePictureByItsMode) {
  const std::vector<uint32_t> pic{1, 2, 3, 4, 5, 6};  // 3 x 2
  EXPECT_EQ(Render(4, 3, pic, 3, 2, kPictureTopLeft),
            (std::vector<uint32_t>{1, 2, 3, C, 4, 5, 6, C, C, C, C, C}));
  EXPECT_EQ(Render(2, 2, {}, 0, 0, kPictureTile), (std::vector<uint32_t>{C, C, C, C}));
  EXPECT_EQ(Render(2, 2, pic, 3, 2, kPictureStretch), (std::vector<uint32_t>{C, C, C, C}));  // the platform's
  // Centred: a larger picture is cropped evenly, (1 - 3) / 2 = -1 on each side.
  EXPECT_EQ(Render(1, 2, pic, 3, 2, kPictureCentre), (std::vector<uint32_t>{2, 5}));
  EXPECT_EQ(Render(5, 4, pic, 3, 2, kPictureCentre),
            (std::vector<uint32_t>{C, C, C, C, C, C, 1, 2, 3, C, C, 4, 5, 6, C, C, C, C, C, C}));
  // Tiled from the top-left, cut at the right and bottom.
  EXPECT_EQ(Render(4, 3, pic, 3, 2, kPictureTile),
            (std::vector<uint32_t>{1, 2, 3, 1, 4, 5, 6, 4, 1, 2, 3, 1}));
}

}  // namespace
