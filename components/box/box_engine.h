// The animation box's engine: the scene of sprite objects, the 5 ms frame loop (GIF playback,
// auto-rotate, auto-forward along an angle or a path, expiry), moves with their edge and
// collision checks, hit testing, object-level mouse events, watched keys and the steered
// object. Time, input state, invalidation, events and sounds come through BoxHost, so the
// engine runs the same on a window timer and under a test's fake clock.
//
// Re-entrancy: every event handler may destroy the box (the engine itself) or any object. After
// each event the engine checks first whether it still exists (box gone: it returns at once
// without touching its state), then whether the object concerned is still in the list (object
// gone: the rest of that object's processing is skipped). Every operation passes both outcomes
// up. Objects are therefore always named by identifier across an event, never by pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "components/box/box_collision_grid.h"
#include "components/box/box_object.h"
#include "components/box/resource_pool.h"
#include "components/image/blend.h"
#include "components/image/pixel_tests.h"

namespace components {

enum class Outcome { kDone, kBoxGone, kObjectGone };

// What a handler gave back: whether it returned a value, and the value.
struct EventResult {
  bool hasResult = false;
  int32_t value = 0;
};

// Event indexes of the box.
enum BoxEvent : int {
  kEventLeftDown,
  kEventRightDown,
  kEventLeftUp,
  kEventRightUp,
  kEventDoubleClick,
  kEventEnter,
  kEventLeave,
  kEventMouseMove,
  kEventMoving,
  kEventMoved,
  kEventDestroying,
  kEventCollided,
  kEventTouchedEdge,
  kEventLeftBox,
  kEventForwardStopped,
  kEventRotateStopped,
  kEventPlayed,
  kEventWatchKey,
};

class BoxHost {
 public:
  virtual ~BoxHost() = default;
  virtual uint32_t Now() = 0;  // the tick count in milliseconds; wraps after 49.7 days
  virtual bool KeyDown(int32_t virtualKey) = 0;
  virtual int32_t Modifiers() = 0;   // 1 Ctrl, 2 Shift, 4 Alt held
  virtual bool CursorOverBox() = 0;  // whether the window under the mouse cursor is the box
  virtual void Invalidate(const Rect& area) = 0;
  virtual void RepaintNow() = 0;  // paints the pending invalidated area at once
  virtual void PlaySound(std::span<const uint8_t> bytes) = 0;
  // Runs the application's handler of the event, which may destroy the box or any object.
  virtual EventResult Fire(int32_t event, std::span<const int32_t> args) = 0;
};

struct WatchKey {
  int32_t key = 0;
  int32_t interval = 0;  // milliseconds between two reports
  uint32_t lastReport = 0;
};

struct Steering {
  int32_t object = 0;  // 0 when none
  int32_t step = 0;
  int32_t interval = 0;
  bool blocking = false;  // do not move into a colliding object
  int32_t afterMove = 0;  // 0 nothing, 1 play the GIF once, 2 advance one frame
  int32_t keys[6] = {};   // up/forward, down/backward, left, right, turn left, turn right
  uint32_t lastMove = 0;
};

class BoxEngine {
 public:
  BoxEngine(BoxHost& host, int32_t clientWidth, int32_t clientHeight);
  ~BoxEngine();
  BoxEngine(const BoxEngine&) = delete;
  BoxEngine& operator=(const BoxEngine&) = delete;

  void Resize(int32_t clientWidth, int32_t clientHeight);
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // --- The command surface. Objects are named by identifiers > 0 that the box allocates and
  // never reuses while it lives; operations on an identifier that names no object do nothing.

  // A new object from a template at (x, y), on top of the objects of its layer. Its create
  // sound is played. Returns its identifier.
  int32_t CreateObject(const ObjectTemplate& from, double x, double y);
  Outcome DestroyObject(int32_t id);
  void Show(int32_t id, bool shown);
  Outcome SetPosition(int32_t id, double x, double y);
  Outcome SetAngle(int32_t id, int32_t degrees);
  void SetRotateFollow(int32_t id, bool on);
  // One straight step of `length` pixels along the object's angle, with the edge and collision
  // checks (and their events).
  Outcome StepForward(int32_t id, double length);
  void StartAutoForward(int32_t id, const ForwardSettings& settings);
  Outcome StopAutoForward(int32_t id);
  void StartAutoRotate(int32_t id, int32_t interval, int32_t step, int32_t degrees, int32_t duration);
  Outcome StopAutoRotate(int32_t id);
  void StartGif(int32_t id, int32_t plays, int32_t playInterval, int32_t extraDelay, bool destroyWhenPlayed);
  void SetWatchKeys(std::span<const WatchKey> keys);
  // An identifier or step of 0 or less clears the steering.
  void SetSteering(const Steering& steering);
  const Steering& SteeringState() const { return steering_; }

  // The topmost object with an opaque pixel at (x, y), shown or not; -1 when none.
  int32_t ObjectAt(int32_t x, int32_t y) const;
  // The topmost object that would collide with `id` where it stands (same layer, another type
  // value, both allowing collisions); restricted to objects called `name` when it is not empty.
  // 0 when none.
  int32_t CollidingWith(int32_t id, const std::string& name = {}) const;

  // --- Driving the box.

