// The box's fast paths against the plain ones they replace, on random scenes (every size from a
// pixel to larger than the collision index's cells, layers, types, transparent corners, soft
// edges, object transparency, hidden objects, objects that do not collide, positions in and out
// of the box). The collision index against the scan of the whole list: run both ways, with
// handlers that veto moves and move, make, destroy, hide and restart objects in the middle of
// the checks (to places far out of the box too) and resize the box, both must fire the same
// events with the same arguments, find the same objects from the handlers and leave every
// object in the same place. The repaint that skips what objects above replace against
// blending every object whole: pixel for pixel.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "box_test_host.h"

using namespace components;
using box_test::FakeHost;
using box_test::Fired;

namespace {

constexpr uint32_t kKey = 0x00FF00FF;  // the transparent colour (COLORREF)

// A box with a disc inside (and the corners of the transparent colour), one or two frames.
ObjectTemplate Blob(std::mt19937& random) {
  const uint32_t kind = random() % 20;
  const int32_t side = kind < 16 ? 40 : kind < 19 ? 90 : 200;
  const int32_t w = 1 + static_cast<int32_t>(random() % side), h = 1 + static_cast<int32_t>(random() % side);
  ObjectTemplate t;
  t.source.width = w, t.source.height = h;
  const int frames = 1 + static_cast<int>(random() % 2);
  for (int f = 0; f < frames; ++f) {
    Frame& frame = t.source.frames.emplace_back();
    frame.transparentColor = kKey, frame.delay = 10;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const double dx = (x + 0.5) / w - 0.5 + f * 0.2, dy = (y + 0.5) / h - 0.5;
        const double d = dx * dx + dy * dy;
        const uint32_t soft = static_cast<uint32_t>(random() % 256) << 24;
        // The transparent colour (in pixel order) outside, soft edges, a solid middle.
        frame.pixels.push_back(d > 0.25 ? 0x00FF00FFu : (d > 0.16 ? soft : 0) | (0x00304050u + 0x10 * x + y));
      }
    }
  }
  ObjectProperties& p = t.properties;
  p.SetValue(kPropType, static_cast<int32_t>(random() % 3));
  p.SetValue(kPropLayer, static_cast<int32_t>(random() % 3));
  p.SetValue(kPropCollideAllowed, random() % 8 != 0);
  p.SetValue(kPropPlayGif, frames > 1);
  p.SetValue(kPropRotateFollow, random() % 4 == 0);
  p.SetValue(kPropAngle, static_cast<int32_t>(random() % 360));
  if (random() % 5 == 0) p.SetValue(kPropAlpha, static_cast<int32_t>(random() % 101));
  if (random() % 10 == 0) p.SetValue(kPropExistTime, static_cast<int32_t>(50 + random() % 500));
  t.name = random() % 2 ? "a" : "b";
  return t;
}

std::string Line(const Fired& f) {
  std::string s = "event " + std::to_string(f.event);
  for (int32_t a : f.args) s += " " + std::to_string(a);
  return s;
}

