// The animation box's collision index (see the header).
#include "components/box/box_collision_grid.h"

#include <algorithm>
#include <limits>

#include "components/box/box_engine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace components {

namespace {

constexpr int64_t kCell = 32;
constexpr int64_t kMaxCells = 512;    // per side, whatever the box's size
constexpr int32_t kMaxCellSize = 64;  // larger objects are kept apart
// Corners further out than this are kept apart, so that a cell's right and bottom edges fit.
constexpr int32_t kFarOut = 1 << 30;
constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();

int32_t CellIndex(int64_t v, int32_t count) {
  const int64_t cell = (v >= 0 ? v : v - (kCell - 1)) / kCell;  // rounded down
  return static_cast<int32_t>(std::clamp<int64_t>(cell, 0, count - 1));
}

// Counts one more (delta 1) or one less (-1) of size `size` and keeps `largest` the largest
// size counted.
void CountSize(std::vector<int32_t>& counts, int32_t& largest, int32_t size, int delta) {
  counts[size] += delta;
  if (delta > 0) {
    largest = std::max(largest, size);
    return;
  }
  while (largest > 0 && counts[largest] == 0) --largest;
}

int32_t Clamped(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, kMin, kMax)); }

}  // namespace

int32_t CollisionGrid::CellOf(int64_t x, int64_t y) const {
  return CellIndex(y, rows_) * columns_ + CellIndex(x, columns_);
}

void CollisionGrid::Reset(int32_t width, int32_t height) {
  std::vector<Entry> placed;
  for (const Cell& cell : cells_) {
    for (int32_t i = 0; i < cell.count; ++i) {
      const Block& b = cell.blocks[static_cast<size_t>(i / 4)];
      const int k = i % 4;
      placed.push_back({b.left[k], b.top[k], b.right[k] - b.left[k], b.bottom[k] - b.top[k], b.id[k],
                        b.layer[k], b.type[k], b.object[k]});
    }
  }
  columns_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{width} + kCell - 1) / kCell, 1, kMaxCells));
  rows_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{height} + kCell - 1) / kCell, 1, kMaxCells));
  cells_.assign(static_cast<size_t>(columns_) * rows_, {});
  widths_.resize(kMaxCellSize + 1), heights_.resize(kMaxCellSize + 1);
  for (const Entry& e : placed) {
    const int32_t cell = CellOf(e.x, e.y);
    e.object->gridCell = cell;
    Append(cells_[cell], *e.object, e);
  }
}

void CollisionGrid::Clear() {
  for (Cell& cell : cells_) cell.blocks.clear(), cell.count = 0;
  large_.clear();
  std::fill(widths_.begin(), widths_.end(), 0);
  std::fill(heights_.begin(), heights_.end(), 0);
  widest_ = highest_ = 0;
}

void CollisionGrid::Count(int32_t width, int32_t height, int delta) {
  CountSize(widths_, widest_, std::min(width, kMaxCellSize), delta);
  CountSize(heights_, highest_, std::min(height, kMaxCellSize), delta);
}

void CollisionGrid::Put(Cell& cell, int32_t index, const Entry& e) {
  Block& b = cell.blocks[static_cast<size_t>(index / 4)];
  const int k = index % 4;
  b.left[k] = e.x, b.top[k] = e.y, b.right[k] = e.x + e.width, b.bottom[k] = e.y + e.height;
  b.layer[k] = e.layer, b.type[k] = e.type, b.id[k] = e.id, b.object[k] = e.object;
}

void CollisionGrid::Append(Cell& cell, BoxObject& o, const Entry& e) {
  if (cell.count % 4 == 0) {
    Block& b = cell.blocks.emplace_back();
    std::fill_n(b.left, 4, kMax), std::fill_n(b.top, 4, kMax);
    std::fill_n(b.right, 4, kMin), std::fill_n(b.bottom, 4, kMin);
    std::fill_n(b.layer, 4, 0), std::fill_n(b.type, 4, 0), std::fill_n(b.id, 4, 0);
    std::fill_n(b.object, 4, nullptr);
  }
  o.gridIndex = cell.count++;
  Put(cell, o.gridIndex, e);
}

void CollisionGrid::Place(BoxObject& o) {
  if (!o.collideAllowed || !o.Usable()) {
    Remove(o);
    return;
  }
  const Entry e{TruncPosition(o.x), TruncPosition(o.y), o.Width(), o.Height(), o.id, o.layer, o.type, &o};
  const bool apart = e.width > kMaxCellSize || e.height > kMaxCellSize || e.x < -kFarOut || e.x > kFarOut ||
                     e.y < -kFarOut || e.y > kFarOut;
  const int32_t cell = apart ? kLarge : CellOf(e.x, e.y);
  if (o.gridCell == cell && cell == kLarge) {
    Entry& placed = large_[static_cast<size_t>(o.gridIndex)];
    Count(placed.width, placed.height, -1);
    placed = e;
    Count(e.width, e.height, 1);
    return;
  }
  if (o.gridCell == cell) {  // the usual step: a few pixels within the cell
    Cell& c = cells_[cell];
    const Block& b = c.blocks[static_cast<size_t>(o.gridIndex / 4)];
    const int k = o.gridIndex % 4;
    Count(b.right[k] - b.left[k], b.bottom[k] - b.top[k], -1);
    Put(c, o.gridIndex, e);
    Count(e.width, e.height, 1);
    return;
  }
  Remove(o);
  o.gridCell = cell;
  if (cell == kLarge) {
    o.gridIndex = static_cast<int32_t>(large_.size());
    large_.push_back(e);
  } else {
    Append(cells_[cell], o, e);
  }
  Count(e.width, e.height, 1);
}

