// Pixel tests. Rectangles are computed in 64 bits: positions come from scripts and may lie
// anywhere in the 32-bit range.
#include "components/image/pixel_tests.h"

#include <algorithm>

namespace components {
namespace {

struct Box {
  int64_t left, top, right, bottom;
  bool Empty() const { return right <= left || bottom <= top; }
};

Box BoxOf(const FrameView& a, int32_t x, int32_t y) {
  return {x, y, int64_t{x} + a.width, int64_t{y} + a.height};
}
Box BoxOf(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

Box Intersect(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// Whether the frame placed at (x, y) has an opaque pixel in `area` (screen coordinates, inside
// the frame's rectangle).
bool AnyOpaque(const FrameView& a, int32_t x, int32_t y, const Box& area) {
  for (int64_t sy = area.top; sy < area.bottom; ++sy) {
    const uint32_t* row = a.pixels + (sy - y) * a.width + (area.left - x);
    for (int64_t n = 0; n < area.right - area.left; ++n) {
      if (IsOpaque(row[n], a.key)) return true;
    }
  }
  return false;
}

bool HasImage(const FrameView& a) { return a.pixels && a.width > 0 && a.height > 0; }

}  // namespace

FrameView ViewOf(const FrameSet& set, size_t index) {
  if (set.Empty() || index >= set.frames.size()) return {};
  const Frame& frame = set.frames[index];
  if (frame.pixels.size() < set.PixelCount()) return {};
  return {frame.pixels.data(), set.width, set.height, KeyOf(frame.transparentColor)};
}

bool Overlap(const FrameView& a, int32_t ax, int32_t ay, const FrameView& b, int32_t bx, int32_t by) {
  if (!HasImage(a) || !HasImage(b)) return false;
  const Box area = Intersect(BoxOf(a, ax, ay), BoxOf(b, bx, by));
  for (int64_t y = area.top; y < area.bottom; ++y) {
    const uint32_t* rowA = a.pixels + (y - ay) * a.width + (area.left - ax);
    const uint32_t* rowB = b.pixels + (y - by) * b.width + (area.left - bx);
    for (int64_t n = 0; n < area.right - area.left; ++n) {
      if (IsOpaque(rowA[n], a.key) && IsOpaque(rowB[n], b.key)) return true;
    }
  }
  return false;
}

bool PointHit(const FrameView& a, int32_t ax, int32_t ay, int32_t px, int32_t py) {
  if (!HasImage(a)) return false;
  const int64_t x = int64_t{px} - ax, y = int64_t{py} - ay;
  if (x < 0 || y < 0 || x >= a.width || y >= a.height) return false;
  return IsOpaque(a.pixels[y * a.width + x], a.key);
}

bool VisibleIn(const FrameView& a, int32_t ax, int32_t ay, const Rect& r) {
  const Box bounds = BoxOf(r);
  if (!HasImage(a)) return ax >= bounds.left && ax < bounds.right && ay >= bounds.top && ay < bounds.bottom;
  const Box box = BoxOf(a, ax, ay);
  const Box inside = Intersect(box, bounds);
  if (inside.Empty()) return false;
  if (box.left >= bounds.left && box.top >= bounds.top && box.right <= bounds.right &&
      box.bottom <= bounds.bottom) {
    return true;
  }
  return AnyOpaque(a, ax, ay, inside);
}

int BorderBits(const FrameView& a, int32_t ax, int32_t ay, const Rect& r) {
  if (!HasImage(a)) return 0;
  const Box box = BoxOf(a, ax, ay);
  const Box bounds = BoxOf(r);
  const Box i = Intersect(box, bounds);
  if (i.Empty()) return 0;
  int bits = 0;
  if (box.left < bounds.left && AnyOpaque(a, ax, ay, {box.left, i.top, bounds.left, i.bottom})) bits |= 1;
  if (box.top < bounds.top && AnyOpaque(a, ax, ay, {i.left, box.top, i.right, bounds.top})) bits |= 2;
  // Right of r the scan runs from I's top down to the frame's bottom, past I's last row: the
  // part beyond the bottom-right corner counts as beyond the right edge. Scanning I's rows alone
  // (as on the left) would let an object whose only pixels outside lie past that corner report
  // no edge at all, and so be taken for wholly inside (steering would move it there, an edge
  // stop would not stop it). The other corners keep the rows and columns of I.
  if (box.right > bounds.right && AnyOpaque(a, ax, ay, {bounds.right, i.top, box.right, box.bottom}))
    bits |= 4;
  if (box.bottom > bounds.bottom && AnyOpaque(a, ax, ay, {i.left, bounds.bottom, i.right, box.bottom}))
    bits |= 8;
  return bits;
}

}  // namespace components
