// The progress schedule of the repair run.
#include "app/repair_progress.h"

namespace app {
namespace {

constexpr uint32_t kFirstFrameSeconds = 2;  // whole seconds before the first frame
constexpr uint32_t kWorkerSeconds = 90;     // beyond this, the worker is ended

}  // namespace

TickPlan ProgressSchedule::OnTick(std::optional<uint32_t> elapsedMs) {
  TickPlan plan;
  if (!elapsedMs) return plan;
  const uint32_t seconds = *elapsedMs / 1000;
  if (seconds >= kFirstFrameSeconds) {
    if (step_ >= kProgressFrameCount) {
      plan.finished = true;
    } else {
      plan.frame = ++step_;
    }
  }
  plan.recompose = true;
  plan.endWorker = seconds > kWorkerSeconds;
  return plan;
}

}  // namespace app
