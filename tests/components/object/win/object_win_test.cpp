// The animation object's unit under Wine: the design-mode preview read back from the screen
// (dot grid, centred frame, red outline; a GIF stepping at its delays), the design-time rules
// through the class interface, and a run-time window that paints nothing and runs no timer.
#include "components/object/object_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>

#include "components/image/gif_writer.h"
#include "components/image/png_writer.h"
#include "components/object/cartoon_object.h"
#include "components/object/picture_file_win.h"
#include "components/object/preview.h"
#include "components/win/unit_host_win.h"
#include "support/child_process_win.h"

using namespace components;
using runtime::Bytes;
using runtime::PropertyValue;
using unit_host::Host;

namespace {

constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kSheet = RGB(255, 255, 255), kDot = RGB(0xC0, 0xC0, 0xC0), kOutline = RGB(255, 0, 0);
// The object at (10, 10), 62 x 42 with a one-pixel border: its client area starts at (11, 11).
constexpr int kClientX = 11, kClientY = 11, kClientW = 60, kClientH = 40;

Bytes BluePng(int width, int height) {
  png_writer::Picture p{.width = width, .height = height, .colorType = PNG_COLOR_TYPE_RGB};
  for (int i = 0; i < width * height; ++i) p.rows.insert(p.rows.end(), {0, 0, 200});
  return png_writer::Encode(p);
}

// Three 8 x 4 frames, red, green, blue, each lasting `delay` hundredths of a second.
Bytes ThreeFrameGif(int delay) {
  std::vector<gif_writer::Image> images;
  for (uint8_t index = 0; index < 3; ++index) {
    gif_writer::Image image = gif_writer::Solid(0, 0, 8, 4, index);
    image.control = true;
    image.delay = delay;
    images.push_back(image);
  }
  return gif_writer::Encode(8, 4, {0xFF0000, 0x00FF00, 0x0000FF, 0}, images);
}

Bytes Data(const ObjectProperties& p) { return WriteObjectData(p); }

ObjectProperties WithPicture(const Bytes& picture) {
  ObjectProperties p;
  p.SetData(kPropPicture, picture);
  return p;
}

template <typename Routine>
Routine Op(int operation) {
  return reinterpret_cast<Routine>(ObjectClassInterface(operation));
}

void Change(runtime::UnitObject* unit, int k, PropertyValue value) {
  EXPECT_EQ(Op<runtime::PropertyChangedRoutine>(runtime::kOpPropertyChanged)(*unit, k, value), 0);
}

COLORREF Centre(const Host::Capture& c) { return c.At(kClientX + kClientW / 2, kClientY + kClientH / 2); }

TEST(ObjectWindow, PreviewShowsDotsTheCentredPictureAndARedOutline) {
  Host host(100, 70, kGreen);
  ASSERT_TRUE(host.Create(ObjectClassInterface, Data(WithPicture(BluePng(10, 6))), 10, 10, 62, 42, true));
  const Host::Capture c = host.Grab();
  EXPECT_EQ(c.At(10, 10), GetSysColor(COLOR_WINDOWFRAME)) << "the thin border";
  EXPECT_EQ(c.At(kClientX, kClientY), kDot);
  EXPECT_EQ(c.At(kClientX + 4, kClientY + 8), kDot);
  EXPECT_EQ(c.At(kClientX + 1, kClientY), kSheet);
  EXPECT_EQ(c.At(kClientX, kClientY + 2), kSheet);
  // The picture at client (25, 17) to (35, 23); the outline on the two pixels round it.
  const int x = kClientX + 25, y = kClientY + 17;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(c.At(x + i, y), RGB(0, 0, 200));
    EXPECT_EQ(c.At(x + i, y + 5), RGB(0, 0, 200));
    EXPECT_EQ(c.At(x + i, y - 1), kOutline);
    EXPECT_EQ(c.At(x + i, y - 2), kOutline);
    EXPECT_EQ(c.At(x + i, y + 7), kOutline);
    EXPECT_NE(c.At(x + i, y - 3), kOutline);
    EXPECT_NE(c.At(x + i, y + 8), kOutline);
  }
  for (int j = -2; j < 8; ++j) {
    EXPECT_EQ(c.At(x - 2, y + j), kOutline);
    EXPECT_EQ(c.At(x + 11, y + j), kOutline);
  }
}

TEST(ObjectWindow, PreviewOfATextAndChangesThatReshapeIt) {
  Host host(100, 70, kGreen);
  ObjectProperties p;
  p.SetData(kPropText, Bytes{'W'});
  p.SetValue(kPropTextColor, 0x0000FF);  // red
  runtime::UnitObject* unit = host.Create(ObjectClassInterface, Data(p), 10, 10, 62, 42, true);
  ASSERT_TRUE(unit);
  const Host::Capture text = host.Grab();
  const RECT red = unit_host::BoundsOf(text, {kClientX, kClientY, kClientX + kClientW, kClientY + kClientH},
                                       [](COLORREF c) { return c == kOutline; });
  ASSERT_GT(red.right - red.left, 8);
  // Centred: as much room left of the outline as right of it (give or take the odd pixel).
  EXPECT_NEAR(red.left - kClientX, kClientX + kClientW - red.right, 1);

  Change(unit, kPropZoom, {.number = 0});
  EXPECT_EQ(host.Grab().pixels, text.pixels) << "zoom 0 leaves the preview";
  Change(unit, kPropZoom, {.number = 500});
  EXPECT_NE(host.Grab().pixels, text.pixels);
  Change(unit, kPropAlpha, {.number = 100});
  const Host::Capture invisible = host.Grab();
  const RECT none =
      unit_host::BoundsOf(invisible, {kClientX, kClientY, kClientX + kClientW, kClientY + kClientH},
                          [](COLORREF c) { return c != kSheet && c != kDot && c != kOutline; });
  EXPECT_LE(none.right, none.left) << "alpha 100 blends nothing in";
}

