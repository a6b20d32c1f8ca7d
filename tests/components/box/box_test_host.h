// A box host for tests: a fake tick count and key state, and a record of the events, sounds and
// invalidations; the handler of every event is a function the test sets.
#pragma once

#include <functional>
#include <set>
#include <vector>

#include "components/box/box_engine.h"

namespace box_test {

using namespace components;

struct Fired {
  int32_t event;
  std::vector<int32_t> args;
};

class FakeHost : public BoxHost {
 public:
  uint32_t now = 1000;
  std::set<int32_t> held;
  int32_t modifiers = 0;
  bool cursorOver = true;
  std::vector<Fired> events;
  std::vector<Rect> invalidated;
  int repaints = 0;
  std::vector<std::vector<uint8_t>> sounds;  // the bytes of every sound played, in order
  std::function<EventResult(const Fired&)> handler;

  uint32_t Now() override { return now; }
  bool KeyDown(int32_t key) override { return held.contains(key); }
  int32_t Modifiers() override { return modifiers; }
  bool CursorOverBox() override { return cursorOver; }
  void Invalidate(const Rect& area) override { invalidated.push_back(area); }
  void RepaintNow() override { ++repaints; }
  void PlaySound(std::span<const uint8_t> bytes) override { sounds.emplace_back(bytes.begin(), bytes.end()); }
  EventResult Fire(int32_t event, std::span<const int32_t> args) override {
    events.push_back({event, {args.begin(), args.end()}});
    return handler ? handler(events.back()) : EventResult{};
  }

  // The indexes of the events fired so far, in order.
  std::vector<int32_t> Indexes() const {
    std::vector<int32_t> out;
    for (const Fired& f : events) out.push_back(f.event);
    return out;
  }
};

// A template of an opaque w x h square with the given frame count (delays `delay`).
inline ObjectTemplate Square(int32_t w, int32_t h, int32_t type = 0, bool collide = true, int32_t layer = 0,
                             int frames = 1, int32_t delay = 0) {
  ObjectTemplate t;
  t.source.width = w, t.source.height = h;
  for (int i = 0; i < frames; ++i)
    t.source.frames.push_back(
        {kNoColor, delay, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x00102030u + i)});
  t.properties.SetValue(kPropType, type);
  t.properties.SetValue(kPropCollideAllowed, collide);
  t.properties.SetValue(kPropLayer, layer);
  return t;
}

}  // namespace box_test
