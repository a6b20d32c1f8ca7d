// The animation box's engine under a fake clock: moves and their events, collisions, the
// auto-forward stops, GIF timing, mouse events, paths, steering, watched keys, the pool, the
// forced repaint and the sounds.
#include "components/box/box_engine.h"

#include <gtest/gtest.h>

#include "box_test_host.h"

using namespace components;
using box_test::FakeHost;
using box_test::Square;
using V = std::vector<int32_t>;

namespace {

struct Box : ::testing::Test {
  FakeHost host;
  BoxEngine box{host, 100, 100};

  void Tick(int times = 1, uint32_t every = 5) {
    for (int i = 0; i < times; ++i) {
      host.now += every;
      ASSERT_EQ(box.Tick(), Outcome::kDone);
    }
  }
  ForwardSettings Forward(int32_t step, int32_t mode) {
    ForwardSettings f;
    f.step = step, f.borderMode = mode;
    return f;
  }
};

TEST_F(Box, AnglesAreKeptWithin0To359AndTurnThePictureAboutItsCentre) {
  const int32_t id = box.CreateObject(Square(10, 4), 20, 20);
  for (auto [in, out] : {std::pair{-90, 270}, {360, 0}, {725, 5}}) {
    box.SetAngle(id, in);
    EXPECT_EQ(box.Find(id)->angle, out);
  }
  box.SetRotateFollow(id, true);  // at 5 degrees: re-rendered, not moved
  EXPECT_GT(box.Find(id)->Height(), 4);
  host.events.clear();
  box.SetAngle(id, 90);  // 10 x 4 turns into 4 x 10 about the same centre (25, 22)
  EXPECT_EQ(box.Find(id)->Width(), 4);
  EXPECT_EQ(box.Find(id)->Height(), 10);
  EXPECT_EQ(box.Find(id)->x, 23);
  EXPECT_EQ(box.Find(id)->y, 17);
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved}));
}

TEST_F(Box, SubPixelMovesFireNothingAndAVetoSkipsEveryCheck) {
  const int32_t a = box.CreateObject(Square(10, 10, 1), 10.2, 10);
  box.CreateObject(Square(10, 10, 2), 30, 10);
  EXPECT_EQ(box.StepForward(a, 0.5), Outcome::kDone);  // up by half a pixel: 9.5 truncates to 9
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved}));
  host.events.clear();
  box.SetPosition(a, 10.9, 9.1);
  EXPECT_TRUE(host.events.empty());
  EXPECT_DOUBLE_EQ(box.Find(a)->x, 10.9);

  // Into the other object and beyond the top edge, but vetoed: no 11, 12 or 13.
  host.handler = [](const box_test::Fired& f) { return EventResult{true, f.event == kEventMoving ? 0 : 1}; };
  box.SetAngle(a, 45);
  box.StepForward(a, 25);
  EXPECT_EQ(host.Indexes(), (V{kEventMoving}));
  EXPECT_DOUBLE_EQ(box.Find(a)->x, 10.9);
}

TEST_F(Box, CollisionsNeedOneLayerOtherTypesAndPermissionAndAreReportedOnce) {
  const int32_t a = box.CreateObject(Square(10, 10, 1), 0, 50);
  const int32_t same = box.CreateObject(Square(10, 10, 1), 14, 50);
  const int32_t upper = box.CreateObject(Square(10, 10, 2, true, 1), 14, 50);
  const int32_t refuses = box.CreateObject(Square(10, 10, 2, false), 14, 50);
  box.SetAngle(a, 90);
  box.StepForward(a, 5);  // overlaps all three
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved}));
  EXPECT_EQ(box.CollidingWith(a), 0);
  (void)same, (void)upper, (void)refuses;

  const int32_t b = box.CreateObject(Square(10, 10, 2), 15, 50);
  host.events.clear();
  box.StepForward(a, 1);
  box.StepForward(a, 1);  // still overlapping: reported once
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved, kEventCollided, kEventMoving, kEventMoved}));
  // The angle's factor is not quite pi / 180: moving "right" drifts up below a pixel.
  EXPECT_EQ(host.events[2].args, (V{a, 5, 49, b}));
  EXPECT_EQ(box.CollidingWith(a), b);
  box.SetAngle(a, 270);
  box.StepForward(a, 6);  // clear of b
  box.SetAngle(a, 90);
  host.events.clear();
  box.StepForward(a, 6);
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved, kEventCollided}));

  // A hidden object still collides and is still hit by the mouse.
  box.Show(b, false);
  EXPECT_EQ(box.CollidingWith(a), b);
  EXPECT_EQ(box.ObjectAt(24, 55), b);
  EXPECT_EQ(box.ObjectAt(99, 99), -1);
}

