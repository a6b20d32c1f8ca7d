// Our GIF decoder on files built by the test encoder, with expectations worked out by hand.
#include <gtest/gtest.h>

#include "components/image/gif_decoder.h"
#include "gif_writer.h"

using namespace components;
using gif_writer::Image;
using gif_writer::Solid;

namespace {

constexpr uint32_t T = kTransparentPixel;
constexpr uint32_t Bk = 0x000000, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;
const std::vector<uint32_t> kColors = {Bk, R, G, B};
using Pixels = std::vector<uint32_t>;

Image WithControl(Image image, int disposal, int delay = 0) {
  image.control = true;
  image.disposal = disposal;
  image.delay = delay;
  return image;
}

TEST(Gif, DisposalTwoRestoresTheAreaBeforeTheNextImage) {
  // 3 x 3 screen: red 2 x 2 at (0,0), green 2 x 2 at (1,1), blue 1 x 1 at (2,0); disposal 2 each.
  const auto file =
      gif_writer::Encode(3, 3, kColors,
                         {WithControl(Solid(0, 0, 2, 2, 1), 2), WithControl(Solid(1, 1, 2, 2, 2), 2),
                          WithControl(Solid(2, 0, 1, 1, 3), 2)});
  const FrameSet set = DecodeGif(file);
  ASSERT_EQ(set.frames.size(), 3u);
  EXPECT_EQ(set.width, 3);
  EXPECT_EQ(set.height, 3);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{R, R, T, R, R, T, T, T, T}));
  EXPECT_EQ(set.frames[1].pixels, (Pixels{T, T, T, T, G, G, T, G, G}));
  EXPECT_EQ(set.frames[2].pixels, (Pixels{T, T, B, T, T, T, T, T, T}));
  for (const Frame& frame : set.frames) EXPECT_EQ(frame.transparentColor, kNoColor);
}

TEST(Gif, DisposalRestoresWhatWasThereNotTheBackground) {
  // A black background image kept (disposal 1), then red with disposal 3, then nothing new:
  // the red area goes back to black. Disposal 2 does the same.
  for (int disposal : {2, 3}) {
    const auto file = gif_writer::Encode(2, 1, kColors,
                                         {WithControl(Solid(0, 0, 2, 1, 0), 1),
                                          WithControl(Solid(1, 0, 1, 1, 1), disposal), Solid(0, 0, 0, 0, 0)});
    const FrameSet set = DecodeGif(file);
    ASSERT_EQ(set.frames.size(), 3u) << disposal;
    EXPECT_EQ(set.frames[1].pixels, (Pixels{Bk, R})) << disposal;
    EXPECT_EQ(set.frames[2].pixels, (Pixels{Bk, Bk})) << disposal;
  }
  // Disposal 1 keeps the drawing.
  const auto kept =
      gif_writer::Encode(2, 1, kColors, {WithControl(Solid(1, 0, 1, 1, 1), 1), Solid(0, 0, 1, 1, 2)});
  EXPECT_EQ(DecodeGif(kept).frames[1].pixels, (Pixels{G, R}));
}

TEST(Gif, DelaysAreHundredthsAndZeroMeansFiftyMilliseconds) {
  const auto file = gif_writer::Encode(1, 1, kColors,
                                       {WithControl(Solid(0, 0, 1, 1, 1), 0, 0),
                                        WithControl(Solid(0, 0, 1, 1, 1), 0, 7), Solid(0, 0, 1, 1, 1)});
  const FrameSet set = DecodeGif(file);
  ASSERT_EQ(set.frames.size(), 3u);
  EXPECT_EQ(set.frames[0].delay, 50);
  EXPECT_EQ(set.frames[1].delay, 70);
  EXPECT_EQ(set.frames[2].delay, 50);  // the control extension applies to one image only
}

TEST(Gif, TransparentIndexDrawsNothingButTheSameColourAtAnotherIndexDoes) {
  // Index 0 and 2 are both red; 0 is the transparent index.
  Image image = Solid(0, 0, 3, 1, 0);
  image.indexes = {0, 2, 1};
  image.control = true;
  image.transparent = true;
  image.transparentIndex = 0;
  const auto file = gif_writer::Encode(3, 1, {R, G, R, B}, {Solid(0, 0, 3, 1, 3), image});
  const FrameSet set = DecodeGif(file);
  ASSERT_EQ(set.frames.size(), 2u);
  EXPECT_EQ(set.frames[1].pixels, (Pixels{B, R, G}));
}

