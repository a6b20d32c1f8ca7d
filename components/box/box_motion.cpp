// The animation box's moves: set-position, move-with-checks, straight and path steps.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "components/box/box_engine.h"

namespace components {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519444445;  // 3.1415926535 / 180
constexpr double kDegreesPerRadian = 57.29577951471995;
int32_t PathPoint(const std::vector<uint8_t>& path, size_t offset) {
  const uint8_t* p = path.data() + offset;
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

}  // namespace

Outcome BoxEngine::SetPosition(int32_t id, double nx, double ny) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  const int32_t tx = TruncPosition(nx), ty = TruncPosition(ny);
  if (tx == TruncPosition(o->x) && ty == TruncPosition(o->y)) {
    o->x = nx, o->y = ny;
    grid_.Place(*o);
    return Outcome::kDone;
  }
  EventResult result;
  const Outcome r = Fire(kEventMoving, {id, tx, ty}, id, &result);
  if (r != Outcome::kDone) return r;
  if (result.hasResult && result.value == 0) return Outcome::kDone;  // vetoed
  o = Get(id);
  InvalidateObject(*o);
  o->x = nx, o->y = ny;
  grid_.Place(*o);
  InvalidateObject(*o);
  return Fire(kEventMoved, {id, tx, ty}, id);
}

BoxObject* BoxEngine::CollisionAt(const BoxObject& o, int32_t x, int32_t y, const std::string* name) const {
  // An object that does not allow collisions is neither hit nor hitting: not in a move's checks,
  // not in steering's blocking test, not in a search for what it collides with.
  if (!o.Usable() || !o.collideAllowed) return nullptr;
  const FrameView view = ViewOf(*o.rendered, o.frame);
  if (referencePaths_) return CollisionScan(o, x, y, view, name);
  const int64_t right = int64_t{x} + view.width, bottom = int64_t{y} + view.height;
  // Topmost first: within a layer the list holds the objects in the order they were made, so
  // the topmost has the highest identifier. The topmost candidate usually hits: it is looked
  // for alone first, and all of them are gathered only when it misses.
  const CollisionGrid::Candidate first = grid_.Top(o, x, y, right, bottom);
  if (!first.object) return nullptr;
  if (!name || first.object->name == *name) {
    if (Overlap(view, x, y, ViewOf(*first.object->rendered, first.object->frame),
                TruncPosition(first.object->x), TruncPosition(first.object->y)))
      return first.object;
  }
  size_t n = grid_.Near(o, x, y, right, bottom, near_);
  while (n > 0) {
    // Without branches on the comparisons: the candidates come in no order.
    size_t top = 0;
    int32_t topId = near_[0].id;
    for (size_t i = 1; i < n; ++i) {
      const bool above = near_[i].id > topId;
      top = above ? i : top;
      topId = above ? near_[i].id : topId;
    }
    BoxObject* other = near_[top].object;
    near_[top] = near_[--n];
    if (other == first.object) continue;  // tested above
    if (name && other->name != *name) continue;
    if (Overlap(view, x, y, ViewOf(*other->rendered, other->frame), TruncPosition(other->x),
                TruncPosition(other->y)))
      return other;
  }
  return nullptr;
}

BoxObject* BoxEngine::CollisionScan(const BoxObject& o, int32_t x, int32_t y, const FrameView& view,
                                    const std::string* name) const {
  const int64_t right = int64_t{x} + view.width, bottom = int64_t{y} + view.height;
  for (size_t j = list_.size(); j-- > 0;) {
    BoxObject* other = list_[j];
    if (other->layer < o.layer) break;
    if (other == &o || !other->collideAllowed || other->layer != o.layer || other->type == o.type) continue;
    if (!other->Usable() || (name && other->name != *name)) continue;
    // Most objects are far away: their rectangles are checked before any pixel.
    const int32_t ox = TruncPosition(other->x), oy = TruncPosition(other->y);
    if (ox >= right || oy >= bottom || int64_t{ox} + other->Width() <= x ||
        int64_t{oy} + other->Height() <= y)
      continue;
    if (Overlap(view, x, y, ViewOf(*other->rendered, other->frame), ox, oy)) return other;
  }
  return nullptr;
}

