// The animation box's drawing. In a busy scene each pixel lies under many objects; a pixel that
// an object above replaces outright (no transparency at all) does not depend on what lies below
// it, so the objects below need not blend it. A first pass from the top object down notes, row
// by row, which pixels are already replaced (each row's longest run of replacing pixels, found
// once per frame) and what is left to blend of each object's row; the second blends what is
// left, lowest layer first, as before.
#include <algorithm>
#include <bit>

#include "base/mul_div.h"
#include "components/box/box_engine.h"

namespace components {

namespace {

// The part of an object that lands in the buffer, in buffer coordinates.
struct Placed {
  int64_t left, top, right, bottom;  // empty when left >= right or top >= bottom
  int64_t x, y;                      // the object's top-left corner
};

Placed PlaceIn(const BoxObject& o, const Rect& area, const Surface& dst) {
  const int64_t x = int64_t{TruncPosition(o.x)} - area.left, y = int64_t{TruncPosition(o.y)} - area.top;
  const int64_t w = std::min<int64_t>(int64_t{area.right} - area.left, dst.width);
  const int64_t h = std::min<int64_t>(int64_t{area.bottom} - area.top, dst.height);
  return {std::max<int64_t>(x, 0),
          std::max<int64_t>(y, 0),
          std::min<int64_t>(x + o.Width(), w),
          std::min<int64_t>(y + o.Height(), h),
          x,
          y};
}

bool Draws(const BoxObject& o) {
  return o.shown && o.Usable() && o.frame < o.rendered->frames.size() &&
         o.rendered->frames[o.frame].pixels.size() >= o.rendered->PixelCount();
}

// The bits [left, right) of a row's word w: the whole word inside, the ends' parts at the ends.
uint64_t WordMask(int64_t w, int64_t left, int64_t right) {
  uint64_t bits = ~uint64_t{0};
  if (w == left >> 6) bits &= ~uint64_t{0} << (left & 63);
  if (w == (right - 1) >> 6) bits &= ~uint64_t{0} >> (63 - ((right - 1) & 63));
  return bits;
}

// The columns [left, right) of a row not yet replaced: the first and one past the last (equal
// when none). Word w of the row's bits is row[w * stride].
std::pair<int64_t, int64_t> Open(const uint64_t* row, size_t stride, int64_t left, int64_t right) {
  const int64_t w0 = left >> 6, w1 = (right - 1) >> 6;
  if (w1 - w0 <= 1) {  // an object's row within two words: no loop
    const uint64_t a = ~row[static_cast<size_t>(w0) * stride] & WordMask(w0, left, right);
    const uint64_t b = w1 != w0 ? ~row[static_cast<size_t>(w1) * stride] & WordMask(w1, left, right) : 0;
    if ((a | b) == 0) return {right, right};
    const int64_t first = a != 0 ? w0 * 64 + std::countr_zero(a) : w1 * 64 + std::countr_zero(b);
    const int64_t last = b != 0 ? w1 * 64 + 64 - std::countl_zero(b) : w0 * 64 + 64 - std::countl_zero(a);
    return {first, last};
  }
  int64_t first = right, last = left;
  for (int64_t w = w0; w <= w1; ++w) {
    const uint64_t open = ~row[static_cast<size_t>(w) * stride] & WordMask(w, left, right);
    if (open == 0) continue;
    if (first == right) first = w * 64 + std::countr_zero(open);
    last = w * 64 + 64 - std::countl_zero(open);
  }
  return {first, std::max(first, last)};
}

void Cover(uint64_t* row, size_t stride, int64_t left, int64_t right) {
  for (int64_t w = left >> 6; w <= (right - 1) >> 6; ++w)
    row[static_cast<size_t>(w) * stride] |= WordMask(w, left, right);
}

}  // namespace

void BoxEngine::Compose(const Rect& area, Surface dst) const {
  if (!dst.pixels || referencePaths_) return ComposeEach(area, dst);
  const int64_t width = std::min<int64_t>(int64_t{area.right} - area.left, dst.width);
  const int64_t height = std::min<int64_t>(int64_t{area.bottom} - area.top, dst.height);
  if (width <= 0 || height <= 0) return;
  const size_t words = static_cast<size_t>((width + 63) / 64);
  coverScratch_.assign(words * static_cast<size_t>(height), 0);
  spanScratch_.clear();
  drawScratch_.clear();
  // The runs of a frame, found once per repaint however many objects show it (frames do not
  // change while the repaint runs).
  runScratch_.clear();
  runsOf_.clear();
  const Frame* lastFrame = nullptr;
  size_t lastRuns = 0;
  auto runsOf = [&](const Frame& frame, int32_t w, int32_t h, uint32_t key) {
    if (&frame == lastFrame) return runScratch_.data() + lastRuns;
    const auto [it, added] = runsOf_.try_emplace(&frame, runScratch_.size());
    if (added) {
      for (int32_t y = 0; y < h; ++y) {
        const uint32_t* row = frame.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        Run longest{0, 0};
        for (int32_t x = 0; x < w;) {
          if ((row[x] >> 24) != 0 || (row[x] & kColorMask) == key) {
            ++x;
            continue;
          }
          int32_t end = x + 1;
          while (end < w && (row[end] >> 24) == 0 && (row[end] & kColorMask) != key) ++end;
          if (end - x > longest.right - longest.left) longest = {x, end};
          x = end;
        }
        runScratch_.push_back(longest);
      }
    }
    lastFrame = &frame, lastRuns = it->second;
    return runScratch_.data() + lastRuns;
  };
  for (size_t j = list_.size(); j-- > 0;) {
    const BoxObject& o = *list_[j];
    if (!Draws(o)) continue;
    const Placed p = PlaceIn(o, area, dst);
    if (p.left >= p.right || p.top >= p.bottom) continue;
    const Frame& frame = o.rendered->frames[o.frame];
    const int32_t a = base::MulDiv(std::clamp(o.transparency, 0, 100), 255, 100);
    // Pixels this object replaces outright are left to it by every object below.
    // Deep in a busy scene most objects are replaced whole by those above: with their rows
    // within two words, one pass over the words (which lie together) tells.
    if (const int64_t w0 = p.left >> 6, w1 = (p.right - 1) >> 6; w1 - w0 <= 1) {
      const uint64_t m0 = WordMask(w0, p.left, p.right), m1 = w1 != w0 ? WordMask(w1, p.left, p.right) : 0;
      const uint64_t* c0 = coverScratch_.data() + static_cast<size_t>(w0) * static_cast<size_t>(height);
      const uint64_t* c1 = coverScratch_.data() + static_cast<size_t>(w1) * static_cast<size_t>(height);
      uint64_t open = 0;
      for (int64_t y = p.top; y < p.bottom; ++y) open |= (~c0[y] & m0) | (~c1[y] & m1);
      if (open == 0) continue;
    }
    const Run* runs = a == 0 ? runsOf(frame, o.Width(), o.Height(), KeyOf(frame.transparentColor)) : nullptr;
    const size_t firstSpan = spanScratch_.size();
    for (int64_t y = p.top; y < p.bottom; ++y) {
      uint64_t* row = coverScratch_.data() + y;
      const auto [first, last] = Open(row, static_cast<size_t>(height), p.left, p.right);
      if (first == last) continue;
      spanScratch_.push_back(
          {static_cast<int32_t>(y), static_cast<int32_t>(first), static_cast<int32_t>(last)});
      if (!runs) continue;
      const Run run = runs[y - p.y];
      const int64_t from = std::max(p.x + run.left, first), to = std::min(p.x + run.right, last);
      if (from < to) Cover(row, static_cast<size_t>(height), from, to);
    }
    if (spanScratch_.size() > firstSpan)
      drawScratch_.push_back({&frame, o.Width(), p.x, p.y, a, firstSpan, spanScratch_.size() - firstSpan});
  }
  for (size_t d = drawScratch_.size(); d-- > 0;) {
    const Drawn& drawn = drawScratch_[d];
    const uint32_t key = KeyOf(drawn.frame->transparentColor);
    const uint32_t* pixels = drawn.frame->pixels.data();
    for (const Span *span = spanScratch_.data() + drawn.firstSpan, *end = span + drawn.spans; span < end;
         ++span) {
      BlendRowVector(pixels + (span->y - drawn.y) * drawn.width + (span->left - drawn.x),
                     dst.pixels + span->y * dst.stride + span->left, span->right - span->left, drawn.a, key);
    }
  }
}

void BoxEngine::ComposeEach(const Rect& area, Surface dst) const {
  for (const BoxObject* o : list_) {
    if (!o->shown || !o->Usable()) continue;
    const int64_t ox = TruncPosition(o->x), oy = TruncPosition(o->y);
    const int64_t left = std::max<int64_t>(ox, area.left), top = std::max<int64_t>(oy, area.top);
    const int64_t right = std::min<int64_t>(ox + o->Width(), area.right);
    const int64_t bottom = std::min<int64_t>(oy + o->Height(), area.bottom);
    if (left >= right || top >= bottom) continue;
    const Region region{static_cast<int32_t>(left - ox), static_cast<int32_t>(top - oy),
                        static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
    const Frame& frame = o->rendered->frames[o->frame];
    BlendFrame(frame, o->Width(), o->Height(), region, dst, static_cast<int32_t>(left - area.left),
               static_cast<int32_t>(top - area.top), o->transparency, frame.transparentColor);
  }
}

}  // namespace components
