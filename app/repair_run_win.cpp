// The repair run on Windows: the worker thread, the clock's tick and the two looks it shows.
#include "app/repair_run_win.h"

#include <windows.h>

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
int32_t gRepairThread = 0;   // the worker's handle, kept from its start
// The repair control as the click found it: the worker's copy, made before the thread starts,
// so that a rebuild of the look on the window's thread never races with the worker's read.
skin::PngControl gWorkerRepairControl;

// A monotonic millisecond clock: the progress is driven by time since the start, which a
// change of the local clock (the repair itself may set it) must not stall or jump.
uint32_t NowMs() { return GetTickCount(); }

void CloseButtonWindow(const skin::PngControl& control) {
  if (const HWND button = reinterpret_cast<HWND>(control.GetWindowHandle()))
    runtime::kSendMessageA(button, WM_CLOSE, 0, 0);
}

}  // namespace

void StartRepair() {
  // A second click before the worker has disabled the button would issue the list again.
  if (!gRepair.TryBegin()) return;
  gWorkerRepairControl = Skin().repair;
  services::StartThread(RepairWorker, std::nullopt, &gRepairThread);
}

void RepairWorker() {
  gWorkerRepairControl.SetStateImagesFromBytes(ProgramSkinImages().Resolve(kRepairBusy));
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
  // The result is ignored: once the worker has ended, this does nothing.
  if (plan.endWorker) services::ForceEndThread(gRepairThread);
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
