// Events: the frame an event source fills and hands to the dispatcher, and the event indexes
// of the built-in classes.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/templates/window_template.h"

namespace runtime {

struct EventFrame {
  // The frame of an event of a unit with its arguments (which must outlive the frame's use).
  static EventFrame Of(uint32_t windowId, uint32_t unitId, int32_t eventIndex,
                       std::span<const int32_t> arguments) {
    EventFrame frame;
    frame.windowId = windowId;
    frame.unitId = unitId;
    frame.eventIndex = eventIndex;
    frame.argumentCount = static_cast<uint32_t>(arguments.size());
    frame.arguments = arguments.data();
    return frame;
  }

  uint32_t windowId = 0;
  uint32_t unitId = 0;  // 0: the window's own unit
  int32_t eventIndex = 0;
  uint32_t argumentCount = 0;
  const int32_t* arguments = nullptr;
  uint32_t returnedValue = 0;  // set when the handler returned a value
  int32_t value = 0;

  int32_t Argument(uint32_t i) const { return i < argumentCount ? arguments[i] : 0; }
  // What a handler calls to return a value to the event source.
  void Return(int32_t result) {
    returnedValue = 1;
    value = result;
  }
  // A returned false (0) refuses what the event asks (closing, for events 12 and 1).
  bool Refused() const { return returnedValue && value == 0; }
};

// Events common to every class.
inline constexpr int32_t kEventGotFocus = -7;
inline constexpr int32_t kEventLostFocus = -8;

// Events of the window class.
enum WindowEvent : int32_t {
  kWindowEventCreated = 0,
  kWindowEventClosing = 1,
  kWindowEventDestroyed = 2,
  kWindowEventMoved = 3,
  kWindowEventResized = 4,
  kWindowEventActivated = 5,
  kWindowEventDeactivated = 6,
  kWindowEventFirstActivated = 8,
  kWindowEventTrayIcon = 9,
  kWindowEventShown = 10,
  kWindowEventHidden = 11,
  kWindowEventCloseRequested = 12,
};

inline constexpr int32_t kButtonEventClicked = 0;
inline constexpr int32_t kTimerEventElapsed = 0;

}  // namespace runtime
