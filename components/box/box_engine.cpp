// The animation box's engine: its objects, commands, hit testing, mouse handling and drawing.
// The moves and the frame loop are in box_motion.cpp.
#include "components/box/box_engine.h"

#include <algorithm>
#include <cmath>

#include "components/image/transform.h"

namespace components {

BoxEngine::BoxEngine(BoxHost& host, int32_t clientWidth, int32_t clientHeight)
    : host_(host), alive_(std::make_shared<bool>(true)), width_(clientWidth), height_(clientHeight) {
  grid_.Reset(clientWidth, clientHeight);
}

void BoxEngine::Resize(int32_t clientWidth, int32_t clientHeight) {
  width_ = clientWidth, height_ = clientHeight;
  grid_.Reset(clientWidth, clientHeight);
}

BoxEngine::~BoxEngine() {
  *alive_ = false;
  Clear();
}

void BoxEngine::Clear() {
  list_.clear();
  grid_.Clear();
  found_ = nullptr;
  byId_.clear();
  pool_.Clear();
  pressed_ = hovered_ = 0;
  steering_ = {};
  watchKeys_.clear();
}

Outcome BoxEngine::Fire(int32_t event, Args args, int32_t id, EventResult* result) {
  // Hold the token: if the handler destroys the box, `this` is gone and only the token tells.
  const std::shared_ptr<bool> alive = alive_;
  int32_t slots[5] = {};
  std::copy_n(args.begin(), std::min<size_t>(args.size(), 5), slots);
  const EventResult r = host_.Fire(event, std::span<const int32_t>(slots, args.size()));
  if (!*alive) return Outcome::kBoxGone;
  if (result) *result = r;
  if (id > 0 && !Find(id)) return Outcome::kObjectGone;
  return Outcome::kDone;
}

BoxObject* BoxEngine::Lookup(int32_t id) const {
  // An object's step asks for it many times over: the last one found is kept at hand.
  if (found_ && found_->id == id) return found_;
  const auto it = byId_.find(id);
  if (it == byId_.end()) return nullptr;
  return found_ = it->second.get();
}

BoxObject* BoxEngine::Get(int32_t id) { return Lookup(id); }

const BoxObject* BoxEngine::Find(int32_t id) const { return Lookup(id); }

void BoxEngine::InvalidateObject(const BoxObject& o) {
  if (!o.Usable()) return;
  const int32_t x = TruncPosition(o.x), y = TruncPosition(o.y);
  host_.Invalidate(Rect{x, y, static_cast<int32_t>(std::min<int64_t>(int64_t{x} + o.Width(), INT32_MAX)),
                        static_cast<int32_t>(std::min<int64_t>(int64_t{y} + o.Height(), INT32_MAX))});
}

void BoxEngine::Rerender(BoxObject& o) {
  const FrameSet* old = o.rendered;
  const bool rotate = o.rotateFollow && o.angle != 0;
  if (!o.source) {
    o.rendered = nullptr;
  } else if (!rotate && o.trendDepth <= 0 && o.brightness == 0 && o.zoomX == 1000 && o.zoomY == 1000 &&
             (o.flip < 1 || o.flip > 3)) {
    o.rendered = pool_.AddImage(o.source);
  } else {
    // A zoom as the first change reads the source itself: no whole copy first.
    const bool flip = o.flip >= 1 && o.flip <= 3;
    FrameSet image = flip || rotate ? *o.source : Zoomed(*o.source, o.zoomX, o.zoomY);
    Flip(image, o.flip);
    if (rotate) Rotate(image, o.angle);
    if (flip || rotate) Zoom(image, o.zoomX, o.zoomY);
    Trend(image, o.trendColor, o.trendDepth);
    Brighten(image, o.brightness);
    o.rendered = pool_.AddImage(std::move(image));
  }
  pool_.Release(old);
  if (!o.rendered || o.frame >= o.rendered->frames.size()) o.frame = 0;
  grid_.Place(o);
}

int32_t BoxEngine::CreateObject(const ObjectTemplate& from, double x, double y) {
  const ObjectProperties& p = from.properties;
  auto owned = std::make_unique<BoxObject>();
  BoxObject* o = owned.get();
  o->id = nextId_++;
  o->type = p.Value(kPropType);
  o->x = x, o->y = y;
  const uint32_t now = host_.Now();
  if (p.Value(kPropExistTime) > 0)
    o->deathTime = TickOrOne(now + static_cast<uint32_t>(p.Value(kPropExistTime)));
  o->source = pool_.AddImage(FrameSet(from.source));
  o->playing = p.Value(kPropPlayGif) != 0;
  o->playsLeft = p.Value(kPropGifAutoDestroy) > 0 ? p.Value(kPropGifAutoDestroy) : 0;
  o->destroyWhenPlayed = o->playsLeft > 0;
  o->playInterval = p.Value(kPropGifDelay);
  o->trendColor = static_cast<uint32_t>(p.Value(kPropTrendColor));
  o->trendDepth = p.Value(kPropTrendDepth);
  o->brightness = p.Value(kPropLight);
  o->transparency = p.Value(kPropAlpha);
  o->zoomX = o->zoomY = p.Value(kPropZoom);
  o->layer = p.Value(kPropLayer);
  o->angle = NormalAngle(p.Value(kPropAngle));
  o->rotateFollow = p.Value(kPropRotateFollow) != 0;
  o->flip = p.Value(kPropTurnType);
  o->destroySound = pool_.AddBytes(p.Data(kPropDestroySound));
  o->collideAllowed = p.Value(kPropCollideAllowed) != 0;
  o->collidedSound = pool_.AddBytes(p.Data(kPropCollidedSound));
  o->name = from.name;
  Rerender(*o);
  // On top of its own layer: after the last object of a layer not above it.
  const auto at =
      std::upper_bound(list_.begin(), list_.end(), o->layer,
                       [](int32_t layer, const BoxObject* other) { return layer < other->layer; });
  list_.insert(at, o);
  byId_[o->id] = std::move(owned);
  InvalidateObject(*o);
  if (!p.Data(kPropCreateSound).empty()) host_.PlaySound(p.Data(kPropCreateSound));
  return o->id;
}

void BoxEngine::FreeObject(BoxObject* o) {
  list_.erase(std::find(list_.begin(), list_.end(), o));
  grid_.Remove(*o);
  if (found_ == o) found_ = nullptr;
  const auto owned = byId_.extract(o->id);  // the object goes when this does
  if (o->shown) InvalidateObject(*o);
  if (o->destroySound) host_.PlaySound(*o->destroySound);
  pool_.Release(o->rendered);
  pool_.Release(o->source);
  pool_.Release(o->destroySound);
  pool_.Release(o->collidedSound);
}

Outcome BoxEngine::DestroyObject(int32_t id) {
  if (!Get(id)) return Outcome::kObjectGone;
  const Outcome r = Fire(kEventDestroying, {id}, id);
  if (r != Outcome::kDone) return r;
  FreeObject(Get(id));
  return Outcome::kObjectGone;
}

void BoxEngine::Show(int32_t id, bool shown) {
  BoxObject* o = Get(id);
  if (!o || o->shown == shown) return;
  o->shown = shown;
  InvalidateObject(*o);
}

Outcome BoxEngine::SetAngle(int32_t id, int32_t degrees) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  const int32_t angle = NormalAngle(degrees);
  if (angle == o->angle) return Outcome::kDone;
  o->angle = angle;
  if (!o->rotateFollow || !o->rendered) return Outcome::kDone;
  const int32_t w = o->Width(), h = o->Height();
  InvalidateObject(*o);
  Rerender(*o);
  const Outcome r = SetPosition(id, o->x + w / 2 - o->Width() / 2, o->y + h / 2 - o->Height() / 2);
  if (r != Outcome::kDone) return r;
  InvalidateObject(*Get(id));
  return Outcome::kDone;
}