TEST(Gif, KeepsTheFramesDecodedBeforeABrokenOrMissingBlock) {
  const auto file = gif_writer::Encode(2, 2, kColors, {Solid(0, 0, 2, 2, 1), Solid(0, 0, 2, 2, 2)});
  const FrameSet whole = DecodeGif(file);
  ASSERT_EQ(whole.frames.size(), 2u);
  // Header 13 + table 12 = 25; first image: descriptor 10, code size 1, data block, terminator.
  const size_t secondImage = 25 + 10 + 1 + 1 + file[25 + 11] + 1;
  ASSERT_EQ(file[secondImage], 0x2C);
  for (size_t cut : {secondImage, secondImage + 5, secondImage + 12}) {
    const FrameSet set = DecodeGif(std::span(file).first(cut));
    ASSERT_EQ(set.frames.size(), 1u) << cut;
    EXPECT_EQ(set.frames[0], whole.frames[0]) << cut;
  }
  // Without the last terminator and the trailer the second image's pixels are all there.
  EXPECT_EQ(DecodeGif(std::span(file).first(file.size() - 2)), whole);
  // Cut inside the first image: nothing decodable.
  EXPECT_TRUE(DecodeGif(std::span(file).first(30)).Empty());
  // A bad code in the second image's data (clear, then 7 before any entry) ends the picture
  // at the first.
  auto broken = file;
  broken[secondImage + 12] = 0xFC;
  EXPECT_EQ(DecodeGif(broken).frames.size(), 1u);
}

TEST(Gif, AnUnknownExtensionEndsThePictureKnownOnesAreSkipped) {
  const std::vector<uint8_t> skipped = {0x21, 0xFE, 3,   'a', 'b', 'c', 0,  // comment
                                        0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                        'E',  '2',  '.', '0', 3,   1,   0,   0,   0,  // application
                                        0x21, 0x01, 2,   0,   0,   0};                // plain text
  EXPECT_EQ(DecodeGif(gif_writer::Encode(1, 1, kColors, {Solid(0, 0, 1, 1, 1)}, {}, skipped)).frames.size(),
            1u);
  const std::vector<uint8_t> unknown = {0x21, 0x99, 1, 0, 0};
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(1, 1, kColors, {Solid(0, 0, 1, 1, 1)}, {}, unknown)).Empty());
}

TEST(Gif, InterlacedRowsLandInTheirPlaces) {
  // A 1 x 10 image whose row y has index y: stored in the order 0 8 | 4 | 2 6 | 1 3 5 7 9.
  std::vector<uint32_t> colors;
  for (uint32_t i = 0; i < 10; ++i) colors.push_back(i * 0x010101);
  Image image = Solid(0, 0, 1, 10, 0);
  for (uint8_t y = 0; y < 10; ++y) image.indexes[y] = y;
  image.interlaced = true;
  const auto file = gif_writer::Encode(1, 10, colors, {image});
  ASSERT_EQ(file[13 + 16 * 3 + 9] & 0x40, 0x40);
  const FrameSet set = DecodeGif(file);
  ASSERT_EQ(set.frames.size(), 1u);
  for (uint32_t y = 0; y < 10; ++y) EXPECT_EQ(set.frames[0].pixels[y], y * 0x010101u) << y;
}

TEST(Gif, Gif87aLocalTablesAndFilesWithoutAnyTable) {
  gif_writer::Options old;
  old.version = "GIF87a";
  EXPECT_EQ(DecodeGif(gif_writer::Encode(1, 1, kColors, {Solid(0, 0, 1, 1, 3)}, old)).frames[0].pixels,
            (Pixels{B}));
  // No global table; the image brings its own.
  Image local = Solid(0, 0, 2, 1, 1);
  local.colors = {0x123456, 0xABCDEF};
  EXPECT_EQ(DecodeGif(gif_writer::Encode(2, 1, {}, {local})).frames[0].pixels, (Pixels{0xABCDEF, 0xABCDEF}));
  // No table at all, and indexes beyond a short table: opaque black.
  Image bare = Solid(0, 0, 2, 1, 1);
  EXPECT_EQ(DecodeGif(gif_writer::Encode(2, 1, {}, {bare})).frames[0].pixels, (Pixels{0, 0}));
  Image beyond = Solid(0, 0, 3, 1, 0);
  beyond.indexes = {0, 1, 3};
  beyond.minCodeSize = 2;
  EXPECT_EQ(DecodeGif(gif_writer::Encode(3, 1, {0x111111, 0x222222}, {beyond})).frames[0].pixels,
            (Pixels{0x111111, 0x222222, 0}));
}

