// Flip, rotation and zoom: sizes and pixel positions worked out by hand (the general rotation's
// expectations from the formula evaluated independently, away from any rounding edge).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numeric>
#include <random>
#include <string>

#include "components/image/frame_set.h"
#include "components/image/rotation_math.h"
#include "components/image/transform.h"

using namespace components;

namespace {

// A w x h frame set whose pixels are 1, 2, 3, ... row by row (two frames when asked).
FrameSet Numbered(int32_t w, int32_t h, int frames = 1) {
  FrameSet set;
  set.width = w;
  set.height = h;
  for (int f = 0; f < frames; ++f) {
    Frame frame{0x00112233u + static_cast<uint32_t>(f), 40 + f,
                std::vector<uint32_t>(static_cast<size_t>(w) * h)};
    std::iota(frame.pixels.begin(), frame.pixels.end(), 1u + 100u * static_cast<uint32_t>(f));
    set.frames.push_back(frame);
  }
  return set;
}

using Pixels = std::vector<uint32_t>;

TEST(Flip, MirrorsRowsReversesRowOrderOrBoth) {
  FrameSet set = Numbered(3, 2, 2);
  Flip(set, 1);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{3, 2, 1, 6, 5, 4}));
  EXPECT_EQ(set.frames[1].pixels, (Pixels{103, 102, 101, 106, 105, 104}));
  set = Numbered(3, 3);
  Flip(set, 2);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{7, 8, 9, 4, 5, 6, 1, 2, 3}));
  set = Numbered(3, 2);
  Flip(set, 3);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{6, 5, 4, 3, 2, 1}));
  for (int mode : {0, 4, -1}) {
    set = Numbered(3, 2);
    Flip(set, mode);
    EXPECT_EQ(set, Numbered(3, 2)) << mode;
  }
}

TEST(Rotate, QuarterTurnsAreExactTranspositions) {
  // 1 2 3        90:  4 1      270: 3 6
  // 4 5 6             5 2           2 5
  //                   6 3           1 4
  FrameSet set = Numbered(3, 2, 2);
  Rotate(set, 90);
  ASSERT_EQ(set.width, 2);
  ASSERT_EQ(set.height, 3);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{4, 1, 5, 2, 6, 3}));
  EXPECT_EQ(set.frames[1].pixels, (Pixels{104, 101, 105, 102, 106, 103}));
  EXPECT_EQ(set.frames[1].delay, 41);
  EXPECT_EQ(set.frames[1].transparentColor, 0x00112234u);

  set = Numbered(3, 2);
  Rotate(set, 270);
  ASSERT_EQ(set.width, 2);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{3, 6, 2, 5, 1, 4}));

  set = Numbered(3, 2);
  Rotate(set, 180);
  EXPECT_EQ(set.width, 3);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{6, 5, 4, 3, 2, 1}));
}

TEST(Rotate, TakesTheAngleModulo360) {
  for (int degrees : {0, 360, -360, 720}) {
    FrameSet set = Numbered(3, 2);
    Rotate(set, degrees);
    EXPECT_EQ(set, Numbered(3, 2)) << degrees;
  }
  FrameSet a = Numbered(3, 2), b = Numbered(3, 2), c = Numbered(3, 2);
  Rotate(a, -90);
  Rotate(b, 270);
  Rotate(c, 450);
  EXPECT_EQ(a, b);
  EXPECT_EQ(c.frames[0].pixels, (Pixels{4, 1, 5, 2, 6, 3}));
}

TEST(Rotate, AnyOtherAngleTurnsIntoTheCornersBoundingBox) {
  struct Case {
    int w, h, degrees, newWidth, newHeight;
  };
  // ceil of the bounding box of (0,0), (w cos, w sin), (-h sin, h cos), (w cos - h sin, w sin + h cos).
  const Case cases[] = {
      {10, 10, 45, 15, 15},  // 14.142 both ways
      {20, 10, 30, 23, 19},  // 22.3205 x 18.6603
      {1, 1, 45, 2, 2},      // 1.414
      {100, 1, 1, 101, 3},   // 100.0022 x 2.7451
      {5, 5, 359, 6, 6},     // 5.0865
      {20, 10, -30, 23, 19},
  };
  for (const Case& c : cases) {
    FrameSet set = Numbered(c.w, c.h);
    Rotate(set, c.degrees);
    EXPECT_EQ(set.width, c.newWidth) << c.w << "x" << c.h << " at " << c.degrees;
    EXPECT_EQ(set.height, c.newHeight) << c.w << "x" << c.h << " at " << c.degrees;
    EXPECT_EQ(set.frames[0].pixels.size(), static_cast<size_t>(c.newWidth) * c.newHeight);
  }
}

