// The repair run on Windows: the worker thread, the clock's tick and the two looks it shows.
#include "app/repair_run_win.h"

#include <windows.h>

#include <vector>

#include "app/layout.h"
#include "app/main_window_win.h"
#include "app/repair_commands_win.h"
#include "app/repair_progress.h"
#include "app/services/services.h"
#include "assets/assets.h"
#include "runtime/entry_points.h"
#include "runtime/entry_points_win.h"

namespace app {
namespace {

constexpr int32_t kTop = 1, kDisabled = 6;

RepairState gRepair;
ProgressSchedule gProgress;  // window thread only
// The repair control as the click found it: the worker's copy, made before the thread starts,
// so that a rebuild of the look on the window's thread never races with the worker's read.
skin::PngControl gWorkerRepairControl;

// The busy image's bytes, copied for the worker before it starts. Never freed: the program may
// end (its exit routine frees the skin folder's byte-sets) while the worker still uses them.
std::vector<uint8_t>& WorkerBusyImage() {
  static auto* bytes = new std::vector<uint8_t>;
  return *bytes;
}

// A monotonic millisecond clock: the progress is driven by time since the start, which a
// change of the local clock (the repair itself may set it) must not stall or jump.
uint32_t NowMs() { return GetTickCount(); }

// The finished look comes on every tick, long after the button has gone: a handle value the
// system has since given to another window is not ours to close.
void CloseButtonWindow(const skin::PngControl& control) {
  const HWND button = reinterpret_cast<HWND>(control.GetWindowHandle());
  const HWND window = reinterpret_cast<HWND>(
      services::GetUnitHandle(runtime::UnitReference(kMainWindow, kMainWindowUnit, runtime::kClassWindow)));
  if (button && window && IsChild(window, button)) runtime::kSendMessageA(button, WM_CLOSE, 0, 0);
}

}  // namespace

void StartRepair() {
  // A second click before the worker has disabled the button would issue the list again.
  if (!gRepair.TryBegin()) return;
  gWorkerRepairControl = Skin().repair;
  const ImageBytes busy = ProgramSkinImages().Resolve(kRepairBusy);
  WorkerBusyImage().assign(busy.begin(), busy.end());
  if (services::StartThread(RepairWorker)) return;
  // No worker: the button works again, and the fault is said as every runtime fault is.
  gRepair.CancelBegin();
  runtime::RuntimeErrorMessage("The repair could not start: no thread could be created.");
}

void RepairWorker() {
  gWorkerRepairControl.SetStateImagesFromBytes(WorkerBusyImage());
  runtime::WriteIntProperty(kMainWindow, kRepairButton, kDisabled, 1);
  gRepair.MarkRunning(NowMs());
  RunRepairCommands();
}

void OnProgressTick() {
  const std::optional<uint32_t> start = gRepair.StartMs();
  const TickPlan plan = gProgress.OnTick(start ? std::optional(ElapsedMs(*start, NowMs())) : std::nullopt);
  if (plan.frame) ShowProgressFrame(plan.frame);
  if (plan.finished) ShowRepairFinished();
  if (plan.recompose) Skin().main.AdoptControls();
  // The worker stops before its next line; ending a thread from outside could leave the heap
  // or the loader locked.
  if (plan.endWorker) ProgramRepairCommands().RequestStop();
}

void ShowProgressFrame(int n) {
  // The frames are an array indexed from 1; the tick never asks for another n.
  if (n < 1) runtime::RuntimeError(runtime::kErrorIndexBelowOne);
  if (n > kProgressFrameCount) runtime::RuntimeError(runtime::kErrorIndexAboveSize);
  Skin().logo.SetStateImagesFromBytes(assets::ProgressFrame(n));
  Skin().main.AdoptControls();
}

void ShowRepairFinished() {
  ProgramSkin& skin = Skin();
  SkinImages& images = ProgramSkinImages();
  skin.main.SetBackImageFromBytes(images.Resolve(kBackground2));
  SetDecodedStateImages(skin.finish, images.ResolveSet(kEndNormal));
  CloseButtonWindow(skin.repair);
  runtime::WriteIntProperty(kMainWindow, kFinishButton, kTop,
                            runtime::ReadIntProperty(kMainWindow, kRepairButton, kTop));
  runtime::WriteIntProperty(kMainWindow, kFinishButton, kDisabled, 0);
  CloseButtonWindow(skin.logo);
  skin.main.AdoptControls();
  services::RefreshUnit(runtime::UnitReference(kOverlayWindow, kOverlayWindowUnit, runtime::kClassWindow));
}

}  // namespace app
