// The animation box's frame loop, run by its 5 ms timer: the leave check, steering, watched
// keys, then every object's expiry, GIF playback, auto-rotate and auto-forward, and the forced
// repaint.
#include <cstdlib>

#include "components/box/box_engine.h"

namespace components {

namespace {

constexpr int64_t kFinishingStop = 200;  // ms after the last step of a used-up distance
constexpr uint32_t kForcedRepaintEvery = 100;
constexpr int64_t kDefaultFrameDelay = 50;  // a frame without a delay

// The last forced repaint, shared by every box of the process (all on the one GUI thread).
uint32_t lastForcedRepaint = 0;

}  // namespace

Outcome BoxEngine::Tick() {
  if (hovered_ != 0 && !host_.CursorOverBox()) {
    if (Fire(kEventLeave, {hovered_, pressed_}, 0) == Outcome::kBoxGone) return Outcome::kBoxGone;
    hovered_ = 0;
  }
  const uint32_t start = host_.Now();
  if (steering_.object > 0 && Elapsed(start, steering_.lastMove) > steering_.interval) {
    steering_.lastMove = start;
    for (int k = 0; k < 6; ++k) {
      if (steering_.keys[k] == 0 || !host_.KeyDown(steering_.keys[k])) continue;
      if (SteerStep(k) == Outcome::kBoxGone) return Outcome::kBoxGone;
      break;
    }
  }
  if (WatchKeys(start) == Outcome::kBoxGone) return Outcome::kBoxGone;
  for (size_t i = 0; i < list_.size();) {
    bool gone = false;
    if (TickObject(i, &gone) == Outcome::kBoxGone) return Outcome::kBoxGone;
    if (!gone) ++i;  // a gone object's place now holds the next one
  }
  // Measured on the unsigned difference: a stamp from before the tick count's half-range (the
  // initial 0 once a machine has been up 25 days, or a stamp left 25 days ago by a box since
  // gone) reads as long past, where a signed difference would read as the future for 25 days.
  const uint32_t now = host_.Now();
  if (now - lastForcedRepaint > kForcedRepaintEvery) {
    lastForcedRepaint = now;
    host_.RepaintNow();
  }
  return Outcome::kDone;
}

Outcome BoxEngine::WatchKeys(uint32_t now) {
  for (WatchKey& k : watchKeys_) {
    if (Elapsed(now, k.lastReport) < k.interval || !host_.KeyDown(k.key)) continue;
    k.lastReport = now;
    return Fire(kEventWatchKey, {k.key, host_.Modifiers()}, 0);
  }
  return Outcome::kDone;
}

Outcome BoxEngine::TickObject(size_t i, bool* gone) {
  const int32_t id = list_[i]->id;
  const uint32_t now = host_.Now();
  auto settle = [&](Outcome r) {
    if (r == Outcome::kObjectGone) *gone = true;
    return r;
  };
  BoxObject* o = list_[i];
  if (o->deathTime != 0 && Reached(now, o->deathTime)) {
    *gone = true;
    return DestroyObject(id);
  }
  if (!o->shown || !o->Usable()) return Outcome::kDone;
  Outcome r = settle(PlayGif(id, now));
  if (r != Outcome::kDone) return r;
  if ((r = settle(RotateStep(id, now))) != Outcome::kDone) return r;
  return settle(ForwardStep(id, now));
}

Outcome BoxEngine::PlayGif(int32_t id, uint32_t now) {
  BoxObject* o = Get(id);
  const size_t count = o->rendered->frames.size();
  if (!o->playing || count <= 1) return Outcome::kDone;
  if (o->frameStart == 0) o->frameStart = TickOrOne(now);
  const int32_t delay = o->rendered->frames[o->frame].delay;
  const int64_t lasts = (delay > 0 ? delay : kDefaultFrameDelay) + int64_t{o->extraDelay} +
                        (o->frame == 0 ? o->playInterval : 0);
  if (Elapsed(now, o->frameStart) < lasts) return Outcome::kDone;
  if (++o->frame >= count) {
    o->frame = 0;
    if (o->playsLeft > 0 && --o->playsLeft == 0) {
      o->playing = false;
      InvalidateObject(*o);
      const Outcome r = Fire(kEventPlayed, {id}, id);
      if (r != Outcome::kDone) return r;
      o = Get(id);
      if (o->destroyWhenPlayed) return DestroyObject(id);
    }
  }
  o->frameStart = TickOrOne(now);
  InvalidateObject(*o);
  return Outcome::kDone;
}

Outcome BoxEngine::RotateStep(int32_t id, uint32_t now) {
  BoxObject* o = Get(id);
  AutoRotate& a = o->rotate;
  if (!a.on || !o->rotateFollow || a.step == 0) return Outcome::kDone;
  if (a.endTime != 0 && Reached(now, a.endTime)) return StopAutoRotate(id);
  if (Elapsed(now, a.lastTurn) < a.interval) return Outcome::kDone;
  const double cx = o->x + o->Width() / 2, cy = o->y + o->Height() / 2;
  o->angle = NormalAngle(int64_t{o->angle} + a.step);
  InvalidateObject(*o);
  Rerender(*o);
  const Outcome r = SetPosition(id, cx - o->Width() / 2, cy - o->Height() / 2);
  if (r != Outcome::kDone) return r;
  o = Get(id);
  InvalidateObject(*o);
  o->rotate.lastTurn = now;
  if (o->rotate.degreesLeft > 0) {
    o->rotate.degreesLeft -= std::abs(o->rotate.step);
    if (o->rotate.degreesLeft <= 0) return StopAutoRotate(id);
  }
  return Outcome::kDone;
}

Outcome BoxEngine::ForwardStep(int32_t id, uint32_t now) {
  BoxObject* o = Get(id);
  AutoForward& f = o->forward;
  if (f.state == 0 || f.step <= 0) return Outcome::kDone;
  if ((f.state == -1 && Elapsed(now, f.lastStep) >= kFinishingStop) ||
      (f.endTime != 0 && Reached(now, f.endTime)))
    return StopAutoForward(id);
  if (f.state <= 0 || Elapsed(now, f.lastStep) < f.interval) return Outcome::kDone;
  int flags = 0;
  const bool onPath = !f.path.empty();
  Outcome r = onPath ? PathStep(id, f.step, &flags) : StraightStep(id, f.step, &flags);
  if (r != Outcome::kDone) return r;
  o = Get(id);
  AutoForward& g = o->forward;  // a handler may have restarted or stopped it
  if (g.state == 0) return Outcome::kDone;
  if (onPath && !g.path.empty() && g.pathOffset >= g.path.size()) {
    g.pathOffset = 0;
    if (g.repeats == 1) {
      g.path.clear();
      return StopAutoForward(id);
    }
    if (g.repeats > 1) --g.repeats;
  }
  const bool unbounded = g.endTime == 0 && g.distanceLeft <= 0 && g.path.empty();
  if ((g.borderMode == 1 && (flags & 2)) || (g.borderMode != 0 && (flags & 1)) ||
      (g.stopOnObject && (flags & 4)) || ((flags & 1) && unbounded))
    return StopAutoForward(id);
  g.lastStep = now;
  if (g.distanceLeft > 0) {
    g.distanceLeft -= g.step;
    if (g.distanceLeft <= 0) g.state = -1;
  }
  return Outcome::kDone;
}

}  // namespace components
