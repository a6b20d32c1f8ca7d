// Messages this process sends or posts to its own windows, told apart from the same messages
// from anywhere else. Any process on the desktop can post or send a window of this one any
// message, with any parameters, so a message whose meaning is "do this" only wakes its window:
// the window acts when this process recorded that very request, and takes the record. The same
// goes for timers that name a callback: the message loop calls only a callback this process
// set for that window and timer id.
#pragma once

#include <windows.h>

namespace runtime {

// Records the request and posts it; false (nothing recorded) when posting failed.
bool PostOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Records the request, sends it and drops the record when the window did not take it.
LRESULT SendOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// For the window that received the message: true, and the record gone, when this process
// recorded exactly this request for it.
bool TakeOwnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// SetTimer with a callback, recorded as (window, id, callback): for a window of this process,
// or with no window for a timer of the calling thread (the system then chooses the id). The id
// in use, 0 when it was refused.
UINT_PTR SetCallbackTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback);
// KillTimer, and the record dropped.
bool KillCallbackTimer(HWND window, UINT_PTR id);
// The callback recorded above for the window (nullptr for a thread's timer) and id; nullptr
// when there is none. The message loop calls it for a WM_TIMER that names a callback, and never
// the lParam itself: that is whatever the sender put there (and under Wine not even the
// callback's address for a genuine timer).
TIMERPROC OwnCallbackTimer(HWND window, UINT_PTR id);

// Drops every request and timer recorded for a window at its end (its handle value may be
// reused by a window of another process, or of this one).
void ForgetOwnMessages(HWND window);

}  // namespace runtime