TEST_F(Box, BorderModesStopAutoForwardAsTheyShould) {
  auto run = [&](int32_t mode, int32_t distance, int ticks) {
    host.events.clear();
    const int32_t id = box.CreateObject(Square(10, 10), 85, 45);
    box.SetAngle(id, 90);
    ForwardSettings f = Forward(5, mode);
    f.distance = distance;
    box.StartAutoForward(id, f);
    Tick(ticks);
    std::vector<int32_t> seen;
    for (const auto& e : host.events)
      if (e.event >= kEventCollided) seen.push_back(e.event);
    return seen;
  };
  EXPECT_EQ(run(1, 0, 3), (V{kEventTouchedEdge, kEventForwardStopped}));
  EXPECT_EQ(run(2, 0, 4), (V{kEventTouchedEdge, kEventLeftBox, kEventForwardStopped}));
  EXPECT_EQ(run(0, 0, 4), (V{kEventTouchedEdge, kEventLeftBox, kEventForwardStopped}));
  // With a distance it goes on outside until the distance is used up.
  EXPECT_EQ(run(0, 40, 5), (V{kEventTouchedEdge, kEventLeftBox, kEventLeftBox, kEventLeftBox}));
}

TEST_F(Box, AUsedUpDistanceStops200MsAfterTheLastStep) {
  const int32_t id = box.CreateObject(Square(4, 4), 50, 50);
  ForwardSettings f = Forward(5, 0);
  f.distance = 10;
  f.interval = 20;
  box.StartAutoForward(id, f);
  Tick(1);  // the first step comes at once
  Tick(4);  // the second, 20 ms later, uses the distance up
  EXPECT_EQ(box.Find(id)->y, 40);
  EXPECT_EQ(box.Find(id)->forward.state, -1);
  Tick(39);  // 195 ms after the last step
  EXPECT_NE(box.Find(id)->forward.state, 0);
  Tick(1);
  EXPECT_EQ(box.Find(id)->forward.state, 0);
  EXPECT_EQ(host.events.back().event, kEventForwardStopped);
  EXPECT_EQ(box.Find(id)->y, 40);
}

TEST_F(Box, GifFramesOfNoDelayLast50MsAndThePlayIntervalLengthensFrame0Only) {
  ObjectTemplate t = Square(4, 4, 0, false, 0, 3, 0);
  t.source.frames[1].delay = 30;
  const int32_t id = box.CreateObject(t, 0, 0);
  box.StartGif(id, 2, 100, 0, true);
  host.now = 10000;
  Tick(1, 0);  // frame 0 starts now and lasts 150 ms
  auto frameAt = [&](uint32_t t) {
    host.now = 10000 + t;
    EXPECT_EQ(box.Tick(), Outcome::kDone);
    return box.Find(id) ? static_cast<int>(box.Find(id)->frame) : -1;
  };
  EXPECT_EQ(frameAt(149), 0);
  EXPECT_EQ(frameAt(150), 1);
  EXPECT_EQ(frameAt(179), 1);
  EXPECT_EQ(frameAt(180), 2);
  EXPECT_EQ(frameAt(229), 2);
  EXPECT_EQ(frameAt(230), 0);  // the first play is over
  EXPECT_EQ(frameAt(380), 1);
  EXPECT_EQ(frameAt(410), 2);
  host.events.clear();
  EXPECT_EQ(frameAt(460), -1);  // the second play ends it
  EXPECT_EQ(host.Indexes(), (V{kEventPlayed, kEventDestroying}));
}

