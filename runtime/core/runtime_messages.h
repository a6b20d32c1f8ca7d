// The runtime's private window messages: what its windows and the hidden owner window answer
// besides the system's messages.
#pragma once

namespace runtime {

inline constexpr unsigned kMessageTrayIcon = 0x8064;
inline constexpr unsigned kMessageDestroySelf = 0x8065;       // DestroyWindowUnit on a window
inline constexpr unsigned kMessageReflectedCommand = 0x8071;  // a parent passes WM_COMMAND to its child
// To the hidden owner window, parameters unused: end the program, or run the work, that a
// thread of this process handed over (process_win.h).
inline constexpr unsigned kMessageEndProgram = 0x83E7;
inline constexpr unsigned kMessageRunOnMainThread = 0x83E8;

}  // namespace runtime