// Everything the scene shows, in order: the events, what handlers found, the objects at the end.
std::vector<std::string> RunScene(uint32_t seed, bool scan) {
  FakeHost host;
  BoxEngine box(host, 240, 160);
  box.SetReferencePaths(scan);
  std::mt19937 random(seed);
  std::vector<std::string> trace;
  auto anyObject = [&] {
    const auto objects = box.Objects();
    return objects.empty() ? 0 : objects[random() % objects.size()]->id;
  };
  // Far out, on either side of where the index keeps objects apart, close enough to meet.
  auto farOut = [&] {
    return (random() % 2 ? 1 : -1) * 1073741824.0 + static_cast<int32_t>(random() % 80) - 40;
  };
  auto make = [&] {
    const bool far = random() % 10 == 0;
    const ObjectTemplate t = Blob(random);
    const int32_t id = far ? box.CreateObject(t, farOut(), farOut())
                           : box.CreateObject(t, static_cast<int32_t>(random() % 360) - 60,
                                              static_cast<int32_t>(random() % 280) - 60);
    if (random() % 8 == 0) box.Show(id, false);
    if (random() % 6 == 0) box.StartAutoRotate(id, 0, 15, 0, 0);
    if (random() % 5 == 0) return;
    ForwardSettings f;
    f.step = 1 + static_cast<int32_t>(random() % 8);
    f.borderMode = static_cast<int32_t>(random() % 3);
    f.stopOnObject = random() % 3 == 0;
    f.distance = random() % 2 ? 0 : static_cast<int32_t>(20 + random() % 200);
    box.StartAutoForward(id, f);
  };
  host.handler = [&](const Fired& fired) {
    const Fired f = fired;  // the host's record moves when a nested event is recorded
    trace.push_back(Line(f));
    const bool onObject = f.event >= kEventMoving && f.event <= kEventPlayed;
    const uint32_t roll = random() % 100;
    if (f.event == kEventMoving && roll < 10) return EventResult{true, 0};  // vetoed
    if (onObject && roll >= 95) {
      box.DestroyObject(f.args[0]);
    } else if (roll >= 91) {
      make();
    } else if (roll >= 88) {
      box.SetPosition(anyObject(), static_cast<int32_t>(random() % 300) - 30,
                      static_cast<int32_t>(random() % 200) - 20);
    } else if (roll == 87 && random() % 4 == 0) {
      box.Resize(100 + static_cast<int32_t>(random() % 300), 80 + static_cast<int32_t>(random() % 200));
    } else if (roll == 87) {
      box.SetPosition(anyObject(), farOut(), farOut());
    } else if (roll >= 84) {
      const int32_t id = anyObject();
      if (const BoxObject* o = box.Find(id)) box.Show(id, !o->shown);
    } else if (roll >= 78) {
      const int32_t id = anyObject();
      trace.push_back("finds " + std::to_string(box.CollidingWith(id, roll % 2 ? "a" : "")));
    } else if (f.event == kEventForwardStopped && roll < 50) {
      box.SetAngle(f.args[0], static_cast<int32_t>(random() % 360));
      ForwardSettings again;
      again.step = 1 + static_cast<int32_t>(random() % 6), again.borderMode = 1;
      box.StartAutoForward(f.args[0], again);
    }
    return EventResult{};
  };
  for (int i = 0; i < 120; ++i) make();
  for (int tick = 0; tick < 150; ++tick) {
    host.now += 5;
    if (tick % 10 == 0) make();
    box.Tick();
  }
  for (const BoxObject* o : box.Objects()) {
    trace.push_back("object " + std::to_string(o->id) + " " + std::to_string(o->x) + " " +
                    std::to_string(o->y) + " " + std::to_string(o->angle) + " " + std::to_string(o->frame) +
                    " " + std::to_string(o->lastCollided));
  }
  return trace;
}

TEST(BoxReferencePaths, CollisionsFireWhatTheListScanFires) {
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    const std::vector<std::string> indexed = RunScene(seed, false), scanned = RunScene(seed, true);
    size_t collisions = 0;
    for (const std::string& line : scanned) collisions += line.starts_with("event 11 ");
    EXPECT_GT(collisions, 20u) << "seed " << seed << ": the scene hardly collides";
    const auto [a, b] = std::mismatch(indexed.begin(), indexed.end(), scanned.begin(), scanned.end());
    ASSERT_TRUE(a == indexed.end() && b == scanned.end())
        << "seed " << seed << ", line " << (a - indexed.begin()) << ": index '"
        << (a != indexed.end() ? *a : "end") << "', scan '" << (b != scanned.end() ? *b : "end") << "'";
  }
}

TEST(BoxReferencePaths, RepaintsMatchBlendingEveryObjectWhole) {
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    FakeHost host;
    BoxEngine box(host, 240, 160);
    std::mt19937 random(seed);
    for (int i = 0; i < 150; ++i) {
      const int32_t id = box.CreateObject(Blob(random), static_cast<int32_t>(random() % 300) - 30,
                                          static_cast<int32_t>(random() % 220) - 30);
      if (random() % 8 == 0) box.Show(id, false);
    }
    for (int n = 0; n < 6; ++n) {
      const int32_t left = static_cast<int32_t>(random() % 200) - 20,
                    top = static_cast<int32_t>(random() % 140) - 20;
      const Rect area{left, top, left + 1 + static_cast<int32_t>(random() % 260),
                      top + 1 + static_cast<int32_t>(random() % 180)};
      // Sometimes a buffer smaller than the area: nothing may land outside it.
      const int32_t w = area.right - area.left - static_cast<int32_t>(n % 3 == 2 ? random() % 8 : 0);
      const int32_t h = area.bottom - area.top - static_cast<int32_t>(n % 3 == 2 ? random() % 8 : 0);
      const int32_t stride = std::max(w, 1) + 3;
      std::vector<uint32_t> fast(static_cast<size_t>(stride) * std::max(h, 1));
      for (uint32_t& px : fast) px = random();
      std::vector<uint32_t> plain = fast;
      box.SetReferencePaths(false);
      box.Compose(area, Surface{fast.data(), w, h, stride});
      box.SetReferencePaths(true);
      box.Compose(area, Surface{plain.data(), w, h, stride});
      ASSERT_EQ(fast, plain) << "seed " << seed << ", area " << n;
    }
  }
}

}  // namespace