TEST_F(Box, MouseEventsNameTheObjectsUnderTheButton) {
  const int32_t a = box.CreateObject(Square(10, 10), 10, 10);
  const int32_t b = box.CreateObject(Square(10, 10), 15, 10);  // above a
  box.LeftDown(50, 50);
  EXPECT_EQ(box.Pressed(), -1);
  box.MouseMove(12, 12, true);
  box.MouseMove(16, 12, true);  // b is on top
  box.LeftUp(12, 12);
  EXPECT_EQ(host.Indexes(), (V{kEventLeftDown, kEventEnter, kEventMouseMove, kEventLeave, kEventEnter,
                               kEventMouseMove, kEventLeftUp}));
  EXPECT_EQ(host.events[0].args, (V{0}));
  EXPECT_EQ(host.events[3].args, (V{a, -1}));
  EXPECT_EQ(host.events[4].args, (V{b, -1}));
  EXPECT_EQ(host.events[6].args, (V{a, -1}));
  EXPECT_EQ(box.Pressed(), 0);

  // Pressed on b, which is gone by the release; leaving the window fires the leave event.
  host.events.clear();
  box.LeftDown(16, 12);
  box.DestroyObject(b);
  box.LeftUp(12, 12);
  EXPECT_EQ(host.events.back().args, (V{a, -1}));
  box.MouseMove(12, 12, false);
  host.cursorOver = false;
  host.events.clear();
  Tick();
  EXPECT_EQ(host.events.front().event, kEventLeave);
  EXPECT_EQ(host.events.front().args, (V{a, 0}));
  EXPECT_EQ(box.Hovered(), 0);
}

std::vector<uint8_t> Path(std::initializer_list<int32_t> xy) {
  std::vector<uint8_t> out;
  for (int32_t v : xy)
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
  return out;
}

TEST_F(Box, PathStepsFollowThePointsAndRepeat) {
  for (int32_t repeats : {1, 3, 0}) {
    host.events.clear();
    const int32_t id = box.CreateObject(Square(2, 2, 0, false), 9, 9);  // centre (10, 10)
    ForwardSettings f = Forward(5, 0);
    f.path = Path({20, 10, 20, 20, 7});  // a trailing half point is ignored
    f.repeats = repeats;
    box.StartAutoForward(id, f);
    Tick();
    EXPECT_EQ(box.Find(id)->angle, 90);
    EXPECT_DOUBLE_EQ(box.Find(id)->x, 14);
    Tick(2);
    EXPECT_EQ(box.Find(id)->angle, 180);
    EXPECT_DOUBLE_EQ(box.Find(id)->y, 14);
    Tick(1);  // at (20, 20): one lap done
    const int laps = repeats == 0 ? 5 : repeats;
    Tick((laps - 1) * 4);
    const bool stopped = box.Find(id)->forward.state == 0;
    EXPECT_EQ(stopped, repeats != 0) << repeats;
    if (stopped) {
      EXPECT_EQ(host.events.back().event, kEventForwardStopped);
    }
    box.DestroyObject(id);
  }
}

TEST_F(Box, SteeringMovesOnlyInsideAndAroundBlockersAndTurns) {
  const int32_t s = box.CreateObject(Square(10, 10, 1), 50, 50);
  box.CreateObject(Square(10, 10, 2), 65, 50);
  Steering st;
  st.object = s, st.step = 5, st.blocking = true;
  int32_t keys[6] = {38, 40, 37, 39, 81, 69};
  std::copy(keys, keys + 6, st.keys);
  box.SetSteering(st);
  host.held = {39, 37};  // the first held key in the list's order wins: left
  Tick();
  EXPECT_EQ(box.Find(s)->x, 45);
  host.held = {39};
  Tick(2);
  EXPECT_EQ(box.Find(s)->x, 55);  // blocked at 60 by the other object
  st.blocking = false;
  box.SetSteering(st);
  host.events.clear();
  Tick();
  EXPECT_EQ(box.Find(s)->x, 60);
  EXPECT_EQ(host.events.back().event, kEventCollided);
  EXPECT_TRUE(box.Find(s)->rotateFollow);  // turn keys switch it on

  host.held = {81};  // turn left
  Tick(2);
  EXPECT_EQ(box.Find(s)->angle, 350);
  host.held = {69};
  Tick(20);
  EXPECT_EQ(box.Find(s)->angle, 90);
  box.SetPosition(s, 20, 20);
  host.held = {38};  // forward, now to the right
  Tick();
  EXPECT_EQ(box.Find(s)->x, 25);
  box.SetPosition(s, 90, 20);
  Tick();
  EXPECT_EQ(box.Find(s)->x, 90);  // an edge stops it
}

