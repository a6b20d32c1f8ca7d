// Support for the form runtime's tests under Wine: the runtime started once per process on the
// tests' own template block, with the real built-in classes and components, every event of
// every unit bound to a recorder, and a message loop run with scheduled actions and a watchdog.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "runtime/entry_points_win.h"
#include "runtime/forms/events.h"
#include "runtime/forms/form_runtime.h"

namespace forms_test {

struct Seen {
  uint32_t windowId;
  uint32_t unitId;
  int32_t event;
  bool everyUnitLive;  // every unit of the window had its live object
};

// What the recorder saw, in order, and what it does besides recording.
std::vector<Seen>& SeenEvents();
extern std::function<void(runtime::EventFrame&)> gOnEvent;
// The events of one unit (unit id 0 or the window's own id both mean the window).
std::vector<int32_t> EventsOf(uint32_t windowId, uint32_t unitId);

// The image of a program with the test layout: the built-in classes' library, the components'
// two libraries at their places among six, and a routine that does nothing for every handler
// reference the block stores.
runtime::ProgramImage TestImage();

// Starts the runtime once for the process, then (each time) reloads the program's templates
// with every event bound to the recorder and forgets what was recorded.
void StartFresh();
// Destroys every window and empties the message queue (the quit message included).
void CleanUp();

// Runs an action from the message loop after a delay.
void After(UINT milliseconds, std::function<void()> action);
// Runs the runtime's message loop; a watchdog destroys every window after the time. False when
// the watchdog had to end it.
bool RunLoopWithin(UINT milliseconds);

HWND Handle(uint32_t windowId, uint32_t unitId);

}  // namespace forms_test