TEST(Rotate, PicksTheTruncatedSourcePixelAndLeavesTheRestTransparent) {
  // 3 x 2 at 30 degrees: minx = -1, miny = 0, 4 x 4. Truncation toward zero repeats the first
  // column and row for points a little outside them (row 0 picks pixel 1 three times).
  FrameSet set = Numbered(3, 2, 2);
  Rotate(set, 30);
  ASSERT_EQ(set.width, 4);
  ASSERT_EQ(set.height, 4);
  constexpr uint32_t T = kTransparentPixel;
  EXPECT_EQ(set.frames[0].pixels, (Pixels{1, 1, 1, 2, 4, 1, 2, 3, T, 4, 5, 3, T, T, T, T}));
  EXPECT_EQ(set.frames[1].pixels[7], 103u);
  EXPECT_EQ(set.frames[1].delay, 41);
  EXPECT_EQ(set.frames[1].transparentColor, 0x00112234u);
}

TEST(Rotate, OwnSineAndCosineAgreeWithTheLibraryToTheLastBitsOrSo) {
  for (int degrees = 1; degrees < 360; ++degrees) {
    double s, c;
    SinCos(degrees * kRadiansPerDegree, &s, &c);
    EXPECT_NEAR(s, std::sin(degrees * kRadiansPerDegree), 4e-16) << degrees;
    EXPECT_NEAR(c, std::cos(degrees * kRadiansPerDegree), 4e-16) << degrees;
  }
}

// Every turned pixel, quarter turns included, is the one a pixel-by-pixel walk of the mapping
// names: sizes that are not multiples of the quarter turns' blocks, rows that miss the source.
TEST(Rotate, EachPixelIsTheSampleOfThePerPixelMapping) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 300; ++trial) {
    const int32_t w = 1 + static_cast<int32_t>(random() % 70), h = 1 + static_cast<int32_t>(random() % 70);
    const int degrees = trial < 12 ? 90 * (trial % 4) : static_cast<int>(random() % 360);
    const FrameSet source = Numbered(w, h, 2);
    FrameSet set = source;
    Rotate(set, degrees);
    const std::string where = std::to_string(w) + "x" + std::to_string(h) + " at " + std::to_string(degrees);
    std::vector<int32_t> map;  // source index of each turned pixel, -1 outside
    int32_t newWidth = w, newHeight = h;
    if (degrees % 90 == 0) {
      if (degrees % 180 != 0) std::swap(newWidth, newHeight);
      for (int32_t r = 0; r < newHeight; ++r) {
        for (int32_t c = 0; c < newWidth; ++c) {
          const int32_t sx = degrees == 0 ? c : degrees == 90 ? r : degrees == 180 ? w - 1 - c : w - 1 - r;
          const int32_t sy = degrees == 0 ? r : degrees == 90 ? h - 1 - c : degrees == 180 ? h - 1 - r : c;
          map.push_back(sy * w + sx);
        }
      }
    } else {
      const RotationGeometry g = RotatedGeometry(w, h, degrees);
      newWidth = g.width;
      newHeight = g.height;
      map.resize(static_cast<size_t>(g.width) * g.height);
      for (int32_t row = 0; row < g.height; ++row) SourceIndexesOfRow(g, row, w, h, &map[row * g.width]);
    }
    ASSERT_EQ(set.width, newWidth) << where;
    ASSERT_EQ(set.height, newHeight) << where;
    for (size_t f = 0; f < 2; ++f) {
      Pixels expected(map.size());
      for (size_t i = 0; i < map.size(); ++i) {
        expected[i] = map[i] < 0 ? kTransparentPixel : source.frames[f].pixels[map[i]];
      }
      ASSERT_EQ(set.frames[f].pixels, expected) << where << ", frame " << f;
    }
  }
}

TEST(Rotate, AResultOverTheBudgetLeavesNoImage) {
  FrameSet set = Numbered(10, 10);
  Rotate(set, 45, 15 * 15 * 4 - 1);
  EXPECT_TRUE(set.Empty());
  set = Numbered(10, 10);
  Rotate(set, 45, 15 * 15 * 4);
  EXPECT_EQ(set.width, 15);
}

