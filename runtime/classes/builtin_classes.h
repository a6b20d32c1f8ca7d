// The portable half of the core library's classes `window`, `Button` and `Timer`: their
// property tables (value kinds and states), their class states, and how each class property
// is read from and written into the class's stored properties. The Win32 half (creating the
// windows and applying changes to them) is in window_class_win.cpp, button_win.cpp and
// timer_win.cpp.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/forms/unit_class.h"
#include "runtime/templates/class_blocks.h"

namespace runtime {

// Class numbers of the core library (the low half of the type references).
inline constexpr uint32_t kCoreWindowClass = 1;
inline constexpr uint32_t kCoreButtonClass = 11;
inline constexpr uint32_t kCoreTimerClass = 32;
inline constexpr uint32_t kCoreClassCount = 32;

inline constexpr uint32_t kWindowClassState = kClassIsWindow;
inline constexpr uint32_t kButtonClassState = kClassRaisesEvents;
inline constexpr uint32_t kTimerClassState = kClassRaisesEvents | kClassNeverShown;

std::span<const PropertyInfo> WindowPropertyTable();
std::span<const PropertyInfo> ButtonPropertyTable();
std::span<const PropertyInfo> TimerPropertyTable();

// Class property k (index − kFirstClassProperty) of stored properties; an unknown k gives an empty value.
PropertyValue GetWindowProperty(const WindowProperties& p, int k);
PropertyValue GetButtonProperty(const ButtonProperties& p, int k);
PropertyValue GetTimerProperty(const TimerProperties& p, int k);

// Stores a new value of class property k, choices clamped to their ranges. False for an
// unknown k (nothing changes).
bool SetWindowProperty(WindowProperties& p, int k, const PropertyValue& value);
bool SetButtonProperty(ButtonProperties& p, int k, const PropertyValue& value);
bool SetTimerProperty(TimerProperties& p, int k, const PropertyValue& value);

}  // namespace runtime
