// The pixel tests behind collisions, hit testing and the box's edges.
#include "components/image/pixel_tests.h"

#include <gtest/gtest.h>

#include <climits>

using namespace components;

namespace {

constexpr uint32_t O = 0x00000000;  // opaque black
constexpr uint32_t T = 0xFF000000;  // fully transparent
constexpr uint32_t K = 0x00FF0000;  // red: the transparent colour where a frame has one

struct Sprite {
  int32_t w, h;
  std::vector<uint32_t> pixels;
  uint32_t transparent = kNoColor;
  FrameView View() const { return {pixels.data(), w, h, KeyOf(transparent)}; }
};

Sprite Solid(int32_t w, int32_t h) { return {w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, O)}; }

TEST(Overlap, NeedsOnePixelOpaqueInBothWithinTheIntersection) {
  const Sprite a = Solid(2, 2);
  Sprite b{2, 2, {O, T, T, T}};
  EXPECT_TRUE(Overlap(a.View(), 0, 0, b.View(), 1, 1));     // a(1,1) and b(0,0)
  EXPECT_FALSE(Overlap(a.View(), 0, 0, b.View(), -1, -1));  // b's opaque pixel lies outside a
  b.pixels = {T, O, T, T};
  EXPECT_FALSE(Overlap(a.View(), 0, 0, b.View(), 1, 1));  // b(1,0) lies at (2,1), outside a
  EXPECT_FALSE(Overlap(a.View(), 0, 0, a.View(), 2, 0));  // rectangles only touch
  EXPECT_FALSE(Overlap(a.View(), 0, 0, a.View(), 0, -2));
  // The transparent colour counts as transparent, compared in pixel order.
  Sprite keyed{1, 1, {K}, 0x000000FF};
  EXPECT_FALSE(Overlap(a.View(), 0, 0, keyed.View(), 1, 1));
  EXPECT_FALSE(Overlap(a.View(), 0, 0, keyed.View(), 0, 0));
  keyed.transparent = kNoColor;
  EXPECT_TRUE(Overlap(a.View(), 0, 0, keyed.View(), 0, 0));
  EXPECT_FALSE(Overlap(a.View(), 0, 0, FrameView{}, 0, 0));
}

TEST(Overlap, ScansTheWholeIntersection) {
  Sprite a{3, 3, {T, T, T, T, T, T, T, T, O}};
  Sprite b{3, 3, {T, T, T, T, T, T, T, T, O}};
  EXPECT_TRUE(Overlap(a.View(), 0, 0, b.View(), 0, 0));
  EXPECT_FALSE(Overlap(a.View(), 0, 0, b.View(), 1, 1));
  EXPECT_TRUE(Overlap(a.View(), INT_MAX - 2, INT_MAX - 2, b.View(), INT_MAX - 2, INT_MAX - 2));
  EXPECT_FALSE(Overlap(a.View(), INT_MAX - 2, 0, b.View(), INT_MIN, 0));
}

TEST(PointHit, IsInsideTheRectangleAndOpaqueThere) {
  const Sprite a{2, 2, {O, T, O, K}, 0x000000FF};
  EXPECT_TRUE(PointHit(a.View(), 10, 20, 10, 20));
  EXPECT_FALSE(PointHit(a.View(), 10, 20, 11, 20));  // transparent
  EXPECT_TRUE(PointHit(a.View(), 10, 20, 10, 21));
  EXPECT_FALSE(PointHit(a.View(), 10, 20, 11, 21));  // transparent colour
  EXPECT_FALSE(PointHit(a.View(), 10, 20, 9, 20));
  EXPECT_FALSE(PointHit(a.View(), 10, 20, 12, 20));  // one past the right edge
  EXPECT_FALSE(PointHit(a.View(), 10, 20, 10, 22));
  EXPECT_TRUE(PointHit(a.View(), INT_MAX - 1, INT_MIN, INT_MAX - 1, INT_MIN + 1));
  EXPECT_FALSE(PointHit(a.View(), INT_MAX, 0, INT_MIN, 0));
  EXPECT_FALSE(PointHit(FrameView{}, 0, 0, 0, 0));
}

