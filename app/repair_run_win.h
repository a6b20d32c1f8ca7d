// The repair run: the repair button's click starts a worker that marks the start and issues
// the command list; the window's clock steps 13 progress frames on the logo area from two
// seconds after the start, then shows the finished look.
#pragma once

namespace app {

// Click on the repair button. Starts the worker once; later clicks start nothing.
void StartRepair();
// The worker thread's routine.
void RepairWorker();
// The clock's tick, every 1200 ms from the main window's creation.
void OnProgressTick();
// Progress frame n (1..13) on the logo area; any other n is a runtime error.
void ShowProgressFrame(int n);
// The finished look: its background, the finish button in the repair button's place, enabled,
// and no repair or logo button.
void ShowRepairFinished();

}  // namespace app