TEST_F(Box, AutoRotateTurnsOnlyWithRotateFollowAndStopsAtItsDegreesOrEndTime) {
  const int32_t id = box.CreateObject(Square(4, 4, 0, false), 50, 50);
  box.StartAutoRotate(id, 10, -30, 90, 0);
  Tick(4);
  EXPECT_EQ(box.Find(id)->angle, 0);  // rotate-follow off: nothing turns
  box.SetRotateFollow(id, true);
  host.events.clear();
  Tick(6);  // a turn every 10 ms: 330, 300, 270, and the degrees are used up
  EXPECT_EQ(box.Find(id)->angle, 270);
  EXPECT_FALSE(box.Find(id)->rotate.on);
  EXPECT_EQ(host.events.back().event, kEventRotateStopped);
  box.StartAutoRotate(id, 0, 1, 0, 12);
  Tick(3);  // turns at +0 and +5 ms after the start; the end time stops it at 15 ms
  EXPECT_EQ(box.Find(id)->angle, 272);
  EXPECT_FALSE(box.Find(id)->rotate.on);
}

TEST_F(Box, WatchKeysReportTheFirstHeldKeyWithinItsInterval) {
  WatchKey keys[] = {{65, 100}, {66, 0}};
  box.SetWatchKeys(keys);
  host.held = {65, 66};
  host.modifiers = 1 | 4;
  Tick();
  Tick();
  EXPECT_EQ(host.Indexes(), (V{kEventWatchKey, kEventWatchKey}));
  EXPECT_EQ(host.events[0].args, (V{65, 5}));
  EXPECT_EQ(host.events[1].args, (V{66, 5}));
  host.events.clear();
  Tick(18);  // 95 ms after the report of 65
  Tick(1);
  EXPECT_EQ(host.events[17].args[0], 66);
  EXPECT_EQ(host.events[18].args[0], 65);
}

TEST_F(Box, ThePoolSharesEqualImagesAndFreesThemAtTheLastRelease) {
  const int32_t a = box.CreateObject(Square(8, 8), 0, 0);
  const int32_t b = box.CreateObject(Square(8, 8), 20, 0);
  EXPECT_EQ(box.Find(a)->source, box.Find(b)->source);
  EXPECT_EQ(box.Pool().EntryCount(), 1u);
  EXPECT_EQ(box.Pool().References(box.Find(a)->source), 4);  // source and rendered, twice
  box.SetRotateFollow(a, true);
  box.SetAngle(a, 30);
  EXPECT_EQ(box.Pool().EntryCount(), 2u);
  box.DestroyObject(b);
  box.DestroyObject(a);
  EXPECT_EQ(box.Pool().EntryCount(), 0u);
}

TEST_F(Box, TickCountsWrapWithoutKillingOrKeepingObjects) {
  host.now = 0xFFFFFF00u;
  ObjectTemplate t = Square(4, 4);
  t.properties.SetValue(kPropExistTime, 0x200);
  const int32_t id = box.CreateObject(t, 0, 0);
  box.StartAutoForward(id, Forward(1, 0));
  Tick(1, 0x100);  // past the wrap, before the death time
  ASSERT_NE(box.Find(id), nullptr);
  EXPECT_EQ(box.Find(id)->y, -1);
  Tick(1, 0x110);
  EXPECT_EQ(box.Find(id), nullptr);
}

}  // namespace

namespace {

TEST_F(Box, ComposingDrawsShownObjectsByLayerIntoTheArea) {
  ObjectTemplate low = Square(4, 4, 0, false, 0);
  ObjectTemplate high = Square(2, 2, 0, false, 1);
  high.source.frames[0].pixels.assign(4, 0x00FF0000);
  const int32_t top = box.CreateObject(high, 11.7, 11);  // drawn at (11, 11), created first
  box.CreateObject(low, 10, 10);
  const int32_t hidden = box.CreateObject(Square(4, 4, 0, false, 2), 10, 10);
  box.Show(hidden, false);
  std::vector<uint32_t> pixels(6 * 3, 0x00FFFFFF);
  box.Compose(Rect{9, 10, 15, 13}, Surface{pixels.data(), 6, 3, 6});
  const uint32_t W = 0x00FFFFFF, L = 0x00102030, H = 0x00FF0000;
  EXPECT_EQ(pixels, (std::vector<uint32_t>{W, L, L, L, L, W,  //
                                           W, L, H, H, L, W,  //
                                           W, L, H, H, L, W}));
  (void)top;
}

TEST_F(Box, HiddenObjectsAreNeitherAnimatedNorMovedByTheTimer) {
  const int32_t id = box.CreateObject(Square(4, 4, 0, false, 0, 2, 10), 50, 50);
  box.StartGif(id, 0, 0, 0, false);
  box.StartAutoForward(id, Forward(2, 0));
  box.Show(id, false);
  Tick(10);
  EXPECT_EQ(box.Find(id)->y, 50);
  EXPECT_EQ(box.Find(id)->frame, 0u);
  box.Show(id, true);
  Tick(3);
  EXPECT_EQ(box.Find(id)->y, 44);
  EXPECT_EQ(box.Find(id)->frame, 1u);
}

}  // namespace

