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
    for (int32_t c = 0; c < cell.groups; ++c) {
      const Group& g = cell.At(c);
      for (int32_t i = 0; i < g.count; ++i) placed.push_back(EntryAt(g, i));
    }
  }
  columns_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{width} + kCell - 1) / kCell, 1, kMaxCells));
  rows_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{height} + kCell - 1) / kCell, 1, kMaxCells));
  cells_.assign(static_cast<size_t>(columns_) * rows_, {});
  widths_.resize(kMaxCellSize + 1), heights_.resize(kMaxCellSize + 1);
  placed_ = large_.size();
  for (const Entry& e : placed) Add(CellOf(e.x, e.y), *e.object, e);
}

void CollisionGrid::Clear() {
  for (Cell& cell : cells_) cell = Cell{};
  large_.clear();
  placed_ = 0;
  std::fill(widths_.begin(), widths_.end(), 0);
  std::fill(heights_.begin(), heights_.end(), 0);
  widest_ = highest_ = 0;
}

void CollisionGrid::Count(int32_t width, int32_t height, int delta) {
  CountSize(widths_, widest_, std::min(width, kMaxCellSize), delta);
  CountSize(heights_, highest_, std::min(height, kMaxCellSize), delta);
}

CollisionGrid::Entry CollisionGrid::EntryAt(const Group& group, int32_t index) {
  const Block& b = group.blocks[static_cast<size_t>(index / 4)];
  const int k = index % 4;
  return {b.left[k],  b.top[k],   b.right[k] - b.left[k], b.bottom[k] - b.top[k], b.id[k], group.layer,
          group.type, b.object[k]};
}

bool CollisionGrid::Meets(const Entry& e, const BoxObject& self, int64_t left, int64_t top, int64_t right,
                          int64_t bottom) {
  // Without branches: which entries pass is as good as random.
  return (e.layer == self.layer) & (e.type != self.type) & (e.object != &self) & (e.x < right) &
         (e.y < bottom) & (int64_t{e.x} + e.width > left) & (int64_t{e.y} + e.height > top);
}

void CollisionGrid::Put(Group& group, int32_t index, const Entry& e) {
  Block& b = group.blocks[static_cast<size_t>(index / 4)];
  const int k = index % 4;
  b.left[k] = e.x, b.top[k] = e.y, b.right[k] = e.x + e.width, b.bottom[k] = e.y + e.height;
  b.id[k] = e.id, b.object[k] = e.object;
}

// Into the cell's group of the object's layer and type (a new one when there is none yet).
void CollisionGrid::Add(int32_t cell, BoxObject& o, const Entry& e) {
  Cell& c = cells_[static_cast<size_t>(cell)];
  int32_t g = 0;
  while (g < c.groups && (c.At(g).layer != e.layer || c.At(g).type != e.type)) ++g;
  if (g == c.groups) {
    if (c.groups++ >= Cell::kInside) c.more.emplace_back();
    Group& added = c.At(g);
    added.layer = e.layer, added.type = e.type;
  }
  Group& group = c.At(g);
  if (group.count % 4 == 0) {
    Block& b = group.blocks.emplace_back();
    std::fill_n(b.left, 4, kMax), std::fill_n(b.top, 4, kMax);
    std::fill_n(b.right, 4, kMin), std::fill_n(b.bottom, 4, kMin);
    std::fill_n(b.id, 4, 0), std::fill_n(b.object, 4, nullptr);
  }
  o.gridCell = cell, o.gridGroup = g, o.gridIndex = group.count++;
  Put(group, o.gridIndex, e);
  ++placed_;
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
  if (o.gridCell == cell) {
    Group& g = cells_[static_cast<size_t>(cell)].At(o.gridGroup);
    if (g.layer == e.layer && g.type == e.type) {  // the usual step: a few pixels within the cell
      const Block& b = g.blocks[static_cast<size_t>(o.gridIndex / 4)];
      const int k = o.gridIndex % 4;
      const int32_t width = b.right[k] - b.left[k], height = b.bottom[k] - b.top[k];
      Put(g, o.gridIndex, e);
      if (width != e.width || height != e.height) Count(width, height, -1), Count(e.width, e.height, 1);
      return;
    }
  }
  Remove(o);
  if (cell == kLarge) {
    o.gridCell = kLarge, o.gridIndex = static_cast<int32_t>(large_.size());
    large_.push_back(e);
    ++placed_;
  } else {
    Add(cell, o, e);
  }
  Count(e.width, e.height, 1);
}

