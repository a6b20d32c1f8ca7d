// The animation object's unit rules: design-time enablement, what a property change sets off,
// text conversion, the preview's transforms, pixels and frame clock.
#include "components/object/cartoon_object.h"

#include <gtest/gtest.h>

#include "components/object/preview.h"
#include "runtime/templates/font_record.h"

using namespace components;
using runtime::Bytes;
using runtime::PropertyValue;

namespace {

PropertyValue Number(int64_t n) { return PropertyValue{.number = n}; }
PropertyValue Data(std::string_view s) { return PropertyValue{.bytes = Bytes(s.begin(), s.end())}; }

std::string Tagged(std::string_view text, void* context) {
  return std::string(static_cast<const char*>(context)) + std::string(text);
}

TEST(CartoonObject, EnablementFollowsTextPictureAndSwitches) {
  ObjectProperties p;
  EXPECT_TRUE(ObjectPropertyEnabled(p, kPropText));
  EXPECT_TRUE(ObjectPropertyEnabled(p, kPropPicture));
  for (int k : {kPropFont, kPropTextColor, kPropAutoGetTransColor, kPropTransparentColor, kPropPlayGif,
                kPropGifDelay, kPropGifAutoDestroy, kPropCollidedSound})
    EXPECT_FALSE(ObjectPropertyEnabled(p, k)) << k;
  for (int k : {kPropZoom, kPropAlpha, kPropCollideAllowed, kPropType, kPropCreateSound})
    EXPECT_TRUE(ObjectPropertyEnabled(p, k)) << k;

  ChangeObjectProperty(p, kPropText, Data("hi"), true);
  EXPECT_TRUE(ObjectPropertyEnabled(p, kPropFont));
  EXPECT_TRUE(ObjectPropertyEnabled(p, kPropTextColor));
  EXPECT_FALSE(ObjectPropertyEnabled(p, kPropPicture));

  ChangeObjectProperty(p, kPropText, Data(""), true);
  ChangeObjectProperty(p, kPropPicture, Data("GIF89a"), true);
  EXPECT_FALSE(ObjectPropertyEnabled(p, kPropText));
  for (int k :
       {kPropAutoGetTransColor, kPropTransparentColor, kPropPlayGif, kPropGifDelay, kPropGifAutoDestroy})
    EXPECT_TRUE(ObjectPropertyEnabled(p, k)) << k;
  ChangeObjectProperty(p, kPropAutoGetTransColor, Number(1), true);
  EXPECT_FALSE(ObjectPropertyEnabled(p, kPropTransparentColor));
  ChangeObjectProperty(p, kPropCollideAllowed, Number(1), true);
  EXPECT_TRUE(ObjectPropertyEnabled(p, kPropCollidedSound));
}

TEST(CartoonObject, ChangesRebuildAtOnceOrOnlyInDesignMode) {
  for (bool design : {false, true}) {
    ObjectProperties p;
    EXPECT_EQ(ChangeObjectProperty(p, kPropText, Data("a"), design), ObjectChange::kRebuild);
    EXPECT_EQ(ChangeObjectProperty(p, kPropFont, Data("short"), design), ObjectChange::kStored);
    EXPECT_EQ(ChangeObjectProperty(p, kPropFont, Data(std::string(60, 'f')), design), ObjectChange::kRebuild);
    EXPECT_EQ(ChangeObjectProperty(p, kPropTextColor, Number(0), design),
              ObjectChange::kStored);  // unchanged
    EXPECT_EQ(ChangeObjectProperty(p, kPropTextColor, Number(5), design), ObjectChange::kRebuild);
    EXPECT_EQ(ChangeObjectProperty(p, kPropTransparentColor, Number(0xFF000000), design),
              ObjectChange::kRebuild);
    EXPECT_EQ(ChangeObjectProperty(p, kPropPlayGif, Number(1), design), ObjectChange::kPreviewTimer);
    EXPECT_EQ(ChangeObjectProperty(p, kPropLayer, Number(3), design), ObjectChange::kStored);
    const ObjectChange reshape = design ? ObjectChange::kRebuild : ObjectChange::kStored;
    EXPECT_EQ(ChangeObjectProperty(p, kPropZoom, Number(1000), design), reshape);
    EXPECT_EQ(ChangeObjectProperty(p, kPropTurnType, Number(1), design), reshape);
    EXPECT_EQ(ChangeObjectProperty(p, kPropAngle, Number(450), design), reshape);
    EXPECT_EQ(p.Value(kPropAngle), 360);
    EXPECT_EQ(ChangeObjectProperty(p, kPropAngle, Number(360), design), ObjectChange::kStored);
    EXPECT_EQ(ChangeObjectProperty(p, kPropTrendColor, Number(0xFF), design), ObjectChange::kStored);
    ChangeObjectProperty(p, kPropTrendDepth, Number(50), design);
    EXPECT_EQ(ChangeObjectProperty(p, kPropTrendColor, Number(0xFF00), design), reshape);
    EXPECT_EQ(ChangeObjectProperty(p, kPropAlpha, Number(150), design),
              design ? ObjectChange::kRepaint : ObjectChange::kStored);
    EXPECT_EQ(GetObjectProperty(p, kPropAlpha).number, 100);
    EXPECT_EQ(GetObjectProperty(p, kPropText).bytes, (Bytes{'a'}));
  }
}

TEST(CartoonObject, TextConversionRoundTrip) {
  ObjectProperties p;
  p.SetData(kPropText, Data("line").bytes);
  runtime::FontRecord font{.height = -12};
  font.SetFaceName("Tahoma");
  p.SetData(kPropFont, runtime::WriteFontRecord(font));
  p.SetData(kPropPicture, Data("PIC").bytes);
  p.SetValue(kPropZoom, 500);
  char tag[] = "x-";
  const Bytes out = ConvertObjectText(WriteObjectData(p), {Tagged, tag});
  ObjectProperties back;
  ASSERT_TRUE(ReadObjectData(out, &back));
  EXPECT_EQ(GetObjectProperty(back, kPropText).bytes, Data("x-line").bytes);
  EXPECT_EQ(runtime::ReadFontRecord(back.Data(kPropFont))->FaceName(), "x-Tahoma");
  EXPECT_EQ(GetObjectProperty(back, kPropPicture).bytes, Data("PIC").bytes);
  EXPECT_EQ(back.Value(kPropZoom), 500);
  const Bytes newer = {4, 0, 0, 0};
  EXPECT_EQ(ConvertObjectText(newer, {Tagged, tag}), newer);
}

TEST(CartoonObject, PreviewTransformsInOrderAndZeroZoomLeavesTheImage) {
  FrameSet image = MakeFrameSet(4, 2, 0x00102030);
  image.frames[0].pixels[0] = 0x00FFFFFF;
  ObjectProperties p;
  p.SetValue(kPropZoom, 0);
  FrameSet same = image;
  TransformForPreview(same, p);
  EXPECT_EQ(same, image);
  p.SetValue(kPropTurnType, 1);
  p.SetValue(kPropAngle, 90);
  p.SetValue(kPropRotateFollow, 1);
  p.SetValue(kPropZoom, 2000);
  FrameSet shown = image;
  TransformForPreview(shown, p);
  ASSERT_EQ(shown.width, 4);  // turned to 2 x 4, then doubled
  ASSERT_EQ(shown.height, 8);
  // Flipped left-right, the white pixel is at (3, 0); turned clockwise, at (1, 3); doubled, (2..3, 6..7).
  EXPECT_EQ(shown.frames[0].pixels[6 * 4 + 2] & kColorMask, 0x00FFFFFFu);
  EXPECT_EQ(shown.frames[0].pixels[7 * 4 + 3] & kColorMask, 0x00FFFFFFu);
  EXPECT_EQ(shown.frames[0].pixels[0] & kColorMask, 0x00102030u);
}

TEST(CartoonObject, PreviewPaintsDotsCentredFrameAndRedOutline) {
  std::vector<uint32_t> pixels(20 * 12, 0);
  const Surface sheet{pixels.data(), 20, 12, 20};
  FrameSet image = MakeFrameSet(4, 2, 0x00000080);
  PaintPreview(sheet, image, 0, 0);
  auto at = [&](int x, int y) { return pixels[y * 20 + x]; };
  EXPECT_EQ(at(0, 0), kPreviewDot);
  EXPECT_EQ(at(4, 8), kPreviewDot);
  EXPECT_EQ(at(1, 0), kPreviewSheet);
  EXPECT_EQ(at(0, 1), kPreviewSheet);
  // Centred at (8, 5); the outline covers x 6..7 and 12..13, y 3..4 and 7..8.
  for (int x = 8; x < 12; ++x) {
    EXPECT_EQ(at(x, 5), 0x00000080u);
    EXPECT_EQ(at(x, 6), 0x00000080u);
    EXPECT_EQ(at(x, 3), kPreviewFrameColor);
    EXPECT_EQ(at(x, 4), kPreviewFrameColor);
    EXPECT_EQ(at(x, 7), kPreviewFrameColor);
    EXPECT_EQ(at(x, 8), kPreviewFrameColor);
    EXPECT_NE(at(x, 2), kPreviewFrameColor);
    EXPECT_NE(at(x, 9), kPreviewFrameColor);
  }
  for (int y = 3; y <= 8; ++y) {
    EXPECT_EQ(at(6, y), kPreviewFrameColor);
    EXPECT_EQ(at(13, y), kPreviewFrameColor);
    EXPECT_NE(at(5, y), kPreviewFrameColor);
    EXPECT_NE(at(14, y), kPreviewFrameColor);
  }
  // alpha 50: a = 128, so each channel keeps 127/255 of its way from white: 0 -> 128, 0x80 -> 192.
  PaintPreview(sheet, image, 0, 50);
  EXPECT_EQ(at(9, 5), 0x008080C0u);
}

TEST(CartoonObject, PreviewClockHonoursFrameDelaysAndTheGifPause) {
  FrameSet gif = MakeFrameSet(1, 1, 0);
  gif.frames.resize(3, gif.frames[0]);
  gif.frames[0].delay = 100;
  gif.frames[1].delay = 50;
  gif.frames[2].delay = 70;
  EXPECT_FALSE(PreviewPlayer::Plays(gif, false));
  EXPECT_TRUE(PreviewPlayer::Plays(gif, true));
  EXPECT_FALSE(PreviewPlayer::Plays(MakeFrameSet(1, 1, 0), true));
  PreviewPlayer player;
  player.Restart(0xFFFFFFF0u);  // across the clock's wrap
  EXPECT_FALSE(player.Tick(0xFFFFFFF0u + 129, gif, 30));
  EXPECT_TRUE(player.Tick(0xFFFFFFF0u + 130, gif, 30));  // 100 + the pause of 30
  EXPECT_EQ(player.frame(), 1u);
  EXPECT_FALSE(player.Tick(0xFFFFFFF0u + 179, gif, 30));
  EXPECT_TRUE(player.Tick(0xFFFFFFF0u + 180, gif, 30));
  EXPECT_TRUE(player.Tick(0xFFFFFFF0u + 250, gif, 30));
  EXPECT_EQ(player.frame(), 0u);
}

TEST(CartoonObject, PictureEditorFilterIsNulSeparated) {
  const std::string filter = DialogFilter("A (*.X)|*.X");
  EXPECT_EQ(filter, std::string("A (*.X)\0*.X\0\0", 13));
  EXPECT_NE(std::string(kPictureFilter).find(";*.CUR)|*.JPG;"), std::string::npos);
}

}  // namespace
