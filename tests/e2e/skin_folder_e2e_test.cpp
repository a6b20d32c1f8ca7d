// The skin folder beside netmend.exe, end to end: single images and sets of three replaced
// from PNG files (read back from the screen and from the skin layer's window properties),
// sets taken only whole, files that are empty, truncated or no PNG at all, and pictures and
// files too large to take.
#include <gtest/gtest.h>

#include "components/image/png_writer.h"
#include "e2e/netmend_run_win.h"
#include "support/child_process_win.h"

namespace {

using namespace e2e;

constexpr COLORREF kRed = RGB(230, 20, 20), kGreen = RGB(20, 200, 40), kBlue = RGB(30, 40, 220);
constexpr COLORREF kMagenta = RGB(200, 0, 200);

COLORREF BuiltInRepairPixel() {
  NetmendRun run(Launch{.folder = "reference"});
  EXPECT_TRUE(run.WaitForWindows(10000));
  EXPECT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000));
  Sleep(testing_support::TimeLimit(300));  // its buttons drawn too
  return e2e::CentrePixel(run.ChildAt(kRepair.x, kRepair.y));
}

// In a folder whose path holds spaces and Chinese characters: a background of its own, a
// repair set of which only the first file is there, and a whole close set.
TEST(SkinFolder, ReplacesWholeSetsAndSingleImagesOnAPathWithSpacesAndChinese) {
  const COLORREF builtInRepair = BuiltInRepairPixel();
  ASSERT_FALSE(Near(builtInRepair, kRed));
  NetmendRun run(Launch{.folder = "Net mend 网络 修复",
                        .skinFiles = {{"background1.png", e2e::SolidPng(800, 580, kMagenta)},
                                      {"button_start1.png", e2e::SolidPng(214, 56, kRed)},
                                      {"button_x1.png", e2e::SolidPng(37, 29, kRed)},
                                      {"button_x2.png", e2e::SolidPng(37, 29, kGreen)},
                                      {"button_x3.png", e2e::SolidPng(37, 29, kBlue)}}});
  ASSERT_TRUE(run.WaitForWindows(10000));
  ASSERT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000));
  Sleep(testing_support::TimeLimit(300));
  const RECT main = e2e::WindowRect(run.main());
  EXPECT_TRUE(Near(e2e::ScreenPixel(main.left + 20, main.top + 560), kMagenta))
      << std::hex << e2e::ScreenPixel(main.left + 20, main.top + 560);
  HWND repair = run.ChildAt(kRepair.x, kRepair.y);
  EXPECT_TRUE(Near(e2e::CentrePixel(repair), builtInRepair))
      << "one file of three: the built-in set " << std::hex << builtInRepair << ", not "
      << e2e::CentrePixel(repair);

  // The close set in order: normal, hover, pressed. (Wine gives the colour-keyed overlay the
  // mouse, so the button hears of the pointer through posted messages.)
  HWND close = run.ChildAt(kClose.x, kClose.y);
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(CentreBecomes(close, kRed));
  PostMessageA(close, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(CentreBecomes(close, kGreen));
  PostMessageA(close, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_TRUE(CentreBecomes(close, kBlue));
  // Let go outside the button: no click.
  PostMessageA(close, WM_LBUTTONUP, 0, MAKELPARAM(-50, 200));
  Sleep(300);
  EXPECT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
}

// An empty background file is no background (not the built-in one); files that are no PNG or
// a PNG cut short give no image and break nothing.
TEST(SkinFolder, EmptyTruncatedAndForeignFilesGiveNoImageAndNoCrash) {
  const std::string png = e2e::SolidPng(37, 29, kRed);
  const std::string truncated = png.substr(0, png.size() / 2);
  NetmendRun run(Launch{.folder = "broken",
                        .skinFiles = {{"background1.png", ""},
                                      {"button_start1.png", "not a picture"},
                                      {"button_start2.png", "GIF89a"},
                                      {"button_start3.png", std::string(300, '\xFF')},
                                      {"button_x1.png", truncated},
                                      {"button_x2.png", truncated},
                                      {"button_x3.png", truncated}}});
  ASSERT_TRUE(run.WaitForWindows(10000));
  Sleep(1000);
  EXPECT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(e2e::Property(run.main(), kBackImage), 0u);
  EXPECT_EQ(e2e::Property(run.ChildAt(kRepair.x, kRepair.y), kNormalImage), 0u);
  EXPECT_EQ(e2e::Property(run.ChildAt(kClose.x, kClose.y), kNormalImage), 0u);
  e2e::PostKey(run.main(), VK_ESCAPE);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// An 8192 x 8192 picture (a few KB on disk, 256 MB once decoded) in the repair set and a
// background file of 1 GB are not taken: the built-in images stay and nothing ends.
TEST(SkinFolder, HugePicturesAndHugeFilesGiveTheBuiltInImages) {
  const COLORREF builtInRepair = BuiltInRepairPixel();
  png_writer::Picture huge;
  huge.width = huge.height = 8192;
  huge.colorType = PNG_COLOR_TYPE_PALETTE;
  huge.bitDepth = 1;
  huge.palette = {{230, 20, 20}};
  huge.rows.assign(static_cast<size_t>(huge.height) * 1024, 0);
  const std::vector<uint8_t> encoded = png_writer::Encode(huge);
  ASSERT_FALSE(encoded.empty());
  const std::string png(encoded.begin(), encoded.end());
  NetmendRun run(Launch{
      .folder = "huge",
      .skinFiles = {{"button_start1.png", png}, {"button_start2.png", png}, {"button_start3.png", png}},
      .hugeSkinFiles = {"background1.png"}});
  ASSERT_TRUE(run.WaitForWindows(10000));
  EXPECT_TRUE(run.WaitForProperty(run.main(), kBackImage, 5000)) << "the built-in background";
  EXPECT_TRUE(CentreBecomes(run.ChildAt(kRepair.x, kRepair.y), builtInRepair)) << "the built-in repair set";
  EXPECT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
  e2e::PostKey(run.main(), VK_ESCAPE);
  EXPECT_EQ(run.Wait(10000), 0u);
}

}  // namespace