void CollisionGrid::Remove(BoxObject& o) {
  if (o.gridCell == BoxObject::kNotPlaced) return;
  --placed_;
  // The last entry takes the freed place; the order within a cell or group does not matter.
  if (o.gridCell == kLarge) {
    Entry& e = large_[static_cast<size_t>(o.gridIndex)];
    Count(e.width, e.height, -1);
    e = large_.back();
    e.object->gridIndex = o.gridIndex;
    large_.pop_back();
    o.gridCell = BoxObject::kNotPlaced;
    return;
  }
  Cell& cell = cells_[static_cast<size_t>(o.gridCell)];
  Group& g = cell.At(o.gridGroup);
  Block& b = g.blocks[static_cast<size_t>(o.gridIndex / 4)];
  const int k = o.gridIndex % 4;
  Count(b.right[k] - b.left[k], b.bottom[k] - b.top[k], -1);
  const int32_t last = --g.count;
  Block& end = g.blocks[static_cast<size_t>(last / 4)];
  const int m = last % 4;
  Put(g, o.gridIndex, EntryAt(g, last));
  b.object[k]->gridIndex = o.gridIndex;
  if (m == 0) {
    g.blocks.pop_back();
  } else {
    end.left[m] = end.top[m] = kMax, end.right[m] = end.bottom[m] = kMin;
    end.object[m] = nullptr;
  }
  if (g.count == 0) {  // the cell's last group takes the empty one's place
    const int32_t lastGroup = --cell.groups;
    if (o.gridGroup != lastGroup) {
      g = std::move(cell.At(lastGroup));
      for (int32_t i = 0; i < g.count; ++i)
        g.blocks[static_cast<size_t>(i / 4)].object[i % 4]->gridGroup = o.gridGroup;
    }
    if (lastGroup >= Cell::kInside) {
      cell.more.pop_back();
    } else {
      cell.At(lastGroup) = Group{};
    }
  }
  o.gridCell = BoxObject::kNotPlaced;
}

size_t CollisionGrid::Collect(const Group& group, const int32_t (&area)[4], Candidate* out) {
  size_t n = 0;
#if defined(__SSE2__)
  const __m128i left = _mm_set1_epi32(area[0]), top = _mm_set1_epi32(area[1]);
  const __m128i right = _mm_set1_epi32(area[2]), bottom = _mm_set1_epi32(area[3]);
  auto load = [](const int32_t* v) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v)); };
  for (const Block& b : group.blocks) {
    const __m128i across =
        _mm_and_si128(_mm_cmpgt_epi32(right, load(b.left)), _mm_cmpgt_epi32(load(b.right), left));
    const __m128i down =
        _mm_and_si128(_mm_cmpgt_epi32(bottom, load(b.top)), _mm_cmpgt_epi32(load(b.bottom), top));
    // Stored whether they pass or not, as below: no branch on the outcome.
    const unsigned bits =
        static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_and_si128(across, down))));
    for (int k = 0; k < 4; ++k) {
      out[n] = {b.id[k], b.object[k]};
      n += (bits >> k) & 1;
    }
  }
#else
  // Without branches: which places pass is as good as random, and a mispredicted branch costs
  // more than the whole test.
  for (const Block& b : group.blocks) {
    for (int k = 0; k < 4; ++k) {
      const bool pass =
          (b.left[k] < area[2]) & (b.right[k] > area[0]) & (b.top[k] < area[3]) & (b.bottom[k] > area[1]);
      out[n] = {b.id[k], b.object[k]};
      n += pass;
    }
  }
#endif
  return n;
}

size_t CollisionGrid::Reach(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom,
                            int32_t (&area)[4]) const {
  // An object meets the rectangle only if its corner lies less than its size to the left of
  // and above it.
  const int32_t cx0 = CellIndex(left - widest_ + 1, columns_), cx1 = CellIndex(right - 1, columns_);
  const int32_t cy0 = CellIndex(top - highest_ + 1, rows_), cy1 = CellIndex(bottom - 1, rows_);
  // Only the groups of `self`'s layer and another type can collide with it (never itself).
  // Each group is noted and counted only when it can: no branch on which groups a cell holds.
  size_t n = 0;
  for (int32_t cy = cy0; cy <= cy1; ++cy) {
    for (int32_t cx = cx0; cx <= cx1; ++cx) {
      const Cell& cell = cells_[static_cast<size_t>(cy) * columns_ + cx];
      if (groupScratch_.size() < n + static_cast<size_t>(cell.groups))
        groupScratch_.resize(2 * (n + cell.groups));
      for (int32_t g = 0; g < cell.groups; ++g) {
        const Group& group = cell.At(g);
        groupScratch_[n] = &group;
        n += (group.layer == self.layer) & (group.type != self.type);
      }
    }
  }
  // Places in cells lie well inside the 32-bit range, so the clamped rectangle meets the same.
  area[0] = Clamped(left), area[1] = Clamped(top), area[2] = Clamped(right), area[3] = Clamped(bottom);
  return n;
}

