// Event handlers may destroy the box or any object. A busy scene fires every kind of event; the
// handler destroys the box, the object concerned or every object at the n-th event, for every
// n. AddressSanitizer catches any use of a freed object or a freed box, and a box that is gone
// must not call its host again.
#include <gtest/gtest.h>

#include <memory>

#include "box_test_host.h"

using namespace components;
using box_test::FakeHost;
using box_test::Square;

namespace {

enum class Havoc { kBox, kObject, kEveryObject };

// Sets up the scene in `box` and drives it; stops when the box is gone.
void RunScene(FakeHost& host, std::unique_ptr<BoxEngine>& box) {
  BoxEngine& b = *box;
  const int32_t mover = b.CreateObject(Square(10, 10, 1), 70, 40);
  b.CreateObject(Square(10, 10, 2), 90, 40);  // in the mover's way, at the edge
  ObjectTemplate gif = Square(6, 6, 3, true, 0, 2, 10);
  gif.properties.SetValue(kPropExistTime, 200);
  const int32_t player = b.CreateObject(gif, 5, 5);
  b.StartGif(player, 1, 0, 0, true);
  const int32_t spinner = b.CreateObject(Square(8, 4, 4), 40, 80);
  b.SetRotateFollow(spinner, true);
  b.StartAutoRotate(spinner, 0, 30, 90, 0);
  const int32_t walker = b.CreateObject(Square(4, 4, 5), 20, 20);
  ForwardSettings path;
  path.step = 3, path.distance = 12, path.destroyOnStop = true, path.repeats = 1;
  path.path = {30, 0, 0, 0, 30, 0, 0, 0};
  b.StartAutoForward(walker, path);
  ForwardSettings straight;
  straight.step = 4, straight.borderMode = 1, straight.stopOnObject = true, straight.destroyOnStop = true;
  b.SetAngle(mover, 90);
  b.StartAutoForward(mover, straight);
  const int32_t leaver = b.CreateObject(Square(4, 4, 6), 50, 2);  // touches the top, then leaves
  straight.borderMode = 0;
  b.StartAutoForward(leaver, straight);
  WatchKey key{65, 0};
  b.SetWatchKeys({&key, 1});
  Steering st;
  st.object = spinner, st.step = 2, st.afterMove = 2;
  st.keys[3] = 39;
  b.SetSteering(st);
  host.held = {65, 39};

  auto step = [&](Outcome r) { return r != Outcome::kBoxGone; };
  if (!step(box->LeftDown(72, 42)) || !step(box->MouseMove(6, 6, true)) || !step(box->LeftUp(72, 42))) return;
  if (!step(box->DoubleClick(6, 6)) || !step(box->RightDown(6, 6)) || !step(box->RightUp(1, 1))) return;
  if (!step(box->MouseMove(42, 82, false))) return;
  host.cursorOver = false;
  for (int i = 0; i < 60; ++i) {
    host.now += 5;
    if (box->Tick() == Outcome::kBoxGone) return;
    host.cursorOver = i % 2 == 0;
    if (i % 7 == 0 && !step(box->MouseMove(i, i, i % 3 == 0))) return;
  }
}

void Havoc(Havoc what) {
  bool fired = true;
  for (int n = 1; fired; ++n) {
    FakeHost host;
    auto box = std::make_unique<BoxEngine>(host, 100, 100);
    int count = 0;
    bool gone = false;
    fired = false;
    host.handler = [&](const box_test::Fired& f) {
      EXPECT_FALSE(gone) << "event " << f.event << " after the box was destroyed";
      if (++count != n) return EventResult{true, 1};
      fired = true;
      if (what == Havoc::kBox) {
        gone = true;
        box.reset();
      } else if (what == Havoc::kObject) {
        if (!f.args.empty() && f.event != kEventMouseMove && f.event != kEventWatchKey)
          box->DestroyObject(f.args[0]);
      } else {
        std::vector<int32_t> ids;
        for (const BoxObject* o : box->Objects()) ids.push_back(o->id);
        for (int32_t id : ids) box->DestroyObject(id);
      }
      return EventResult{true, 1};
    };
    RunScene(host, box);
    // An object left without references, or a reference left without its object, shows here.
    if (box && box->Objects().empty()) {
      EXPECT_EQ(box->Pool().EntryCount(), 0u);
    }
  }
}

TEST(BoxReentry, TheSceneFiresEveryKindOfEvent) {
  FakeHost host;
  auto box = std::make_unique<BoxEngine>(host, 100, 100);
  RunScene(host, box);
  std::set<int32_t> kinds;
  for (const auto& f : host.events) kinds.insert(f.event);
  for (int32_t e = kEventLeftDown; e <= kEventWatchKey; ++e) EXPECT_TRUE(kinds.contains(e)) << e;
}

TEST(BoxReentry, HandlersMayDestroyTheBoxAtAnyEvent) { Havoc(Havoc::kBox); }
TEST(BoxReentry, HandlersMayDestroyTheObjectConcernedAtAnyEvent) { Havoc(Havoc::kObject); }
TEST(BoxReentry, HandlersMayDestroyEveryObjectAtAnyEvent) { Havoc(Havoc::kEveryObject); }

}  // namespace
