// The animation box's index of the objects that can collide: a grid of small cells over the box,
// each listing the objects whose top-left corner lies in it, so that a move's collision check
// looks at the objects near it instead of the whole list. Corners outside the box count in the
// border cells, so an object anywhere near the box is still found; objects larger than a few
// cells or far out of the 32-bit range's middle are kept apart and checked by every search.
//
// A cell keeps its objects in groups of one layer and one type, so that a search passes over
// the groups that cannot collide (other layers, its own type) whole. A group holds its objects
// in blocks of four, field by field, so that a search tests four rectangles at once, without a
// branch on the outcome; cells and blocks keep their memory from search to search.
#pragma once

#include <cstdint>
#include <vector>

#include "components/box/box_object.h"

namespace components {

class CollisionGrid {
 public:
  struct Candidate {
    int32_t id;
    BoxObject* object;
  };

  // Cells over a box of width x height (any values: the cell count is capped). Objects already
  // placed stay, spread over the new cells.
  void Reset(int32_t width, int32_t height);
  // Takes the object's current position, image and collision setting. An object without an
  // image or that does not allow collisions is left out (it is neither hit nor hitting).
  void Place(BoxObject& o);
  void Remove(BoxObject& o);
  void Clear();

  // The placed objects of `self`'s layer and of another type than `self`, other than `self`,
  // whose rectangles meet [left, right) x [top, bottom): their count, and they themselves at the
  // start of `out` in no order (`out` grows as needed, and is not shrunk).
  size_t Near(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom,
              std::vector<Candidate>& out) const;
  // Of the same objects, the one with the highest identifier; {0, null} when none.
  Candidate Top(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom) const;

 private:
  // An object's rectangle as the collision checks see it.
  struct Entry {
    int32_t x, y, width, height;
    int32_t id, layer, type;
    BoxObject* object;
  };
  // Four places of a group. Right and bottom are exclusive; they fit 32 bits because objects
  // far out are kept apart. An empty place has a rectangle no search meets.
  struct Block {
    int32_t left[4], top[4], right[4], bottom[4];
    int32_t id[4];
    BoxObject* object[4];
  };
  struct Group {
    int32_t layer = 0, type = 0;
    int32_t count = 0;  // places in use, the first ones
    std::vector<Block> blocks;
  };
  // The groups of a cell, none empty; the first ones lie in the cell itself, as most cells of
  // a scene hold one or two.
  struct Cell {
    static constexpr int32_t kInside = 2;
    int32_t groups = 0;
    Group inside[kInside];
    std::vector<Group> more;
    Group& At(int32_t g) { return g < kInside ? inside[g] : more[static_cast<size_t>(g - kInside)]; }
    const Group& At(int32_t g) const {
      return g < kInside ? inside[g] : more[static_cast<size_t>(g - kInside)];
    }
  };

  int32_t CellOf(int64_t x, int64_t y) const;
  void Count(int32_t width, int32_t height, int delta);
  static Entry EntryAt(const Group& group, int32_t index);
  static void Put(Group& group, int32_t index, const Entry& e);
  // Whether an object kept apart can collide with `self` in the rectangle.
  static bool Meets(const Entry& e, const BoxObject& self, int64_t left, int64_t top, int64_t right,
                    int64_t bottom);
  void Add(int32_t cell, BoxObject& o, const Entry& e);
  static size_t Collect(const Group& group, const int32_t (&area)[4], Candidate* out);
  // Notes at the start of groupScratch_ the groups a search looks at (returns their count), and
  // the rectangle it tests in `area`.
  size_t Reach(const BoxObject& self, int64_t left, int64_t top, int64_t right, int64_t bottom,
               int32_t (&area)[4]) const;

  static constexpr int32_t kLarge = -2;  // BoxObject::gridCell of an object kept apart
  int32_t columns_ = 1, rows_ = 1;
  std::vector<Cell> cells_;  // row by row
  std::vector<Entry> large_;
  size_t placed_ = 0;  // objects in cells and kept apart
  // Scratch of the searches.
  mutable std::vector<const Group*> groupScratch_;
  mutable std::vector<const Block*> blockScratch_;
  // How many placed objects (kept apart or not) have each width and height up to the largest a
  // cell holds: a search reaches back by the largest in use.
  std::vector<int32_t> widths_, heights_;
  int32_t widest_ = 0, highest_ = 0;
};

}  // namespace components
