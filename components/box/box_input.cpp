// The animation box's input: object-level mouse events and the steered object's moves.
#include <cmath>

#include "components/box/box_engine.h"

namespace components {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519444445;  // 3.1415926535 / 180

int32_t OrZero(int32_t hit) { return hit > 0 ? hit : 0; }

}  // namespace

Outcome BoxEngine::LeftDown(int32_t x, int32_t y) {
  const int32_t hit = ObjectAt(x, y);
  pressed_ = hit;
  return Fire(kEventLeftDown, {OrZero(hit)}, 0);
}

Outcome BoxEngine::LeftUp(int32_t x, int32_t y) {
  if (pressed_ > 0 && !Get(pressed_)) pressed_ = -1;
  const Outcome r = Fire(kEventLeftUp, {OrZero(ObjectAt(x, y)), pressed_}, 0);
  if (r == Outcome::kBoxGone) return r;
  pressed_ = 0;
  return Outcome::kDone;
}

Outcome BoxEngine::DoubleClick(int32_t x, int32_t y) {
  return Fire(kEventDoubleClick, {OrZero(ObjectAt(x, y))}, 0);
}
Outcome BoxEngine::RightDown(int32_t x, int32_t y) {
  return Fire(kEventRightDown, {OrZero(ObjectAt(x, y))}, 0);
}
Outcome BoxEngine::RightUp(int32_t x, int32_t y) { return Fire(kEventRightUp, {OrZero(ObjectAt(x, y))}, 0); }

Outcome BoxEngine::MouseMove(int32_t x, int32_t y, bool leftHeld) {
  if (!leftHeld)
    pressed_ = 0;
  else if (pressed_ > 0 && !Get(pressed_))
    pressed_ = -1;
  if (hovered_ != 0 && !Get(hovered_)) hovered_ = 0;
  const int32_t hit = ObjectAt(x, y);
  if (hovered_ != 0 && hovered_ != hit) {
    const int32_t left = hovered_;
    hovered_ = 0;
    if (Fire(kEventLeave, {left, pressed_}, 0) == Outcome::kBoxGone) return Outcome::kBoxGone;
  }
  if (hit > 0 && hit != hovered_ && Get(hit)) {
    hovered_ = hit;
    if (Fire(kEventEnter, {hit, pressed_}, 0) == Outcome::kBoxGone) return Outcome::kBoxGone;
  }
  return Fire(kEventMouseMove, {x, y, pressed_}, 0);
}

Outcome BoxEngine::SteerStep(int k) {
  const int32_t id = steering_.object;
  BoxObject* s = Get(id);
  if (!s || !s->rendered) {
    if (!s) steering_ = {};
    return Outcome::kDone;
  }
  if (k >= 4) {
    const Outcome r = SetAngle(id, s->angle + (k == 4 ? -5 : 5));
    if (r == Outcome::kObjectGone) steering_ = {};
    return r;
  }
  const double step = steering_.step;
  double nx = s->x, ny = s->y;
  if (s->angle == 0 || !s->rotateFollow) {
    const double dx[] = {0, 0, -step, step}, dy[] = {-step, step, 0, 0};
    nx += dx[k], ny += dy[k];
  } else {
    const double turn[] = {0, 0, -90, 90};
    const double length = k == 1 ? -step : step;
    const double theta = (s->angle + turn[k]) * kRadiansPerDegree;
    nx += length * std::sin(theta), ny -= length * std::cos(theta);
  }
  if (nx != s->x || ny != s->y) {
    const int32_t tx = TruncPosition(nx), ty = TruncPosition(ny);
    const Rect client{0, 0, width_, height_};
    const FrameView view = s->Usable() ? ViewOf(*s->rendered, s->frame) : FrameView{};
    const bool inside =
        s->Usable() && VisibleIn(view, tx, ty, client) && BorderBits(view, tx, ty, client) == 0;
    if (inside && !(steering_.blocking && CollisionAt(*s, tx, ty))) {
      int flags = 0;
      const Outcome r = MoveWithChecks(id, nx, ny, &flags);
      if (r == Outcome::kBoxGone) return r;
      if (r == Outcome::kObjectGone) {
        steering_ = {};
        return r;
      }
      s = Get(id);
    }
  }
  if (steering_.afterMove == 1) {
    StartGif(id, 1, 0, 0, false);
  } else if (steering_.afterMove == 2 && s->Usable()) {
    s->frame = (s->frame + 1) % s->rendered->frames.size();
    s->frameStart = TickOrOne(host_.Now());
    InvalidateObject(*s);
  }
  return Outcome::kDone;
}

}  // namespace components