Outcome BoxEngine::MoveWithChecks(int32_t id, double nx, double ny, int* flags) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  const int32_t xBefore = TruncPosition(o->x), yBefore = TruncPosition(o->y);
  Outcome r = SetPosition(id, nx, ny);
  if (r != Outcome::kDone) return r;
  o = Get(id);
  int32_t x = TruncPosition(o->x), y = TruncPosition(o->y);
  if (x == xBefore && y == yBefore) return Outcome::kDone;  // sub-pixel, or vetoed
  const Rect client{0, 0, width_, height_};
  const FrameView view = o->Usable() ? ViewOf(*o->rendered, o->frame) : FrameView{};
  if (!VisibleIn(view, x, y, client)) {
    *flags |= 1;
    if ((r = Fire(kEventLeftBox, {id}, id)) != Outcome::kDone) return r;
  } else if (const int bits = BorderBits(view, x, y, client); bits != 0) {
    *flags |= 2;
    if ((r = Fire(kEventTouchedEdge, {id, xBefore, yBefore, bits}, id)) != Outcome::kDone) return r;
  }
  o = Get(id);
  if (const BoxObject* hit = CollisionAt(*o, TruncPosition(o->x), TruncPosition(o->y))) {
    *flags |= 4;
    if (hit->id == o->lastCollided) return Outcome::kDone;  // a continued overlap is reported once
    const int32_t hitId = hit->id;
    o->lastCollided = hitId;
    if (o->collidedSound) host_.PlaySound(*o->collidedSound);
    return Fire(kEventCollided, {id, xBefore, yBefore, hitId}, id);
  }
  o->lastCollided = 0;
  return Outcome::kDone;
}

Outcome BoxEngine::StraightStep(int32_t id, double length, int* flags) {
  const BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  const double theta = o->angle * kRadiansPerDegree;
  return MoveWithChecks(id, o->x + length * std::sin(theta), o->y - length * std::cos(theta), flags);
}

Outcome BoxEngine::StepForward(int32_t id, double length) {
  int flags = 0;
  return StraightStep(id, length, &flags);
}

Outcome BoxEngine::PathStep(int32_t id, double budget, int* flags) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  AutoForward& f = o->forward;
  const size_t end = f.path.size() / 8 * 8;
  double cx = o->x + o->Width() / 2, cy = o->y + o->Height() / 2;
  double heading = 0;
  bool headed = false;
  size_t offset = std::min(f.pathOffset, end);
  while (offset < end) {
    const int32_t tx = PathPoint(f.path, offset), ty = PathPoint(f.path, offset + 4);
    const double dx = tx - cx, dy = ty - cy;
    heading = std::atan2(dx, -dy);
    headed = true;
    const double s = std::sin(heading);
    const double distance = std::fabs(s) > 1e-9 ? std::fabs(dx / s) : std::fabs(dy);
    if (distance != 0 && budget <= distance) {
      cx += budget * s;
      cy -= budget * std::cos(heading);
      if (TruncPosition(cx) == tx && TruncPosition(cy) == ty) offset += 8;
      break;
    }
    cx = tx, cy = ty;
    budget -= distance;
    offset += 8;
  }
  f.pathOffset = offset;
  if (headed) {
    const int32_t angle = NormalAngle(TruncPosition(heading * kDegreesPerRadian));
    if (angle != o->angle && o->rotateFollow) {
      InvalidateObject(*o);
      o->angle = angle;
      Rerender(*o);
      InvalidateObject(*o);
    }
    o->angle = angle;
  }
  return MoveWithChecks(id, cx - o->Width() / 2, cy - o->Height() / 2, flags);
}

}  // namespace components