  // One run of the frame loop (after the default timer processing).
  Outcome Tick();
  Outcome LeftDown(int32_t x, int32_t y);
  Outcome LeftUp(int32_t x, int32_t y);
  Outcome DoubleClick(int32_t x, int32_t y);
  Outcome RightDown(int32_t x, int32_t y);
  Outcome RightUp(int32_t x, int32_t y);
  Outcome MouseMove(int32_t x, int32_t y, bool leftHeld);

  // Blends the shown objects, lowest layer first, into `dst`, which holds the box's pixels of
  // `area` (already filled from the background).
  void Compose(const Rect& area, Surface dst) const;

  // --- State, for the window unit and for tests.
  const BoxObject* Find(int32_t id) const;
  std::span<const BoxObject* const> Objects() const { return {list_.data(), list_.size()}; }
  int32_t Pressed() const { return pressed_; }
  int32_t Hovered() const { return hovered_; }
  const ResourcePool& Pool() const { return pool_; }

  // For tests: the plain ways the fast ones must agree with. Collisions are found by scanning
  // the whole list and repaints blend every object whole.
  void SetReferencePaths(bool on) { referencePaths_ = on; }

  // Frees every object without events and empties the pool, the watch keys, the steering and
  // the mouse state (the window is being destroyed).
  void Clear();

 private:
  using Args = std::initializer_list<int32_t>;
  // Fires an event and says what became of the box and of object `id` (0: none concerned).
  Outcome Fire(int32_t event, Args args, int32_t id, EventResult* result = nullptr);
  BoxObject* Get(int32_t id);
  BoxObject* Lookup(int32_t id) const;
  void InvalidateObject(const BoxObject& o);
  void Rerender(BoxObject& o);
  void ComposeEach(const Rect& area, Surface dst) const;
  void FreeObject(BoxObject* o);

  Outcome MoveWithChecks(int32_t id, double x, double y, int* flags);
  Outcome StraightStep(int32_t id, double length, int* flags);
  Outcome PathStep(int32_t id, double budget, int* flags);
  BoxObject* CollisionAt(const BoxObject& o, int32_t x, int32_t y, const std::string* name = nullptr) const;
  BoxObject* CollisionScan(const BoxObject& o, int32_t x, int32_t y, const FrameView& view,
                           const std::string* name) const;

  Outcome TickObject(size_t i, bool* gone);
  Outcome PlayGif(int32_t id, uint32_t now);
  Outcome RotateStep(int32_t id, uint32_t now);
  Outcome ForwardStep(int32_t id, uint32_t now);
  Outcome WatchKeys(uint32_t now);
  Outcome SteerStep(int k);
  Outcome CheckPressed();

  BoxHost& host_;
  std::shared_ptr<bool> alive_;
  int32_t width_, height_;
  // Ascending layer order; new objects go on top of their layer, so within a layer the
  // identifiers ascend too (the collision index counts on it).
  std::vector<BoxObject*> list_;
  std::unordered_map<int32_t, std::unique_ptr<BoxObject>> byId_;  // owns the objects
  mutable BoxObject* found_ = nullptr;  // the object Lookup found last, while it lives
  int32_t nextId_ = 1;
  ResourcePool pool_;
  int32_t pressed_ = 0;
  int32_t hovered_ = 0;
  std::vector<WatchKey> watchKeys_;
  Steering steering_;
  CollisionGrid grid_;
  // Scratch of the searches and repaints, which fire no events.
  mutable std::vector<CollisionGrid::Candidate> near_;
  struct Drawn {
    const Frame* frame;
    int32_t width;            // of the frame's rows
    int64_t x, y;             // the object's top-left corner in the buffer
    int32_t a;                // the object's transparency, 0..255
    size_t firstSpan, spans;  // in spanScratch_: the rows with something left to blend
  };
  struct Span {
    int32_t y, left, right;  // in the buffer
  };
  // The longest run of pixels that replace what lies below, per row of a frame.
  struct Run {
    int32_t left, right;
  };
  // Pixels replaced, a bit each: word w of row y at w * height + y, so that the words of an
  // object's rows lie together.
  mutable std::vector<uint64_t> coverScratch_;
  mutable std::vector<Span> spanScratch_;
  mutable std::vector<Drawn> drawScratch_;
  mutable std::vector<Run> runScratch_;
  mutable std::unordered_map<const Frame*, size_t> runsOf_;  // frame -> first row in runScratch_
  bool referencePaths_ = false;
};

// Milliseconds from `since` to `now` on the wrapping tick count.
constexpr int64_t Elapsed(uint32_t now, uint32_t since) { return static_cast<int32_t>(now - since); }
// Whether the tick count `now` has reached `deadline`, across the wrap.
constexpr bool Reached(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

// A tick count for a field where 0 means "none": the one millisecond in 49.7 days when the
// count is 0 becomes 1.
constexpr uint32_t TickOrOne(uint32_t tick) { return tick != 0 ? tick : 1; }

// Angles kept in 0..359.
constexpr int32_t NormalAngle(int64_t degrees) {
  const int32_t a = static_cast<int32_t>(degrees % 360);
  return a < 0 ? a + 360 : a;
}

// A position truncated toward zero, held within the 32-bit range (NaN gives 0). Inline: the
// collision search truncates every other object's position.
inline int32_t TruncPosition(double v) {
  if (v > -2147483648.0 && v < 2147483647.0) return static_cast<int32_t>(v);
  if (v >= 2147483647.0) return 2147483647;
  return v <= -2147483648.0 ? -2147483647 - 1 : 0;
}

}  // namespace components