namespace {

// One time stamp for every box of the process: a repaint is forced when more than 100 ms have
// passed since any box's last, also on a machine up more than 2^31 ms and across the wrap.
TEST(BoxForcedRepaint, ComesOnceEvery100MsSharedByEveryBoxAtAnyTickCount) {
  FakeHost a, b;
  BoxEngine first(a, 50, 50), second(b, 50, 50);
  // Whatever stamp earlier boxes left, four ticks a quarter of the count apart bring it to 0, as
  // at the process's start.
  for (const uint32_t t : {0x40000000u, 0x80000000u, 0xC0000000u, 0u}) {
    a.now = t;
    first.Tick();
  }
  a.repaints = 0;
  a.now = b.now = 0x80001000u;
  ASSERT_EQ(first.Tick(), Outcome::kDone);
  EXPECT_EQ(a.repaints, 1) << "the first tick repaints";
  b.now += 100;
  second.Tick();
  EXPECT_EQ(b.repaints, 0) << "100 ms after the other box's repaint";
  b.now += 1;
  second.Tick();
  EXPECT_EQ(b.repaints, 1);
  a.now = b.now + 50;
  first.Tick();
  EXPECT_EQ(a.repaints, 1);
  a.now = 0xFFFFFFD0u;
  first.Tick();
  a.now = 0x34;  // past the wrap, 100 ms after: not yet
  first.Tick();
  a.now = 0x35;
  first.Tick();
  EXPECT_EQ(a.repaints, 3);
}

TEST_F(Box, AnObjectThatDoesNotAllowCollisionsIsNeitherHitNorHitting) {
  const int32_t s = box.CreateObject(Square(10, 10, 1, false), 50, 50);
  const int32_t other = box.CreateObject(Square(10, 10, 2), 62, 50);
  Steering st;
  st.object = s, st.step = 5, st.blocking = true, st.keys[3] = 39;
  box.SetSteering(st);
  host.held = {39};
  Tick();
  EXPECT_EQ(box.Find(s)->x, 55) << "blocking steering does not block it";
  EXPECT_EQ(box.CollidingWith(s), 0);
  EXPECT_EQ(box.CollidingWith(other), 0);
  EXPECT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved}));
}

// Event 12 names the object, its truncated position before the move and the edges crossed.
TEST_F(Box, TouchingAnEdgeReportsTheEdgesBits) {
  const int32_t id = box.CreateObject(Square(10, 10), 45, 45);
  // Angles 0, 180 and 270 move exactly along their axis; 90 drifts up below a pixel.
  const struct {
    double x, y;
    int32_t angle;
    int32_t bits;
  } moves[] = {{45, 45, 270, 1}, {45, 45, 0, 2},     {45, 45, 90, 4},
               {45, 45, 180, 8}, {-1, 45, 0, 1 | 2}, {91, 45, 180, 4 | 8}};
  for (const auto& m : moves) {
    box.SetPosition(id, m.x, m.y);
    box.SetAngle(id, m.angle);
    host.events.clear();
    box.StepForward(id, 46);
    ASSERT_EQ(host.Indexes(), (V{kEventMoving, kEventMoved, kEventTouchedEdge})) << m.angle;
    EXPECT_EQ(host.events[2].args, (V{id, static_cast<int32_t>(m.x), 45, m.bits})) << m.angle;
  }
}

using Sounds = std::vector<std::vector<uint8_t>>;
std::vector<uint8_t> Sound(uint8_t tag) { return {'R', 'I', 'F', 'F', tag}; }