TEST(Gif, ImagesAreClippedToTheLogicalScreen) {
  // A 3 x 3 image at (1,1) on a 2 x 2 screen: only its top-left pixel shows.
  Image image = Solid(1, 1, 3, 3, 0);
  for (uint8_t i = 0; i < 9; ++i) image.indexes[i] = i % 4;  // 0 1 2 / 3 0 1 / 2 3 0
  const FrameSet set = DecodeGif(gif_writer::Encode(2, 2, kColors, {image, Solid(5, 5, 2, 2, 1)}));
  ASSERT_EQ(set.frames.size(), 2u);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{T, T, T, Bk}));
  EXPECT_EQ(set.frames[1].pixels, (Pixels{T, T, T, Bk}));  // wholly off the screen
}

TEST(Gif, DeferredClearAndFullTablesDecode) {
  // 160 x 100 of varied indexes fills the table several times over.
  Image image = Solid(0, 0, 160, 100, 0);
  uint32_t state = 1;
  for (auto& index : image.indexes) {
    state = state * 1103515245 + 12345;
    index = static_cast<uint8_t>((state >> 16) % 256);
  }
  std::vector<uint32_t> colors(256);
  for (uint32_t i = 0; i < 256; ++i) colors[i] = i * 0x010101;
  for (bool deferred : {false, true}) {
    gif_writer::Options options;
    options.deferredClear = deferred;
    const FrameSet set = DecodeGif(gif_writer::Encode(160, 100, colors, {image}, options));
    ASSERT_EQ(set.frames.size(), 1u);
    for (size_t i = 0; i < image.indexes.size(); ++i) {
      ASSERT_EQ(set.frames[0].pixels[i], image.indexes[i] * 0x010101u) << i << " deferred " << deferred;
    }
  }
}

TEST(Gif, NothingDecodableOrAFirstFrameOverTheBudgetGivesNoImage) {
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(2, 2, kColors, {})).Empty());
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(0, 0, kColors, {Solid(0, 0, 1, 1, 1)})).Empty());
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(65535, 65535, kColors, {Solid(0, 0, 1, 1, 1)})).Empty());
  auto notGif = gif_writer::Encode(1, 1, kColors, {Solid(0, 0, 1, 1, 1)});
  notGif[4] = '8';
  EXPECT_TRUE(DecodeGif(notGif).Empty());
  // One 10 x 10 frame takes 400 bytes.
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(10, 10, kColors, {Solid(0, 0, 1, 1, 1)}), 399).Empty());
  // An image whose own area is over the budget (though clipped to a tiny screen) is not decoded.
  EXPECT_TRUE(DecodeGif(gif_writer::Encode(1, 1, kColors, {Solid(0, 0, 30, 30, 1)}), 3599).Empty());
}

}  // namespace

namespace {

TEST(Gif, FramesPastTheBudgetAreDroppedAndTheOnesBeforeKept) {
  // Four 10 x 10 frames take 1600 bytes; with room for two and a half, the first two remain.
  const auto four = gif_writer::Encode(
      10, 10, kColors,
      {Solid(0, 0, 1, 1, 1), Solid(1, 0, 1, 1, 2), Solid(2, 0, 1, 1, 3), Solid(3, 0, 1, 1, 1)});
  EXPECT_EQ(DecodeGif(four, 1600).frames.size(), 4u);
  const FrameSet set = DecodeGif(four, 1000);
  ASSERT_EQ(set.frames.size(), 2u);
  EXPECT_EQ(set.width, 10);
  Pixels second(100, T);
  second[0] = R;
  second[1] = G;
  EXPECT_EQ(set.frames[1].pixels, second);
}

}  // namespace
