// The layered window's picture, read back as it is handed to UpdateLayeredWindow: background,
// image placement, stacking, alpha, bad images and the image disposal rules.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "skin/skin_win.h"
#include "skin/win/skin_win_support.h"

namespace skin_test {
namespace {

using skin::PngControl;
using skin::SkinWindow;

class ComposeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WatchPresents();
    window = TopWindow(200, 100);
    ASSERT_TRUE(skinned.Attach(H(window)));
  }
  void TearDown() override { DestroyWindow(window); }
  uint32_t At(int x, int y) { return LastPicture(window).at(x, y); }
  // A button at (20, 30), 30 x 20, with the image and placement, on a white background.
  HWND PlacedButton(const std::vector<uint8_t>& image, int32_t placement) {
    HWND button = ButtonChild(window, 20, 30, 30, 20);
    PngControl control;
    EXPECT_TRUE(control.AttachButton(H(button)));
    control.SetStateImagesFromBytes(View(image));
    control.SetBackType(placement);
    skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
    skinned.AdoptControls();
    return button;
  }

  HWND window = nullptr;
  SkinWindow skinned;
};

TEST_F(ComposeTest, TheBackgroundIsStretchedToExactlyTheWindow) {
  const auto halves = [](int w, int h) {
    return Png(w, h, [w](int x, int) { return x < w / 2 ? kRed : kBlue; });
  };
  for (const auto& background : {halves(40, 30), halves(400, 200)}) {
    ASSERT_TRUE(skinned.SetBackImageFromBytes(View(background)));
    ASSERT_EQ(LastPicture(window).width, 200);
    ASSERT_EQ(LastPicture(window).height, 100);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_EQ(At(90, 50), kRed);
    EXPECT_EQ(At(110, 50), kBlue);
    EXPECT_EQ(At(190, 90), kBlue);
  }
}

TEST_F(ComposeTest, PerPixelAlphaReachesThePresentedPicture) {
  ASSERT_TRUE(skinned.SetBackImageFromBytes(View(SolidPng(200, 100, 0x80FF0000))));
  const uint32_t pixel = At(100, 50);
  EXPECT_EQ(pixel >> 24, 0x80u);
  EXPECT_NEAR(int((pixel >> 16) & 0xFF), 0x80, 1) << "premultiplied red";
  EXPECT_EQ(pixel & 0xFFFF, 0u);
  ASSERT_TRUE(skinned.SetBackImageFromBytes(View(SolidPng(200, 100, 0x00000000))));
  EXPECT_EQ(At(100, 50), 0u) << "fully transparent stays transparent";
}

TEST_F(ComposeTest, NaturalPlacementCutsALargerImageFromItsCornerAndDrawsASmallerOneWhole) {
  const auto quadrant = Png(60, 40, [](int x, int y) { return x < 30 && y < 20 ? kGreen : kBlue; });
  PlacedButton(quadrant, 0);
  EXPECT_EQ(At(20, 30), kGreen);
  EXPECT_EQ(At(49, 49), kGreen);
  EXPECT_EQ(At(51, 40), kWhite);
  EXPECT_EQ(At(30, 51), kWhite);
}

TEST_F(ComposeTest, ASmallImageSitsInTheCornerStretchesOrFitsByPlacement) {
  HWND button = PlacedButton(SolidPng(10, 10, kRed), 0);
  EXPECT_EQ(At(20, 30), kRed);
  EXPECT_EQ(At(29, 39), kRed);
  EXPECT_EQ(At(33, 42), kWhite) << "not stretched, not centred";
  DestroyWindow(button);

  PlacedButton(SolidPng(10, 10, kRed), 1);
  EXPECT_EQ(At(40, 45), kRed);
}

TEST_F(ComposeTest, FitPlacementCentresTheFittedImage) {
  // 40 x 10 into 30 x 20: 30 x 7, drawn from row 30 + 6.
  PlacedButton(SolidPng(40, 10, kRed), 2);
  EXPECT_EQ(At(35, 34), kWhite);
  EXPECT_EQ(At(35, 38), kRed);
  EXPECT_EQ(At(35, 45), kWhite);
}

