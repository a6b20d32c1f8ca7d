// What the repair run shares between its worker and the window's clock, and the time-driven
// schedule of the progress display: from two seconds after the start one frame per tick, 13 in
// all, then the finished look on every later tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

namespace app {

inline constexpr int kProgressFrameCount = 13;

// The repair's start as the worker records it and the clock reads it. The start time is
// stored before the running flag is released, and the clock acquires the flag before it reads
// the time, so it never sees a start without its time. Times are milliseconds of a monotonic
// clock (a change of the local clock during the repair moves nothing).
class RepairState {
 public:
  // The click guard: true for the first call only, however many threads ask at once. Once a
  // repair has started, further clicks start nothing.
  bool TryBegin() { return !begun_.exchange(true, std::memory_order_acq_rel); }
  bool Begun() const { return begun_.load(std::memory_order_acquire); }
  // The begun repair could not start its worker: the next click may begin one.
  void CancelBegin() { begun_.store(false, std::memory_order_release); }

  // The worker, once the button shows that the repair runs.
  void MarkRunning(uint32_t startMs) {
    startMs_.store(startMs, std::memory_order_relaxed);
    running_.store(true, std::memory_order_release);
  }
  // The start time once the worker has marked the run; nothing before.
  std::optional<uint32_t> StartMs() const {
    if (!running_.load(std::memory_order_acquire)) return std::nullopt;
    return startMs_.load(std::memory_order_relaxed);
  }

 private:
  std::atomic<bool> begun_{false};
  std::atomic<bool> running_{false};
  std::atomic<uint32_t> startMs_{0};
};

// What one clock tick does.
struct TickPlan {
  int frame = 0;           // 1..13: show this progress frame
  bool finished = false;   // show the finished look
  bool recompose = false;  // recompose the window picture
  bool endWorker = false;  // the worker has had 90 s: it stops at its next line
};

// Steps the progress on the window's thread. Nothing before a repair runs; from the first tick
// at least two whole seconds after the start, the next frame per tick; after the 13th, the
// finished look on every tick. Every tick of a running repair recomposes.
class ProgressSchedule {
 public:
  // elapsedMs: since the start of the repair (wrap-around of the clock allowed), or nothing
  // while no repair runs.
  TickPlan OnTick(std::optional<uint32_t> elapsedMs);
  int step() const { return step_; }

 private:
  int step_ = 0;  // frames shown so far
};

// Milliseconds from start to now of a 32-bit millisecond clock that wraps.
inline uint32_t ElapsedMs(uint32_t start, uint32_t now) { return now - start; }

}  // namespace app
