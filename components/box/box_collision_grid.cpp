// The animation box's collision index (see the header).
#include "components/box/box_collision_grid.h"

#include <algorithm>

#include "components/box/box_engine.h"

namespace components {

namespace {

constexpr int64_t kCell = 32;
constexpr int64_t kMaxCells = 512;    // per side, whatever the box's size
constexpr int32_t kMaxCellSize = 64;  // larger objects are kept apart

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

}  // namespace

int32_t CollisionGrid::CellOf(int64_t x, int64_t y) const {
  return CellIndex(y, rows_) * columns_ + CellIndex(x, columns_);
}

void CollisionGrid::Reset(int32_t width, int32_t height) {
  std::vector<std::vector<Entry>> old = std::move(cells_);
  columns_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{width} + kCell - 1) / kCell, 1, kMaxCells));
  rows_ = static_cast<int32_t>(std::clamp<int64_t>((int64_t{height} + kCell - 1) / kCell, 1, kMaxCells));
  cells_.assign(static_cast<size_t>(columns_) * rows_, {});
  widths_.resize(kMaxCellSize + 1), heights_.resize(kMaxCellSize + 1);
  for (const std::vector<Entry>& list : old) {
    for (const Entry& e : list) {
      const int32_t cell = CellOf(e.x, e.y);
      e.object->gridCell = cell, e.object->gridIndex = static_cast<int32_t>(cells_[cell].size());
      cells_[cell].push_back(e);
    }
  }
}

void CollisionGrid::Clear() {
  for (std::vector<Entry>& cell : cells_) cell.clear();
  large_.clear();
  std::fill(widths_.begin(), widths_.end(), 0);
  std::fill(heights_.begin(), heights_.end(), 0);
  widest_ = highest_ = 0;
}

void CollisionGrid::Count(const Entry& e, int delta) {
  CountSize(widths_, widest_, std::min(e.width, kMaxCellSize), delta);
  CountSize(heights_, highest_, std::min(e.height, kMaxCellSize), delta);
}

void CollisionGrid::Place(BoxObject& o) {
  if (!o.collideAllowed || !o.Usable()) {
    Remove(o);
    return;
  }
  const Entry e{TruncPosition(o.x), TruncPosition(o.y), o.Width(), o.Height(), o.id, o.layer, o.type, &o};
  const int32_t cell = e.width > kMaxCellSize || e.height > kMaxCellSize ? kLarge : CellOf(e.x, e.y);
  if (o.gridCell == cell) {  // the usual step: a few pixels within the cell
    Entry& placed = ListOf(cell)[o.gridIndex];
    Count(placed, -1);
    placed = e;
    Count(e, 1);
    return;
  }
  Remove(o);
  std::vector<Entry>& list = ListOf(cell);
  o.gridCell = cell, o.gridIndex = static_cast<int32_t>(list.size());
  list.push_back(e);
  Count(e, 1);
}

void CollisionGrid::Remove(BoxObject& o) {
  if (o.gridCell == BoxObject::kNotPlaced) return;
  std::vector<Entry>& list = ListOf(o.gridCell);
  Count(list[o.gridIndex], -1);
  // The last entry takes the freed place; the order within a cell does not matter.
  list[o.gridIndex] = list.back();
  list[o.gridIndex].object->gridIndex = o.gridIndex;
  list.pop_back();
  o.gridCell = BoxObject::kNotPlaced;
}

size_t CollisionGrid::Collect(const std::vector<Entry>& list, const BoxObject& self, int64_t left,
                              int64_t top, int64_t right, int64_t bottom, Candidate* out) {
  // Without branches: which entries pass is as good as random, and a mispredicted branch costs
  // more than the whole test.
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
    for (int32_t cx = cx0; cx <= cx1; ++cx) most += cells_[static_cast<size_t>(cy) * columns_ + cx].size();
  }
  if (out.size() < most) out.resize(most);  // grows once to the scene's density, then stays
  size_t n = Collect(large_, self, left, top, right, bottom, out.data());
  for (int32_t cy = cy0; cy <= cy1; ++cy) {
    for (int32_t cx = cx0; cx <= cx1; ++cx)
      n += Collect(cells_[static_cast<size_t>(cy) * columns_ + cx], self, left, top, right, bottom,
                   out.data() + n);
  }
  return n;
}

}  // namespace components
