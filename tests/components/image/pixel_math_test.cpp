// Arithmetic of the pixel operations against values worked out by hand: the opacity rule,
// blending, trend colour and brightness.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "base/mul_div.h"
#include "components/image/blend.h"
#include "components/image/frame_set.h"
#include "components/image/transform.h"

using namespace components;
using base::MulDiv;

namespace {

FrameSet OneFrame(int32_t w, int32_t h, std::vector<uint32_t> pixels, uint32_t transparent = kNoColor) {
  FrameSet set;
  set.width = w;
  set.height = h;
  set.frames.push_back({transparent, 0, std::move(pixels)});
  return set;
}

TEST(Opacity, TopByteBelow255AndNotTheTransparentColourInPixelOrder) {
  const uint32_t redKey = KeyOf(0x000000FF);  // COLORREF red
  EXPECT_FALSE(IsOpaque(0x00FF0000, redKey));
  EXPECT_FALSE(IsOpaque(0x7FFF0000, redKey));  // colour compared without the transparency byte
  EXPECT_TRUE(IsOpaque(0x000000FF, redKey));   // blue, the unswapped value
  EXPECT_TRUE(IsOpaque(0xFE123456, KeyOf(kNoColor)));
  EXPECT_FALSE(IsOpaque(0xFF123456, KeyOf(kNoColor)));
  EXPECT_TRUE(IsOpaque(0x00FFFFFF, KeyOf(kNoColor)));  // white is a colour when there is no key
}

TEST(FrameSetEquality, ComparesSizeFramesDelaysColoursAndPixels) {
  const FrameSet a = OneFrame(2, 1, {1, 2});
  FrameSet b = a;
  EXPECT_EQ(a, b);
  b.frames[0].delay = 10;
  EXPECT_NE(a, b);
  b = a;
  b.frames[0].transparentColor = 0;
  EXPECT_NE(a, b);
  b = a;
  b.frames[0].pixels[1] = 3;
  EXPECT_NE(a, b);
  b = a;
  b.width = 1;
  b.height = 2;
  EXPECT_NE(a, b);
}

TEST(FrameBudget, ChecksEveryProductForOverflowAndTheBudget) {
  EXPECT_EQ(FrameBytesWithin(10, 10, 3), 1200u);
  EXPECT_EQ(FrameBytesWithin(0, 10, 1), 0u);
  EXPECT_EQ(FrameBytesWithin(10, -1, 1), 0u);
  EXPECT_EQ(FrameBytesWithin(8192, 8192, 1), size_t{256} << 20);  // exactly the budget
  EXPECT_EQ(FrameBytesWithin(8192, 8192, 2), 0u);
  EXPECT_EQ(FrameBytesWithin(65535, 65535, 1), 0u);
  EXPECT_EQ(FrameBytesWithin(INT64_MAX, INT64_MAX, INT64_MAX), 0u);
  EXPECT_EQ(FrameBytesWithin(10, 10, 2, 799), 0u);
}

// ---- Blend ----

struct BlendCase {
  uint32_t source, destination;
  int32_t transparency;
  uint32_t expected;
};

uint32_t BlendOne(uint32_t s, uint32_t d, int32_t t, uint32_t key = kNoColor) {
  const FrameSet set = OneFrame(1, 1, {s});
  uint32_t pixel = d;
  BlendFrame(set.frames[0], 1, 1, {0, 0, 1, 1}, {&pixel, 1, 1, 1}, 0, 0, t, key);
  return pixel;
}

TEST(Blend, FollowsTheRoundingRuleChannelByChannel) {
  const BlendCase cases[] = {
      // t = 0, opaque: the pixel replaces the destination.
      {0x00102030, 0x00FFFFFF, 0, 0x00102030},
      // t = 50 gives a = 128; o = 128, so each channel moves 127/255 of the way.
      {0x00FF0000, 0x00000000, 50, 0x007F0000},  // 0 + MulDiv(255, 127, 255) = 127
      {0x00FF0000, 0x00FFFFFF, 50, 0x00FF8080},  // 255 + MulDiv(-255, 127, 255) = 128
      // t = 0, transparency amount 100: o = 100, factor 155.
      {0x640000C8, 0x00000064, 0, 0x000000A1},  // 100 + MulDiv(100, 155, 255) = 100 + 61
      {0x64000064, 0x000000C8, 0, 0x0000008B},  // 200 + MulDiv(-100, 155, 255) = 200 - 61
      // Alpha 128 (amount 127) in an object of transparency 50: o = 128 + 127 = 255, not drawn.
      {0x7F123456, 0x00ABCDEF, 50, 0x00ABCDEF},
      // Amount 126 at the same transparency: o = 254, factor 1: 0 + MulDiv(255, 1, 255) = 1.
      {0x7EFF0000, 0x00000000, 50, 0x00010000},
      // Fully transparent pixels and full object transparency draw nothing.
      {0xFF000000, 0x00ABCDEF, 0, 0x00ABCDEF},
      {0x00000000, 0x00ABCDEF, 100, 0x00ABCDEF},
      {0x00000000, 0x00ABCDEF, 250, 0x00ABCDEF},  // clamped to 100
  };
  for (const BlendCase& c : cases) {
    EXPECT_EQ(BlendOne(c.source, c.destination, c.transparency), c.expected)
        << std::hex << c.source << " onto " << c.destination << " at " << std::dec << c.transparency;
  }
}

TEST(Blend, KeepsTheDestinationTransparencyByteUnlessThePixelIsCopied) {
  EXPECT_EQ(BlendOne(0x00FF0000, 0x55000000, 50), 0x557F0000u);
  EXPECT_EQ(BlendOne(0x00FF0000, 0x55000000, 0), 0x00FF0000u);
}

TEST(Blend, SkipsPixelsOfTheTransparentColour) {
  // COLORREF green 0x0000FF00 is green in pixel order too; red 0x000000FF is 0x00FF0000.
  EXPECT_EQ(BlendOne(0x0000FF00, 0x00111111, 0, 0x0000FF00), 0x00111111u);
  EXPECT_EQ(BlendOne(0x00FF0000, 0x00111111, 0, 0x000000FF), 0x00111111u);
  EXPECT_EQ(BlendOne(0x000000FF, 0x00111111, 0, 0x000000FF), 0x000000FFu);
  EXPECT_EQ(BlendOne(0x00000000, 0x00111111, 0, kNoColor), 0x00000000u);
}

TEST(Blend, ClipsTheRegionToTheFrameAndTheDestination) {
  // A 3 x 2 frame of 1..6 onto a 3 x 3 buffer of 0x99.
  const FrameSet set = OneFrame(3, 2, {1, 2, 3, 4, 5, 6});
  std::vector<uint32_t> buffer(9, 0x99);
  const Surface dst{buffer.data(), 3, 3, 3};
  BlendFrame(set.frames[0], 3, 2, {0, 0, 3, 2}, dst, -1, 2, 0, kNoColor);
  EXPECT_EQ(buffer, (std::vector<uint32_t>{0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 2, 3, 0x99}));

  buffer.assign(9, 0x99);
  // Region partly off the frame: only its part on the frame is drawn, at matching offsets.
  BlendFrame(set.frames[0], 3, 2, {-1, 1, 3, 5}, dst, 0, 0, 0, kNoColor);
  EXPECT_EQ(buffer, (std::vector<uint32_t>{0x99, 4, 5, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}));

  buffer.assign(9, 0x99);
  BlendFrame(set.frames[0], 3, 2, {0, 0, 3, 2}, dst, 3, 0, 0, kNoColor);  // off to the right
  BlendFrame(set.frames[0], 3, 2, {0, 0, 3, 2}, dst, INT_MIN, INT_MIN, 0, kNoColor);
  BlendFrame(set.frames[0], 3, 2, {INT_MAX, 0, INT_MAX, 2}, dst, 0, 0, 0, kNoColor);
  EXPECT_EQ(buffer, std::vector<uint32_t>(9, 0x99));

  // A destination with a row stride wider than its width.
  std::vector<uint32_t> wide(8, 0x99);
  BlendFrame(set.frames[0], 3, 2, {1, 0, 2, 2}, {wide.data(), 2, 2, 4}, 0, 0, 0, kNoColor);
  EXPECT_EQ(wide, (std::vector<uint32_t>{2, 3, 0x99, 0x99, 5, 6, 0x99, 0x99}));
}

// The vector rows: SSE2 and the widest the processor has (AVX2 where present), each checked
// against the scalar row.
using Row = void (*)(const uint32_t*, uint32_t*, int32_t, int32_t, uint32_t);
constexpr Row kVectorRows[] = {BlendRowSse2, BlendRowVector};

// Every source channel, destination channel and factor: every row against MulDiv itself.
TEST(Blend, EveryRowMatchesMulDivForEveryChannelValueAndFactor) {
  std::vector<uint32_t> src(256), scalar(256), vector(256);
  for (uint32_t amount = 0; amount < 256; ++amount) {
    const int32_t f = 255 - static_cast<int32_t>(amount);
    for (uint32_t d = 0; d < 256; ++d) {
      // Source channels s, 255 - s and s ^ 0x5A; the destination d in every channel, and a
      // transparency byte of its own that must survive unless the pixel replaces it.
      for (uint32_t s = 0; s < 256; ++s) src[s] = (amount << 24) | (s << 16) | ((255 - s) << 8) | (s ^ 0x5A);
      const uint32_t dPixel = 0x33000000 | (d << 16) | (d << 8) | d;
      std::fill(scalar.begin(), scalar.end(), dPixel);
      BlendRowScalar(src.data(), scalar.data(), 256, 0, KeyOf(kNoColor));
      for (Row row : kVectorRows) {
        std::fill(vector.begin(), vector.end(), dPixel);
        row(src.data(), vector.data(), 256, 0, KeyOf(kNoColor));
        ASSERT_EQ(scalar, vector) << "amount " << amount << " d " << d;
      }
      for (uint32_t s = 0; s < 256; ++s) {
        const auto channel = [&](uint32_t v) {
          return f == 0 ? d
                        : static_cast<uint32_t>(
                              static_cast<int32_t>(d) +
                              MulDiv(static_cast<int32_t>(v) - static_cast<int32_t>(d), f, 255));
        };
        const uint32_t top = f == 0 ? 0x33000000 : f == 255 ? 0 : 0x33000000;
        const uint32_t expected = top | (channel(s) << 16) | (channel(255 - s) << 8) | channel(s ^ 0x5A);
        ASSERT_EQ(scalar[s], expected) << "amount " << amount << " d " << d << " s " << s;
      }
    }
  }
}

TEST(Blend, VectorRowsHandleKeysTransparencyAndRaggedLengths) {
  std::vector<uint32_t> src(37), scalar(37), vector(37);
  for (uint32_t i = 0; i < src.size(); ++i)
    src[i] = ((i * 37) % 256) << 24 | (i % 3 == 0 ? 0x00FF0000 : i * 0x030507);
  for (int32_t a : {0, 1, 128, 254, 255}) {
    for (uint32_t key : {KeyOf(kNoColor), KeyOf(0x000000FF)}) {
      for (int32_t n : {0, 1, 3, 4, 5, 37}) {
        std::fill(scalar.begin(), scalar.end(), 0x11223344);
        BlendRowScalar(src.data(), scalar.data(), n, a, key);
        for (Row row : kVectorRows) {
          std::fill(vector.begin(), vector.end(), 0x11223344);
          row(src.data(), vector.data(), n, a, key);
          ASSERT_EQ(scalar, vector) << a << " " << key << " " << n;
        }
      }
    }
  }
}

// Runs of copied, skipped, key and mixed pixels of every length, starting anywhere in the
// vector row's groups of eight, at every alignment of the destination and the source.
TEST(Blend, VectorRowsMatchTheScalarRowOverRunsAndAlignments) {
#if defined(__x86_64__)
  EXPECT_TRUE(HasVectorBlendRow());  // the comparison below must exercise the vector row
#endif
  std::mt19937 random(11);
  const uint32_t red = 0x00FF0000;  // COLORREF red in pixel order
  std::vector<uint32_t> src, dst;
  while (src.size() < 96) {
    const uint32_t kind = random() % 4, length = 1 + random() % 13;
    for (uint32_t k = 0; k < length; ++k) {
      const uint32_t amounts[] = {0, 255, static_cast<uint32_t>(random() % 256),
                                  static_cast<uint32_t>(random() % 256)};
      src.push_back(amounts[kind] << 24 | (kind == 3 ? red : random() & 0xFFFFFF));
      dst.push_back(static_cast<uint32_t>(random()));
    }
  }
  std::vector<uint32_t> scalar(dst.size()), vector(dst.size());
  for (int32_t a : {0, 1, 100, 254}) {
    for (uint32_t key : {KeyOf(kNoColor), KeyOf(0x000000FF)}) {
      for (size_t at = 0; at < 4; ++at) {
        for (size_t from = 0; from < 4; ++from) {
          for (int32_t n : {1, 6, 7, 8, 9, 14, 16, 17, 31, 88}) {
            scalar = dst;
            BlendRowScalar(src.data() + from, scalar.data() + at, n, a, key);
            for (Row row : kVectorRows) {
              vector = dst;
              row(src.data() + from, vector.data() + at, n, a, key);
              ASSERT_EQ(scalar, vector)
                  << "a " << a << " key " << key << " at " << at << " from " << from << " n " << n;
            }
          }
        }
      }
    }
  }
}

// ---- Trend and brightness ----

TEST(Trend, MovesEveryChannelOfOpaquePixelsTowardTheColour) {
  // Pixel R 100, G 200, B 0 toward white at 50%: 100 + MulDiv(155, 50, 100) = 178,
  // 200 + MulDiv(55, 50, 100) = 228, 0 + MulDiv(255, 50, 100) = 128.
  FrameSet set = OneFrame(3, 1, {0x0064C800, 0xFF64C800, 0x00ABCDEF}, 0x00EFCDAB);
  Trend(set, 0xFFFFFF, 50);
  EXPECT_EQ(set.frames[0].pixels[0], 0x00B2E480u);
  EXPECT_EQ(set.frames[0].pixels[1], 0xFF64C800u);  // fully transparent: untouched
  EXPECT_EQ(set.frames[0].pixels[2], 0x00ABCDEFu);  // the transparent colour: untouched
  // Toward black: 101 + MulDiv(-101, 50, 100) = 101 - 51 = 50.
  FrameSet dark = OneFrame(1, 1, {0x00650000});
  Trend(dark, 0x000000, 50);
  EXPECT_EQ(dark.frames[0].pixels[0], 0x00320000u);
}

TEST(Trend, ClampsThePercentAndIgnoresZeroOrLess) {
  FrameSet set = OneFrame(1, 1, {0x7F123456});
  Trend(set, 0x0000FF, 0);
  Trend(set, 0x0000FF, -20);
  EXPECT_EQ(set.frames[0].pixels[0], 0x7F123456u);
  Trend(set, 0x0000FF, 250);  // COLORREF red at 100%: the colour itself, transparency kept
  EXPECT_EQ(set.frames[0].pixels[0], 0x7FFF0000u);
}

TEST(Brightness, AddsAPercentOfEachChannelAndClamps) {
  FrameSet set = OneFrame(3, 1, {0x0064C803, 0x00000000, 0xFF646464});
  Brighten(set, 50);
  // 100 -> 150, 200 -> 300 -> 255, 3 -> 3 + MulDiv(3, 50, 100) = 5.
  EXPECT_EQ(set.frames[0].pixels[0], 0x0096FF05u);
  EXPECT_EQ(set.frames[0].pixels[1], 0x00000000u);
  EXPECT_EQ(set.frames[0].pixels[2], 0xFF646464u);

  FrameSet darker = OneFrame(1, 1, {0x00640003});
  Brighten(darker, -50);  // 100 -> 50, 3 -> 3 + MulDiv(3, -50, 100) = 3 - 2 = 1
  EXPECT_EQ(darker.frames[0].pixels[0], 0x00320001u);
  Brighten(darker, -200);
  EXPECT_EQ(darker.frames[0].pixels[0], 0x00000000u);
}

TEST(Brightness, ExtremeFactorsSaturateInsteadOfOverflowing) {
  FrameSet set = OneFrame(2, 1, {0x00010203, 0x00000000});
  Brighten(set, INT_MAX);  // v * percent would overflow MulDiv; every lit channel saturates
  EXPECT_EQ(set.frames[0].pixels[0], 0x00FFFFFFu);
  EXPECT_EQ(set.frames[0].pixels[1], 0x00000000u);
  Brighten(set, INT_MIN);
  EXPECT_EQ(set.frames[0].pixels[0], 0x00000000u);
}

}  // namespace