size_t CollisionGrid::Near(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom,
                           std::vector<Candidate>& out) const {
  if (right <= left || bottom <= top) return 0;
  // Every place passed over is written once (and counted when it passes): room for all of them.
  if (out.size() < placed_ + 1) out.resize(placed_ + 1);  // grows once to the scene's size
  size_t n = 0;
  for (const Entry& e : large_) {
    const bool pass = Meets(e, self, left, top, right, bottom);
    out[n] = {e.id, e.object};
    n += pass;
  }
  int32_t area[4];
  const size_t groups = Reach(self, left, top, right, bottom, area);
  for (size_t g = 0; g < groups; ++g) n += Collect(*groupScratch_[g], area, out.data() + n);
  return n;
}

CollisionGrid::Candidate CollisionGrid::Top(const BoxObject& self, int64_t left, int64_t top, int64_t right,
                                            int64_t bottom) const {
  Candidate best{0, nullptr};
  if (right <= left || bottom <= top) return best;
  for (const Entry& e : large_) {
    const bool pass = Meets(e, self, left, top, right, bottom);
    if (pass && e.id > best.id) best = {e.id, e.object};
  }
  int32_t area[4];
  const size_t groups = Reach(self, left, top, right, bottom, area);
#if defined(__SSE2__)
  // Each lane keeps the highest identifier it passed and the ordinal of its block; the blocks
  // are noted as they come, so only the winner's object is read.
  const __m128i l = _mm_set1_epi32(area[0]), t = _mm_set1_epi32(area[1]);
  const __m128i r = _mm_set1_epi32(area[2]), b = _mm_set1_epi32(area[3]);
  auto load = [](const int32_t* v) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v)); };
  __m128i bestIds = _mm_setzero_si128(), bestBlocks = _mm_setzero_si128();
  blockScratch_.clear();
  for (size_t g = 0; g < groups; ++g) {
    const Group* group = groupScratch_[g];
    for (const Block& block : group->blocks) {
      const __m128i across =
          _mm_and_si128(_mm_cmpgt_epi32(r, load(block.left)), _mm_cmpgt_epi32(load(block.right), l));
      const __m128i down =
          _mm_and_si128(_mm_cmpgt_epi32(b, load(block.top)), _mm_cmpgt_epi32(load(block.bottom), t));
      const __m128i ids = load(block.id);
      const __m128i take = _mm_and_si128(_mm_and_si128(across, down), _mm_cmpgt_epi32(ids, bestIds));
      const __m128i ordinal = _mm_set1_epi32(static_cast<int>(blockScratch_.size()));
      bestIds = _mm_or_si128(_mm_and_si128(take, ids), _mm_andnot_si128(take, bestIds));
      bestBlocks = _mm_or_si128(_mm_and_si128(take, ordinal), _mm_andnot_si128(take, bestBlocks));
      blockScratch_.push_back(&block);
    }
  }
  alignas(16) int32_t laneIds[4], laneBlocks[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(laneIds), bestIds);
  _mm_store_si128(reinterpret_cast<__m128i*>(laneBlocks), bestBlocks);
  for (int k = 0; k < 4; ++k) {
    if (laneIds[k] > best.id)
      best = {laneIds[k], blockScratch_[static_cast<size_t>(laneBlocks[k])]->object[k]};
  }
#else
  for (size_t g = 0; g < groups; ++g) {
    const Group* group = groupScratch_[g];
    for (const Block& block : group->blocks) {
      for (int k = 0; k < 4; ++k) {
        const bool pass = (block.left[k] < area[2]) & (block.right[k] > area[0]) & (block.top[k] < area[3]) &
                          (block.bottom[k] > area[1]);
        // Chosen without a branch, as in the vector test.
        const bool take = pass & (block.id[k] > best.id);
        best.id = take ? block.id[k] : best.id;
        best.object = take ? block.object[k] : best.object;
      }
    }
  }
#endif
  return best;
}

}  // namespace components