TEST_F(ComposeTest, ChildrenListedLaterAreDrawnOverEarlierOnes) {
  HWND first = ButtonChild(window, 20, 30, 30, 20);
  HWND second = ButtonChild(window, 20, 30, 30, 20);
  PngControl a, b;
  a.AttachButton(H(first));
  b.AttachButton(H(second));
  a.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)));
  b.SetStateImagesFromBytes(View(SolidPng(30, 20, kGreen)));
  skinned.AdoptControls();
  const bool secondListedLater = GetWindow(first, GW_HWNDNEXT) == second;
  EXPECT_EQ(At(30, 40), secondListedLater ? kGreen : kRed);
}

TEST_F(ComposeTest, AButtonsChangeRedrawsItsBoxWithWhateverOverlapsItAsAWholeComposeWould) {
  // Two buttons overlapping in x 40 to 49; the one listed later is drawn over the other.
  HWND left = ButtonChild(window, 20, 30, 30, 20), right = ButtonChild(window, 40, 30, 30, 20);
  PngControl a, b;
  a.AttachButton(H(left));
  b.AttachButton(H(right));
  a.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)), View(SolidPng(30, 20, kYellow)));
  b.SetStateImagesFromBytes(View(SolidPng(30, 20, kGreen)), View(SolidPng(30, 20, kBlue)));
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  skinned.AdoptControls();
  const bool rightOnTop = GetWindow(left, GW_HWNDNEXT) == right;
  PostMessageA(rightOnTop ? left : right, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  Pump();
  EXPECT_EQ(At(25, 40), rightOnTop ? kYellow : kRed);
  EXPECT_EQ(At(45, 40), rightOnTop ? kGreen : kBlue) << "the upper button stays over the lower";
  EXPECT_EQ(At(65, 40), rightOnTop ? kGreen : kBlue);
  const Picture afterHover = LastPicture(window);
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));  // a whole composition
  EXPECT_TRUE(LastPicture(window).pixels == afterHover.pixels);
  // The first change after a whole composition is put together whole, the ones after it in
  // their boxes beside the picture kept: they end as a whole composition would.
  HWND lower = rightOnTop ? left : right, upper = rightOnTop ? right : left;
  PostMessageA(upper, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  Pump();
  EXPECT_EQ(At(45, 40), rightOnTop ? kBlue : kYellow);
  PostMessageA(lower, WM_MOUSELEAVE, 0, 0);
  Pump();
  PostMessageA(upper, WM_MOUSELEAVE, 0, 0);
  Pump();
  EXPECT_EQ(At(25, 40), kRed);
  EXPECT_EQ(At(45, 40), rightOnTop ? kGreen : kRed);
  EXPECT_EQ(At(65, 40), kGreen);
  const Picture afterLeaving = LastPicture(window);
  skinned.AdoptControls();
  EXPECT_TRUE(LastPicture(window).pixels == afterLeaving.pixels);
}

TEST_F(ComposeTest, BadBytesGiveNoImageAndLeaveTheBackgroundAlone) {
  ASSERT_TRUE(skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kBlue))));
  const std::vector<uint8_t> notAnImage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  std::vector<uint8_t> truncated = SolidPng(64, 64, kRed);
  truncated.resize(truncated.size() / 2);
  EXPECT_EQ(skin::LoadImageFromBytes(View(notAnImage)), 0u);
  EXPECT_EQ(skin::LoadImageFromBytes({}), 0u);
  EXPECT_EQ(skin::LoadImageFromBytes(View(truncated)), 0u);
  EXPECT_FALSE(skinned.SetBackImage(0));
  EXPECT_FALSE(skinned.SetBackImageFromBytes(View(notAnImage)));
  skinned.AdoptControls();
  EXPECT_EQ(At(100, 50), kBlue);
}