TEST(Zoom, SizesComeFromMulDivAndSamplingIsAtPixelCentres) {
  // 5 x 3 at 500: MulDiv(5, 500, 1000) = 3 (2.5), MulDiv(3, 500, 1000) = 2 (1.5). Columns
  // (2i + 1) * 5 / 6 = 0, 2, 4; rows (2j + 1) * 3 / 4 = 0, 2.
  FrameSet set = Numbered(5, 3, 2);
  Zoom(set, 500, 500);
  ASSERT_EQ(set.width, 3);
  ASSERT_EQ(set.height, 2);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{1, 3, 5, 11, 13, 15}));
  EXPECT_EQ(set.frames[1].pixels, (Pixels{101, 103, 105, 111, 113, 115}));
  EXPECT_EQ(set.frames[1].delay, 41);
  EXPECT_EQ(set.frames[1].transparentColor, kNoColor);

  set = Numbered(2, 1);  // 2000: columns (2i + 1) * 2 / 8 = 0, 0, 1, 1
  Zoom(set, 2000, 1000);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{1, 1, 2, 2}));

  set = Numbered(2, 4);  // one enlarges, one shrinks: 3 x 2, columns 0, 1, 1, rows 1, 3
  Zoom(set, 1500, 500);
  ASSERT_EQ(set.width, 3);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{3, 4, 4, 7, 8, 8}));
}

TEST(Zoom, LeavesTheSetForUnitOrNonPositiveFactorsAndEmptiesItBelowAPixel) {
  for (auto [zx, zy] : {std::pair{1000, 1000}, {0, 500}, {500, 0}, {-1, 2000}, {2000, INT_MIN}}) {
    FrameSet set = Numbered(3, 3);
    Zoom(set, zx, zy);
    EXPECT_EQ(set, Numbered(3, 3)) << zx << " " << zy;
  }
  FrameSet set = Numbered(3, 3);
  Zoom(set, 1, 1000);  // MulDiv(3, 1, 1000) = 0
  EXPECT_TRUE(set.Empty());
  set = Numbered(3000, 1);
  Zoom(set, INT_MAX, 1000);  // 3000 * INT_MAX / 1000 overflows: MulDiv gives -1
  EXPECT_TRUE(set.Empty());
  set = Numbered(1000, 1000);
  Zoom(set, 100000, 100000);  // 100000 x 100000 pixels: over the budget
  EXPECT_TRUE(set.Empty());
}

// Every zoomed pixel is the one ((2i + 1) from) / (2 to) names on each axis, on random sizes
// and factors (halving, unchanged sides and odd ratios among them), the transparent colour
// turned fully transparent.
TEST(Zoom, EachPixelIsTheSampleAtItsCentre) {
  std::mt19937 random(11);
  const int32_t factors[] = {500, 1000, 250, 333, 700, 1500, 2000, 2999};
  for (int trial = 0; trial < 200; ++trial) {
    const int32_t w = 1 + static_cast<int32_t>(random() % 90), h = 1 + static_cast<int32_t>(random() % 90);
    const int32_t zx = factors[random() % 8], zy = factors[random() % 8];
    const int32_t newWidth = static_cast<int32_t>((int64_t{w} * zx + 500) / 1000);
    const int32_t newHeight = static_cast<int32_t>((int64_t{h} * zy + 500) / 1000);
    if (newWidth < 1 || newHeight < 1 || (zx == 1000 && zy == 1000)) continue;
    FrameSet source = Numbered(w, h, 2);
    source.frames[0].transparentColor = kNoColor;
    source.frames[1].transparentColor = SwapRedBlue(105);  // pixel 105 of the second frame
    FrameSet set = source;
    Zoom(set, zx, zy);
    const std::string where =
        std::to_string(w) + "x" + std::to_string(h) + " by " + std::to_string(zx) + ", " + std::to_string(zy);
    ASSERT_EQ(Zoomed(source, zx, zy), set) << where;  // the same from the untouched source
    ASSERT_EQ(set.width, newWidth) << where;
    ASSERT_EQ(set.height, newHeight) << where;
    for (size_t f = 0; f < 2; ++f) {
      Pixels expected;
      for (int32_t y = 0; y < newHeight; ++y) {
        for (int32_t x = 0; x < newWidth; ++x) {
          const int64_t sx = (2 * int64_t{x} + 1) * w / (2 * int64_t{newWidth});
          const int64_t sy = (2 * int64_t{y} + 1) * h / (2 * int64_t{newHeight});
          const uint32_t p = source.frames[f].pixels[sy * w + sx];
          expected.push_back(f == 1 && p == 105 ? 0xFF000000 | p : p);
        }
      }
      ASSERT_EQ(set.frames[f].pixels, expected) << where << ", frame " << f;
    }
  }
}

TEST(Zoom, PixelsOfTheTransparentColourBecomeFullyTransparent) {
  FrameSet set;
  set.width = 2;
  set.height = 1;
  set.frames.push_back({0x00332211, 0, {0x00112233, 0x00445566}});  // COLORREF of 0x00112233
  Zoom(set, 2000, 1000);
  EXPECT_EQ(set.frames[0].pixels, (Pixels{0xFF112233, 0xFF112233, 0x00445566, 0x00445566}));
  EXPECT_EQ(set.frames[0].transparentColor, kNoColor);
}

}  // namespace