TEST(ObjectWindow, AGifPreviewStepsThroughItsFramesAndStopsWhenPlayGifIsCleared) {
  Host host(100, 70, kGreen);
  // Frames of 150 ms, sampled for 800 ms. In the emulated guest one read-back of the screen may
  // take longer than such a frame: there the frames and the sampling are ten times as long.
  const DWORD frame = testing_support::TimeLimit(150);
  ObjectProperties p = WithPicture(ThreeFrameGif(static_cast<int>(frame / 10)));
  p.SetValue(kPropPlayGif, 1);
  runtime::UnitObject* unit = host.Create(ObjectClassInterface, Data(p), 10, 10, 62, 42, true);
  ASSERT_TRUE(unit);
  std::vector<COLORREF> seen;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < testing_support::TimeLimit(800);) {
    const COLORREF now = Centre(host.Grab());
    if (seen.empty() || seen.back() != now) seen.push_back(now);
    Host::Settle(20);
  }
  ASSERT_GE(seen.size(), 4u) << "frames of 150 ms in 800 ms";
  for (size_t i = 0; i + 1 < seen.size(); ++i) {
    const COLORREF next = seen[i] == RGB(255, 0, 0)   ? RGB(0, 255, 0)
                          : seen[i] == RGB(0, 255, 0) ? RGB(0, 0, 255)
                                                      : RGB(255, 0, 0);
    EXPECT_EQ(seen[i + 1], next) << i;
  }
  Change(unit, kPropPlayGif, {.number = 0});
  const COLORREF stopped = Centre(host.Grab());
  Host::Settle(testing_support::TimeLimit(400));
  EXPECT_EQ(Centre(host.Grab()), stopped);
  EXPECT_FALSE(KillTimer(reinterpret_cast<HWND>(unit->Handle()), kPreviewTimerId));
}

TEST(ObjectWindow, AtRunTimeItPaintsNothingAndRunsNoTimer) {
  Host host(100, 70, kGreen);
  ObjectProperties p = WithPicture(ThreeFrameGif(1));
  p.SetValue(kPropPlayGif, 1);
  runtime::UnitObject* unit = host.Create(ObjectClassInterface, Data(p), 10, 10, 62, 42, false);
  ASSERT_TRUE(unit);
  const Host::Capture c = host.Grab();
  for (int y = 10; y < 52; ++y)
    for (int x = 10; x < 72; ++x) ASSERT_TRUE(c.At(x, y) != kDot && c.At(x, y) != kOutline) << x << "," << y;
  EXPECT_FALSE(KillTimer(reinterpret_cast<HWND>(unit->Handle()), kPreviewTimerId));
  EXPECT_FALSE(GetWindowLongPtrA(reinterpret_cast<HWND>(unit->Handle()), GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(Op<runtime::SerializeRoutine>(runtime::kOpSerialize)(*unit), Data(p));
  // The box's view: the stored properties and the untransformed source, all three frames.
  const ObjectTemplateView view = ObjectTemplateOf(*unit);
  ASSERT_TRUE(view.properties && view.source);
  EXPECT_EQ(view.properties->Value(kPropPlayGif), 1);
  EXPECT_EQ(view.source->frames.size(), 3u);
  EXPECT_EQ(view.source->width, 8);
}

std::string gAsked;
std::string gAnswer;
std::string FakeChooser(HWND, const char* prompt, const char* filter) {
  gAsked = std::string(prompt) + "\n" + filter;
  return gAnswer;
}

TEST(ObjectWindow, DesignTimeEnablementAndThePictureEditor) {
  Host host(100, 70, kGreen);
  runtime::UnitObject* unit = host.Create(ObjectClassInterface, {}, 10, 10, 62, 42, true);
  ASSERT_TRUE(unit);
  const auto enabled = Op<runtime::EnablementRoutine>(runtime::kOpEnablement);
  EXPECT_EQ(enabled(*unit, kPropPicture), 1);
  EXPECT_EQ(enabled(*unit, kPropPlayGif), 0);

  const Bytes png = BluePng(4, 4);
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, path);
  gAnswer = std::string(path) + "netmend-editor-test.png";
  std::ofstream(gAnswer, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
  SetPictureFileChooser(FakeChooser);
  const auto edit = Op<runtime::EditorRoutine>(runtime::kOpEditor);
  EXPECT_EQ(edit(*unit, kPropText), 0);
  EXPECT_EQ(edit(*unit, kPropPicture), 1);
  EXPECT_EQ(gAsked, std::string(kPicturePrompt) + "\n" + kPictureFilter);
  EXPECT_EQ(Op<runtime::GetPropertyRoutine>(runtime::kOpGetProperty)(*unit, kPropPicture).bytes, png);
  EXPECT_EQ(enabled(*unit, kPropPlayGif), 1);
  EXPECT_EQ(enabled(*unit, kPropText), 0);
  gAnswer = "";  // declined
  EXPECT_EQ(edit(*unit, kPropPicture), 0);
  SetPictureFileChooser(nullptr);
  std::remove((std::string(path) + "netmend-editor-test.png").c_str());
}

}  // namespace