TEST_F(ComposeTest, ImagesTheLayerDecodedAreDisposedOnceReplacedOwnImagesOnlyWhenReleased) {
  const size_t before = skin::Images().TrackedCount();
  for (int i = 0; i < 5; ++i) skinned.SetBackImageFromBytes(View(SolidPng(20, 20, kRed)));
  EXPECT_EQ(skin::Images().TrackedCount(), before + 1) << "only the image shown is kept";

  const skin::ImageHandle own = skin::LoadImageFromBytes(View(SolidPng(20, 20, kGreen)));
  ASSERT_TRUE(skinned.SetBackImage(own));
  EXPECT_TRUE(skin::ImageInUse(own));
  skinned.SetBackImageFromBytes(View(SolidPng(20, 20, kRed)));
  EXPECT_FALSE(skin::ImageInUse(own));
  UINT width = 0;
  EXPECT_EQ(base::Gdiplus()->GdipGetImageWidth(skin::AsImage(own), &width), base::kGpOk);
  EXPECT_EQ(width, 20u) << "the owner's image lives on";
  skin::ReleaseImage(own);
  EXPECT_EQ(skin::Images().TrackedCount(), before + 1);
}

TEST_F(ComposeTest, AWorkerReplacingButtonImagesWhileTheWindowComposes) {
  HWND button = ButtonChild(window, 20, 30, 30, 20);
  PngControl control;
  control.AttachButton(H(button));
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  const std::vector<uint8_t> red = SolidPng(30, 20, kRed), blue = SolidPng(30, 20, kBlue);
  const size_t before = skin::Images().TrackedCount();
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < 150; ++i) control.SetStateImagesFromBytes(View(i % 2 ? red : blue), View(red));
    control.SetStateImagesFromBytes(View(SolidPng(30, 20, kGreen)));
    done = true;
  });
  int compositions = 0;
  while (!done) {
    skinned.AdoptControls();
    ++compositions;
  }
  worker.join();
  skinned.AdoptControls();
  EXPECT_GT(compositions, 1);
  EXPECT_EQ(At(30, 40), kGreen) << "the last image shows at the next composition";
  EXPECT_EQ(skin::Images().TrackedCount(), before + 2) << "every replaced image was disposed";
}

TEST_F(ComposeTest, AChangeMadeWithoutDrawingShowsAtTheNextHoverOfAnotherButton) {
  HWND left = ButtonChild(window, 20, 30, 30, 20), right = ButtonChild(window, 120, 30, 30, 20);
  PngControl a, b;
  a.AttachButton(H(left));
  b.AttachButton(H(right));
  a.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)));
  b.SetStateImagesFromBytes(View(SolidPng(30, 20, kRed)), View(SolidPng(30, 20, kGreen)));
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  skinned.AdoptControls();
  a.SetStateImagesFromBytes(View(SolidPng(30, 20, kBlue)));  // stored, not drawn
  PostMessageA(right, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  Pump();
  EXPECT_EQ(At(30, 40), kBlue) << "the hover composed only its own box";
}

TEST_F(ComposeTest, AWholeCompositionIsHandedOverAndARefusedOneIsNotTakenAsShown) {
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kWhite)));
  int presents = PresentCount(window);
  skinned.AdoptControls();
  EXPECT_GT(PresentCount(window), presents) << "a rebuild is handed over even when nothing changed";
  // Not layered for a moment, the window refuses the next picture.
  SetWindowLongPtrA(window, GWL_EXSTYLE, 0);
  skinned.SetBackImageFromBytes(View(SolidPng(200, 100, kBlue)));
  SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED);
  presents = PresentCount(window);
  const RECT corner{0, 0, 10, 10};
  skin::ComposeWindow(window, &corner);
  EXPECT_GT(PresentCount(window), presents) << "the refused picture was taken as shown";
}

}  // namespace
}  // namespace skin_test
