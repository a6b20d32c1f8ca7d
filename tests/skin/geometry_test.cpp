// Placement, colour and visual-state rules of the skin layer.
#include "skin/geometry.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(FitSize, ShrinksTheLongerSideKeepingTheRatioAndNeverEnlarges) {
  EXPECT_EQ(FitSize(400, 200, 100, 100).width, 100);
  EXPECT_EQ(FitSize(400, 200, 100, 100).height, 50);
  EXPECT_EQ(FitSize(200, 400, 100, 100).width, 50);
  EXPECT_EQ(FitSize(200, 400, 100, 100).height, 100);
  EXPECT_EQ(FitSize(50, 40, 100, 100).width, 50);
  EXPECT_EQ(FitSize(50, 40, 100, 100).height, 40);
  // Truncated, not rounded: 300 x 200 into 100 wide is 66.67 high.
  EXPECT_EQ(FitSize(300, 200, 100, 100).height, 66);
  // Both steps: 400 x 300 into 100 x 50 -> 100 x 75 -> 66 x 50.
  EXPECT_EQ(FitSize(400, 300, 100, 50).width, 66);
  EXPECT_EQ(FitSize(400, 300, 100, 50).height, 50);
}

TEST(ColorToArgb, SwapsRedAndBlueAndPutsTheAlphaOnTop) {
  EXPECT_EQ(ColorToArgb(0x0000FF, 128), 0x80FF0000u);
  EXPECT_EQ(ColorToArgb(0x123456, 255), 0xFF563412u);
  EXPECT_EQ(ColorToArgb(0xFF000000u | 0x00FF00, 0x1FF), 0xFF00FF00u);  // only low bytes count
}

TEST(PlaceImage, NaturalCutsOnlyWhatIsLargerStretchFillsFitCentres) {
  ImagePlacement at = PlaceImage(kPlaceNatural, 60, 40, 10, 20, 30, 20);
  EXPECT_TRUE(at.cut);
  EXPECT_EQ(at.width, 30);
  EXPECT_EQ(at.height, 20);
  at = PlaceImage(kPlaceNatural, 30, 20, 10, 20, 30, 20);
  EXPECT_FALSE(at.cut);
  at = PlaceImage(kPlaceNatural, 31, 5, 10, 20, 30, 20);  // one side larger is enough
  EXPECT_TRUE(at.cut);
  at = PlaceImage(kPlaceNatural, 8, 6, 10, 20, 30, 20);
  EXPECT_FALSE(at.cut);
  EXPECT_EQ(at.x, 10);
  EXPECT_EQ(at.y, 20);
  EXPECT_EQ(at.width, 8);
  EXPECT_EQ(at.height, 6);
  at = PlaceImage(kPlaceStretch, 8, 6, 10, 20, 30, 20);
  EXPECT_EQ(at.width, 30);
  EXPECT_EQ(at.height, 20);
  // 40 x 10 into 21 x 21: fits as 21 x 5, offsets (0, 8) truncated.
  at = PlaceImage(kPlaceFit, 40, 10, 10, 20, 21, 21);
  EXPECT_EQ(at.x, 10);
  EXPECT_EQ(at.y, 28);
  EXPECT_EQ(at.width, 21);
  EXPECT_EQ(at.height, 5);
  EXPECT_FALSE(PlaceImage(7, 8, 6, 0, 0, 30, 20).cut);  // unknown placements are natural
}

TEST(NextState, FollowsTheMouseAndTheEnabledFlag) {
  EXPECT_EQ(NextState(kStateNormal, ButtonEvent::kMouseMove), kStateHover);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kMouseMove), kStateDisabled);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kMouseLeave), kStateDisabled);
  EXPECT_EQ(NextState(kStateHover, ButtonEvent::kMouseMove), kStateHover);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kMouseMove), kStatePressed);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kButtonUp), kStateHover);
  EXPECT_EQ(NextState(kStateHover, ButtonEvent::kButtonUp), kStateNormal);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kButtonUp), kStateDisabled);
  EXPECT_EQ(NextState(kStateHover, ButtonEvent::kButtonDown), kStatePressed);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kMouseLeave), kStateNormal);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kEnabled), kStateNormal);
  EXPECT_EQ(NextState(kStateHover, ButtonEvent::kDisabled), kStateDisabled);
}

TEST(NextState, FollowsTheFocusAndThePushedStateOfAButtonPaintingItself) {
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kFocusGained), kStateHover);
  EXPECT_EQ(NextState(kStateNormal, ButtonEvent::kFocusGained), kStateNormal);
  EXPECT_EQ(NextState(kStateHover, ButtonEvent::kFocusLost), kStateNormal);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kFocusLost), kStatePressed);
  EXPECT_EQ(NextState(kStateNormal, ButtonEvent::kPushed), kStatePressed);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kUnpushed), kStateNormal);
  EXPECT_EQ(NextState(kStatePressed, ButtonEvent::kUnpushedFocused), kStateHover);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kPushed), kStateDisabled);
  EXPECT_EQ(NextState(kStateDisabled, ButtonEvent::kUnpushedFocused), kStateDisabled);
}

}  // namespace
}  // namespace skin
