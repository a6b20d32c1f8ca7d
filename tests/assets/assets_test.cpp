// The built-in images as the program holds them: each is a PNG of its fixed size, none uses the
// overlay's see-through colour, the window outline comes from the backgrounds' alpha, and the
// progress frames fill in order (frames 3 and 4 one picture).
#include "assets/assets.h"

#include <gtest/gtest.h>

#include <functional>

#include "components/image/png_decoder.h"

using namespace components;

namespace {

struct Expected {
  const char* name;
  std::function<assets::Bytes()> bytes;
  int width, height;
};

const Expected kImages[] = {
    {"Background1", assets::Background1, 800, 580},
    {"Background2", assets::Background2, 800, 580},
    {"RepairNormal", assets::RepairNormal, 214, 56},
    {"RepairHover", assets::RepairHover, 214, 56},
    {"RepairPressed", assets::RepairPressed, 214, 56},
    {"RepairBusy", assets::RepairBusy, 214, 56},
    {"FinishNormal", assets::FinishNormal, 214, 56},
    {"FinishHover", assets::FinishHover, 215, 56},
    {"FinishPressed", assets::FinishPressed, 215, 56},
    {"CloseB", assets::CloseB, 37, 29},
    {"CloseA", assets::CloseA, 37, 29},
};

// The overlay window's colour key, RGB(120, 120, 120), in pixel order.
constexpr uint32_t kSeeThrough = 0x787878;

bool Visible(uint32_t pixel) { return TransparencyOf(pixel) != 0xFF; }

void ExpectNoSeeThroughPixel(const FrameSet& set, const std::string& name) {
  size_t hits = 0;
  for (uint32_t p : set.frames[0].pixels) hits += Visible(p) && (p & kColorMask) == kSeeThrough;
  EXPECT_EQ(hits, 0u) << name;
}

// Pixels of the accent blue: what the progress ring fills with.
size_t AccentPixels(const FrameSet& set) {
  size_t n = 0;
  for (uint32_t p : set.frames[0].pixels) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    n += TransparencyOf(p) < 0x40 && b > 200 && r < 80 && g < 140;
  }
  return n;
}

uint32_t At(const FrameSet& set, int x, int y) {
  return set.frames[0].pixels[static_cast<size_t>(y) * set.width + x];
}

}  // namespace

TEST(Assets, EveryImageIsAPngOfItsSizeWithoutTheSeeThroughColour) {
  for (const Expected& e : kImages) {
    const FrameSet set = DecodePng(e.bytes());
    ASSERT_FALSE(set.Empty()) << e.name;
    EXPECT_EQ(set.width, e.width) << e.name;
    EXPECT_EQ(set.height, e.height) << e.name;
    ExpectNoSeeThroughPixel(set, e.name);
  }
  for (int n = 1; n <= assets::kProgressFrameCount; ++n) {
    const FrameSet set = DecodePng(assets::ProgressFrame(n));
    ASSERT_FALSE(set.Empty()) << "frame " << n;
    EXPECT_EQ(set.width, 258);
    EXPECT_EQ(set.height, 255);
    ExpectNoSeeThroughPixel(set, "frame " + std::to_string(n));
  }
  EXPECT_TRUE(assets::ProgressFrame(0).empty());
  EXPECT_TRUE(assets::ProgressFrame(14).empty());
}

TEST(Assets, BackgroundsHaveRoundedSeeThroughCornersAndAnOpaqueCard) {
  for (auto bytes : {assets::Background1, assets::Background2}) {
    const FrameSet set = DecodePng(bytes());
    ASSERT_FALSE(set.Empty());
    for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 579}, {799, 579}})
      EXPECT_FALSE(Visible(At(set, x, y))) << x << "," << y;
    // Just inside the corners only a faint shadow: the card's corners are round.
    for (auto [x, y] : {std::pair{12, 11}, {787, 11}, {12, 567}, {787, 567}})
      EXPECT_GT(TransparencyOf(At(set, x, y)), 0xC0) << x << "," << y;
    for (auto [x, y] : {std::pair{400, 290}, {20, 290}, {780, 290}, {400, 20}, {400, 560}})
      EXPECT_EQ(TransparencyOf(At(set, x, y)), 0) << x << "," << y;
  }
}

TEST(Assets, CutFinishPicturesLoseNothingAndTheCloseSetHasTwoPictures) {
  // Hover and pressed are shown cut to the control's 214 columns: the last one stays empty.
  for (auto bytes : {assets::FinishHover, assets::FinishPressed}) {
    const FrameSet set = DecodePng(bytes());
    ASSERT_EQ(set.width, 215);
    for (int y = 0; y < set.height; ++y) EXPECT_FALSE(Visible(At(set, 214, y))) << y;
  }
  EXPECT_FALSE(std::ranges::equal(assets::CloseA(), assets::CloseB()));
}

TEST(Assets, ProgressFramesFillStepByStepWithFramesThreeAndFourOnePicture) {
  EXPECT_EQ(assets::ProgressFrame(3).data(), assets::ProgressFrame(4).data());
  size_t previous = 0;
  for (int n = 1; n <= assets::kProgressFrameCount; ++n) {
    const size_t filled = AccentPixels(DecodePng(assets::ProgressFrame(n)));
    if (n == 4)
      EXPECT_EQ(filled, previous);
    else
      EXPECT_GT(filled, previous + 500) << "frame " << n << " adds too little to the ring";
    previous = filled;
  }
}