void CollisionGrid::Remove(BoxObject& o) {
  if (o.gridCell == BoxObject::kNotPlaced) return;
  // The last entry takes the freed place; the order within a cell does not matter.
  if (o.gridCell == kLarge) {
    Entry& e = large_[static_cast<size_t>(o.gridIndex)];
    Count(e.width, e.height, -1);
    e = large_.back();
    e.object->gridIndex = o.gridIndex;
    large_.pop_back();
  } else {
    Cell& cell = cells_[o.gridCell];
    Block& b = cell.blocks[static_cast<size_t>(o.gridIndex / 4)];
    const int k = o.gridIndex % 4;
    Count(b.right[k] - b.left[k], b.bottom[k] - b.top[k], -1);
    const int32_t last = --cell.count;
    Block& end = cell.blocks[static_cast<size_t>(last / 4)];
    const int m = last % 4;
    b.left[k] = end.left[m], b.top[k] = end.top[m], b.right[k] = end.right[m], b.bottom[k] = end.bottom[m];
    b.layer[k] = end.layer[m], b.type[k] = end.type[m], b.id[k] = end.id[m], b.object[k] = end.object[m];
    b.object[k]->gridIndex = o.gridIndex;
    if (m == 0) {
      cell.blocks.pop_back();
    } else {
      end.left[m] = end.top[m] = kMax, end.right[m] = end.bottom[m] = kMin;
      end.object[m] = nullptr;
    }
  }
  o.gridCell = BoxObject::kNotPlaced;
}

size_t CollisionGrid::Collect(const Cell& cell, const BoxObject& self, const int32_t (&area)[4], Candidate* out) {
  size_t n = 0;
#if defined(__SSE2__)
  const __m128i left = _mm_set1_epi32(area[0]), top = _mm_set1_epi32(area[1]);
  const __m128i right = _mm_set1_epi32(area[2]), bottom = _mm_set1_epi32(area[3]);
  const __m128i layer = _mm_set1_epi32(self.layer), type = _mm_set1_epi32(self.type);
  const __m128i id = _mm_set1_epi32(self.id);
  auto load = [](const int32_t* v) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v)); };
  for (const Block& b : cell.blocks) {
    __m128i pass = _mm_and_si128(_mm_cmpgt_epi32(right, load(b.left)), _mm_cmpgt_epi32(load(b.right), left));
    pass = _mm_and_si128(pass, _mm_cmpgt_epi32(bottom, load(b.top)));
    pass = _mm_and_si128(pass, _mm_cmpgt_epi32(load(b.bottom), top));
    pass = _mm_and_si128(pass, _mm_cmpeq_epi32(load(b.layer), layer));
    pass = _mm_andnot_si128(_mm_or_si128(_mm_cmpeq_epi32(load(b.type), type), _mm_cmpeq_epi32(load(b.id), id)),
                            pass);
    // Stored whether they pass or not, as below: no branch on the outcome.
    const unsigned bits = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(pass)));
    for (int k = 0; k < 4; ++k) {
      out[n] = {b.id[k], b.object[k]};
      n += (bits >> k) & 1;
    }
  }
#else
  // Without branches: which places pass is as good as random, and a mispredicted branch costs
  // more than the whole test.
  for (const Block& b : cell.blocks) {
    for (int k = 0; k < 4; ++k) {
      const bool pass = (b.left[k] < area[2]) & (b.right[k] > area[0]) & (b.top[k] < area[3]) &
                        (b.bottom[k] > area[1]) & (b.layer[k] == self.layer) & (b.type[k] != self.type) &
                        (b.id[k] != self.id);
      out[n] = {b.id[k], b.object[k]};
      n += pass;
    }
  }
#endif
  return n;
}

size_t CollisionGrid::CollectLarge(const std::vector<Entry>& list, const BoxObject& self, int64_t left,
                                   int64_t top, int64_t right, int64_t bottom, Candidate* out) {
  size_t n = 0;
  for (const Entry& e : list) {
    const bool pass = (e.layer == self.layer) & (e.type != self.type) & (e.object != &self) & (e.x < right) &
                      (e.y < bottom) & (int64_t{e.x} + e.width > left) & (int64_t{e.y} + e.height > top);
    out[n] = {e.id, e.object};
    n += pass;
  }
  return n;
}

size_t CollisionGrid::Near(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom,
                           std::vector<Candidate>& out) const {
  if (right <= left || bottom <= top) return 0;
  // An object meets the rectangle only if its corner lies less than its size to the left of
  // and above it.
  const int32_t cx0 = CellIndex(left - widest_ + 1, columns_), cx1 = CellIndex(right - 1, columns_);
  const int32_t cy0 = CellIndex(top - highest_ + 1, rows_), cy1 = CellIndex(bottom - 1, rows_);
  size_t most = large_.size();
  for (int32_t cy = cy0; cy <= cy1; ++cy) {
    for (int32_t cx = cx0; cx <= cx1; ++cx)
      most += cells_[static_cast<size_t>(cy) * columns_ + cx].blocks.size() * 4;
  }
  if (out.size() < most) out.resize(most);  // grows once to the scene's density, then stays
  size_t n = CollectLarge(large_, self, left, top, right, bottom, out.data());
  // Places in cells lie well inside the 32-bit range, so the clamped rectangle meets the same.
  const int32_t area[4] = {Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
  for (int32_t cy = cy0; cy <= cy1; ++cy) {
    for (int32_t cx = cx0; cx <= cx1; ++cx)
      n += Collect(cells_[static_cast<size_t>(cy) * columns_ + cx], self, area, out.data() + n);
  }
  return n;
}

}  // namespace components
