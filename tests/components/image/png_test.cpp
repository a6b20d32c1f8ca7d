// PNG pictures through libpng: every colour type and depth to the expected pixels, worked out
// by hand; failures and oversized pictures give no image.
#include <gtest/gtest.h>
#include <zlib.h>

#include "components/image/png_decoder.h"
#include "png_writer.h"

using namespace components;
using png_writer::Picture;
using Pixels = std::vector<uint32_t>;

namespace {

Picture Make(int w, int h, int type, int depth, std::vector<uint8_t> rows) {
  Picture p;
  p.width = w;
  p.height = h;
  p.colorType = type;
  p.bitDepth = depth;
  p.rows = std::move(rows);
  return p;
}

Pixels Decode(const Picture& p) {
  const auto file = png_writer::Encode(p);
  EXPECT_FALSE(file.empty());
  const FrameSet set = DecodePng(file);
  if (set.Empty()) return {};
  EXPECT_EQ(set.width, p.width);
  EXPECT_EQ(set.height, p.height);
  EXPECT_EQ(set.frames.size(), 1u);
  EXPECT_EQ(set.frames[0].delay, 0);
  EXPECT_EQ(set.frames[0].transparentColor, kNoColor);
  return set.frames[0].pixels;
}

TEST(Png, AlphaBecomesTheTransparencyAmountAndAlphaZeroIsNeverOpaque) {
  // R G B A: (10, 20, 30, 0), (10, 20, 30, 255), (1, 2, 3, 128).
  const Pixels pixels =
      Decode(Make(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 0, 10, 20, 30, 255, 1, 2, 3, 128}));
  EXPECT_EQ(pixels, (Pixels{0xFF0A141E, 0x000A141E, 0x7F010203}));
  EXPECT_FALSE(IsOpaque(pixels[0], KeyOf(kNoColor)));
  EXPECT_EQ(Decode(Make(2, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 0, 255})),
            (Pixels{0x00FF0000, 0x000000FF}));
}

TEST(Png, PaletteImagesTakeTheirPaletteAndTrnsAlpha) {
  Picture p = Make(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2});
  p.palette = {{255, 0, 0}, {0, 255, 0}, {1, 2, 3}};
  p.paletteAlpha = {0, 200};  // the third entry has no alpha: opaque
  EXPECT_EQ(Decode(p), (Pixels{0xFFFF0000, 0x3700FF00, 0x00010203}));
  // 2-bit indexes: 0 1 2 1 packed as 00 01 10 01.
  Picture packed = Make(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x19});
  packed.palette = {{0, 0, 0}, {0x10, 0x20, 0x30}, {0xFF, 0xFF, 0xFF}};
  EXPECT_EQ(Decode(packed), (Pixels{0, 0x102030, 0xFFFFFF, 0x102030}));
}

TEST(Png, GreyImagesGetAnEvenRamp) {
  // 1 bit: 0 and 255. 2 bits: steps of 85. 4 bits: steps of 17. 8 bits: as stored.
  EXPECT_EQ(Decode(Make(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0x40})), (Pixels{0, 0xFFFFFF}));
  EXPECT_EQ(Decode(Make(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B})), (Pixels{0, 0x555555, 0xAAAAAA, 0xFFFFFF}));
  EXPECT_EQ(Decode(Make(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0x5F})), (Pixels{0x555555, 0xFFFFFF}));
  EXPECT_EQ(Decode(Make(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0x42})), (Pixels{0x424242}));
  EXPECT_EQ(Decode(Make(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 0, 100, 255})),
            (Pixels{0xFF646464, 0x00646464}));
  // A tRNS grey value makes that grey fully transparent.
  Picture keyed = Make(2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 8});
  keyed.hasTransparentValue = true;
  keyed.transparentValue.gray = 7;
  EXPECT_EQ(Decode(keyed), (Pixels{0xFF070707, 0x00080808}));
}

TEST(Png, SixteenBitChannelsKeepTheirHighByte) {
  // R 0x1234, G 0xFFFF, B 0x00FF.
  EXPECT_EQ(Decode(Make(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xFF, 0xFF, 0x00, 0xFF})),
            (Pixels{0x0012FF00}));
  // RGBA with alpha 0x80FF: amount 255 - 0x80.
  EXPECT_EQ(Decode(Make(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0xAB, 0, 0xCD, 0, 0xEF, 0, 0x80, 0xFF})),
            (Pixels{0x7FABCDEF}));
  EXPECT_EQ(Decode(Make(1, 1, PNG_COLOR_TYPE_GRAY, 16, {0x9A, 0xBC})), (Pixels{0x009A9A9A}));
}

TEST(Png, InterlacedImagesAreExpanded) {
  Picture p = Make(9, 9, PNG_COLOR_TYPE_RGB, 8, {});
  p.interlaced = true;
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x)
      p.rows.insert(p.rows.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7});
  }
  const Pixels pixels = Decode(p);
  ASSERT_EQ(pixels.size(), 81u);
  for (uint32_t y = 0; y < 9; ++y) {
    for (uint32_t x = 0; x < 9; ++x) EXPECT_EQ(pixels[y * 9 + x], (x << 16) | (y << 8) | 7) << x << "," << y;
  }
}

TEST(Png, ABackgroundChunkCompositesOverItAtGammaOne) {
  // (200, 100, 0, alpha 128) over blue: 200 * 128 / 255 = 100.4 -> 100, 100 * 128 / 255 = 50.2 -> 50,
  // 255 * 127 / 255 = 127. Alpha 0 gives the background itself, alpha 255 the pixel; all opaque.
  Picture p = Make(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 0, 128, 9, 9, 9, 0, 1, 2, 3, 255});
  p.hasBackground = true;
  p.background.red = 0;
  p.background.green = 0;
  p.background.blue = 255;
  EXPECT_EQ(Decode(p), (Pixels{0x0064327F, 0x000000FF, 0x00010203}));
  // A palette image's background is a palette entry.
  Picture indexed = Make(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1});
  indexed.palette = {{10, 20, 30}, {40, 50, 60}};
  indexed.paletteAlpha = {0};
  indexed.hasBackground = true;
  indexed.background.index = 1;
  EXPECT_EQ(Decode(indexed), (Pixels{0x0028323C, 0x0028323C}));
}

TEST(Png, BrokenTruncatedOrOversizedFilesGiveNoImage) {
  const auto file = png_writer::Encode(Make(4, 4, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(48, 99)));
  ASSERT_FALSE(DecodePng(file).Empty());
  for (size_t cut : {size_t{0}, size_t{8}, size_t{20}, size_t{40}, file.size() - 20}) {
    EXPECT_TRUE(DecodePng(std::span(file).first(cut)).Empty()) << cut;
  }
  auto corrupt = file;
  corrupt[corrupt.size() - 20] ^= 0x55;  // inside IDAT: the CRC no longer matches
  EXPECT_TRUE(DecodePng(corrupt).Empty());
  EXPECT_TRUE(DecodePng(std::span(file).subspan(1)).Empty());

  // 9000 x 9000 (324 000 000 bytes) is over the budget: refused from the header alone.
  auto huge = file;
  const uint8_t side[4] = {0, 0, 0x23, 0x28};
  std::copy(side, side + 4, huge.begin() + 16);
  std::copy(side, side + 4, huge.begin() + 20);
  const uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), huge.data() + 12, 17));
  for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  EXPECT_TRUE(DecodePng(huge).Empty());
  EXPECT_FALSE(DecodePng(file, 64).Empty());
  EXPECT_TRUE(DecodePng(file, 63).Empty());
}

}  // namespace