TEST(VisibleIn, MissesHoldsWhollyOrLooksForAnOpaquePixelInside) {
  const Rect r{0, 0, 10, 10};
  const Sprite clear{2, 2, {T, T, T, T}};
  EXPECT_TRUE(VisibleIn(clear.View(), 3, 3, r));     // wholly inside: visible whatever its pixels
  EXPECT_FALSE(VisibleIn(clear.View(), 10, 3, r));   // touches the right edge from outside
  EXPECT_FALSE(VisibleIn(clear.View(), -2, -2, r));  // touches the corner
  EXPECT_FALSE(VisibleIn(clear.View(), 9, 3, r));    // partly inside, nothing opaque there
  const Sprite leftOnly{2, 1, {O, T}};
  EXPECT_FALSE(VisibleIn(leftOnly.View(), -1, 0, r));  // its opaque pixel is outside
  EXPECT_TRUE(VisibleIn(leftOnly.View(), 9, 0, r));    // its opaque pixel is the last column
  // Without an image the position alone decides.
  EXPECT_TRUE(VisibleIn(FrameView{}, 0, 9, r));
  EXPECT_FALSE(VisibleIn(FrameView{}, 10, 0, r));
  EXPECT_FALSE(VisibleIn(FrameView{}, -1, 0, r));
}

TEST(BorderBits, SayWhichEdgesHaveOpaquePixelsBeyondThem) {
  const Rect r{0, 0, 10, 10};
  const Sprite solid = Solid(4, 4);
  EXPECT_EQ(BorderBits(solid.View(), 3, 3, r), 0);
  EXPECT_EQ(BorderBits(solid.View(), -2, 3, r), 1);
  EXPECT_EQ(BorderBits(solid.View(), 3, -1, r), 2);
  EXPECT_EQ(BorderBits(solid.View(), 7, 3, r), 4);
  EXPECT_EQ(BorderBits(solid.View(), 3, 9, r), 8);
  EXPECT_EQ(BorderBits(solid.View(), 8, 8, r), 4 | 8);
  EXPECT_EQ(BorderBits(solid.View(), -2, -2, r), 1 | 2);
  EXPECT_EQ(BorderBits(Solid(12, 12).View(), -1, -1, r), 15);
  EXPECT_EQ(BorderBits(solid.View(), 10, 3, r), 0);  // no intersection
  EXPECT_EQ(BorderBits(solid.View(), -4, 3, r), 0);
}

TEST(BorderBits, CountOnlyThePartsBesideTheIntersection) {
  const Rect r{0, 0, 10, 10};
  // At (-2, -2) only the corner pixel (0, 0) is opaque: it lies left of r and above it, but in
  // neither the rows nor the columns of the intersection.
  Sprite corner{4, 4, std::vector<uint32_t>(16, T)};
  corner.pixels[0] = O;
  EXPECT_EQ(BorderBits(corner.View(), -2, -2, r), 0);
  corner.pixels[0] = T;
  corner.pixels[2 * 4 + 0] = O;  // (0, 2): left of r, in the rows of the intersection
  EXPECT_EQ(BorderBits(corner.View(), -2, -2, r), 1);
  corner.pixels[2 * 4 + 0] = T;
  corner.pixels[0 * 4 + 3] = O;  // (3, 0): above r, in its columns
  EXPECT_EQ(BorderBits(corner.View(), -2, -2, r), 2);
  // Right of r the rows from I's top down count, past I's last row: a pixel beyond the
  // bottom-right corner alone gives the right edge. The other corners give nothing.
  corner.pixels[0 * 4 + 3] = T;
  corner.pixels[3 * 4 + 3] = O;  // (3, 3)
  EXPECT_EQ(BorderBits(corner.View(), 8, 8, r), 4);
  EXPECT_EQ(BorderBits(corner.View(), -2, -2, r), 0);  // inside r
  corner.pixels[3 * 4 + 3] = T;
  corner.pixels[0 * 4 + 3] = O;  // (3, 0), beyond the top-right corner
  EXPECT_EQ(BorderBits(corner.View(), 8, -2, r), 0);
  corner.pixels[0 * 4 + 3] = T;
  corner.pixels[3 * 4 + 0] = O;  // (0, 3), beyond the bottom-left corner
  EXPECT_EQ(BorderBits(corner.View(), -2, 8, r), 0);
  // Transparent-coloured pixels do not count.
  Sprite keyed{2, 1, {K, K}, 0x000000FF};
  EXPECT_EQ(BorderBits(keyed.View(), -1, 0, r), 0);
}

}  // namespace