void BoxEngine::SetRotateFollow(int32_t id, bool on) {
  BoxObject* o = Get(id);
  if (!o || o->rotateFollow == on) return;
  o->rotateFollow = on;
  if (o->angle == 0) return;
  InvalidateObject(*o);
  Rerender(*o);
  InvalidateObject(*o);
}

void BoxEngine::StartAutoForward(int32_t id, const ForwardSettings& s) {
  BoxObject* o = Get(id);
  if (!o) return;
  AutoForward& f = o->forward;
  const uint32_t now = host_.Now();
  f = {};
  f.state = 1;
  f.interval = std::max(s.interval, 0);
  f.step = s.step;
  f.borderMode = s.borderMode;
  f.stopOnObject = s.stopOnObject;
  f.path.assign(s.path.begin(), s.path.begin() + static_cast<ptrdiff_t>(s.path.size() / 8 * 8));
  f.repeats = std::max(s.repeats, 0);
  f.destroyOnStop = s.destroyOnStop;
  f.lastStep = now - static_cast<uint32_t>(f.interval);  // the first step comes with the next tick
  f.distanceLeft = std::max(s.distance, 0);
  if (s.duration > 0) f.endTime = TickOrOne(now + static_cast<uint32_t>(s.duration));
}

Outcome BoxEngine::StopAutoForward(int32_t id) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  if (o->forward.state == 0) return Outcome::kDone;
  const bool destroy = o->forward.destroyOnStop;
  o->forward = {};
  o->lastCollided = 0;
  const Outcome r = Fire(kEventForwardStopped, {id}, id);
  if (r != Outcome::kDone || !destroy) return r;
  return DestroyObject(id);
}