TEST_F(Box, AutoForwardStopsAtItsEndTime) {
  const int32_t id = box.CreateObject(Square(4, 4), 50, 50);
  ForwardSettings f = Forward(1, 0);
  f.duration = 20;
  box.StartAutoForward(id, f);
  Tick(3);  // a step at +5, +10 and +15 ms
  EXPECT_EQ(box.Find(id)->forward.state, 1);
  EXPECT_NE(host.events.back().event, kEventForwardStopped);
  Tick();  // +20: the end time stops it before a fourth step
  EXPECT_EQ(box.Find(id)->forward.state, 0);
  EXPECT_EQ(box.Find(id)->y, 47);
  EXPECT_EQ(host.events.back().event, kEventForwardStopped);
}

// A mover going up into a blocker: the hit is reported with the mover's collided sound; with
// stop-on-object auto-forward stops there, and with destroy-on-stop the mover goes with it.
TEST_F(Box, StopOnObjectAndDestroyOnStopWithTheirSounds) {
  for (const bool stop : {false, true}) {
    box.Clear();
    host.events.clear();
    host.sounds.clear();
    ObjectTemplate mover = Square(10, 10, 1), blocker = Square(10, 10, 2);
    mover.properties.SetData(kPropCreateSound, Sound(1));
    mover.properties.SetData(kPropCollidedSound, Sound(2));
    mover.properties.SetData(kPropDestroySound, Sound(3));
    blocker.properties.SetData(kPropCollidedSound, Sound(4));
    const int32_t m = box.CreateObject(mover, 50, 80);
    const int32_t b = box.CreateObject(blocker, 50, 60);
    EXPECT_EQ(host.sounds, (Sounds{Sound(1)}));
    ForwardSettings f = Forward(5, 0);
    f.stopOnObject = stop, f.destroyOnStop = true;
    box.StartAutoForward(m, f);
    Tick(3);  // 75, 70, then 65 overlaps the blocker's rows 60 to 69
    std::vector<int32_t> after;
    for (const auto& e : host.events)
      if (e.event >= kEventDestroying) after.push_back(e.event);
    if (stop) {
      EXPECT_EQ(after, (V{kEventCollided, kEventForwardStopped, kEventDestroying}));
      EXPECT_EQ(box.Find(m), nullptr);
      EXPECT_EQ(host.sounds, (Sounds{Sound(1), Sound(2), Sound(3)}));
    } else {
      EXPECT_EQ(after, (V{kEventCollided}));
      ASSERT_NE(box.Find(m), nullptr);
      EXPECT_EQ(box.Find(m)->forward.state, 1);
      EXPECT_EQ(box.Find(m)->y, 65);
      EXPECT_EQ(host.sounds, (Sounds{Sound(1), Sound(2)}));
    }
    ASSERT_NE(box.Find(b), nullptr);
  }
}

// After each steering key, moved or not: mode 1 plays the GIF once, mode 2 shows the next frame.
TEST_F(Box, SteeringAfterMoveModesPlayOnceOrAdvanceAFrame) {
  const int32_t s = box.CreateObject(Square(10, 10, 0, false, 0, 3, 10), 90, 50);  // at the right edge
  Steering st;
  st.object = s, st.step = 5, st.afterMove = 2, st.keys[3] = 39;
  box.SetSteering(st);
  host.held = {39};
  std::vector<size_t> frames;
  for (int i = 0; i < 4; ++i) {
    Tick();
    frames.push_back(box.Find(s)->frame);
  }
  EXPECT_EQ(frames, (std::vector<size_t>{1, 2, 0, 1}));
  EXPECT_EQ(box.Find(s)->frameStart, host.now);
  EXPECT_FALSE(box.Find(s)->playing);
  EXPECT_EQ(box.Find(s)->x, 90) << "the edge held it";

  st.afterMove = 1;
  box.SetSteering(st);
  Tick();
  host.held.clear();
  const BoxObject* o = box.Find(s);
  EXPECT_TRUE(o->playing);
  EXPECT_EQ(o->playsLeft, 1);
  EXPECT_FALSE(o->destroyWhenPlayed);
  host.events.clear();
  Tick(10);  // frames 1 and 2 last 10 ms each; the wrap to 0 ends the one play
  EXPECT_EQ(host.Indexes(), (V{kEventPlayed}));
  ASSERT_NE(box.Find(s), nullptr);
  EXPECT_FALSE(box.Find(s)->playing);
}

}  // namespace