void BoxEngine::StartAutoRotate(int32_t id, int32_t interval, int32_t step, int32_t degrees,
                                int32_t duration) {
  BoxObject* o = Get(id);
  if (!o) return;
  const uint32_t now = host_.Now();
  AutoRotate& r = o->rotate;
  r = {};
  r.on = true;
  r.interval = std::max(interval, 0);
  r.step = step;
  r.lastTurn = now - static_cast<uint32_t>(r.interval);
  r.degreesLeft = std::max(degrees, 0);
  if (duration > 0) r.endTime = TickOrOne(now + static_cast<uint32_t>(duration));
}

Outcome BoxEngine::StopAutoRotate(int32_t id) {
  BoxObject* o = Get(id);
  if (!o) return Outcome::kObjectGone;
  if (!o->rotate.on) return Outcome::kDone;
  o->rotate = {};
  return Fire(kEventRotateStopped, {id}, id);
}

void BoxEngine::StartGif(int32_t id, int32_t plays, int32_t playInterval, int32_t extraDelay,
                         bool destroyWhenPlayed) {
  BoxObject* o = Get(id);
  if (!o) return;
  o->playing = true;
  o->playsLeft = std::max(plays, 0);
  o->playInterval = std::max(playInterval, 0);
  o->extraDelay = std::max(extraDelay, 0);
  o->destroyWhenPlayed = destroyWhenPlayed;
  o->frameStart = 0;
}

void BoxEngine::SetWatchKeys(std::span<const WatchKey> keys) {
  const uint32_t now = host_.Now();
  watchKeys_.assign(keys.begin(), keys.end());
  for (WatchKey& k : watchKeys_) {
    k.interval = std::max(k.interval, 0);
    k.lastReport = now - static_cast<uint32_t>(k.interval);  // a key held now is reported at once
  }
}

void BoxEngine::SetSteering(const Steering& s) {
  if (s.object <= 0 || s.step <= 0) {
    steering_ = {};
    return;
  }
  steering_ = s;
  steering_.interval = std::max(s.interval, 0);
  steering_.lastMove = host_.Now() - static_cast<uint32_t>(steering_.interval) - 1;
  if (steering_.keys[4] || steering_.keys[5]) SetRotateFollow(s.object, true);
}

int32_t BoxEngine::ObjectAt(int32_t x, int32_t y) const {
  for (size_t j = list_.size(); j-- > 0;) {
    const BoxObject& o = *list_[j];
    if (o.Usable() && PointHit(ViewOf(*o.rendered, o.frame), TruncPosition(o.x), TruncPosition(o.y), x, y))
      return o.id;
  }
  return -1;
}

int32_t BoxEngine::CollidingWith(int32_t id, const std::string& name) const {
  const BoxObject* o = Find(id);
  if (!o) return 0;
  const BoxObject* hit =
      CollisionAt(*o, TruncPosition(o->x), TruncPosition(o->y), name.empty() ? nullptr : &name);
  return hit ? hit->id : 0;
}

}  // namespace components
