// The message loop: idle callbacks while the queue is empty, then each message through the
// runtime's input pre-processing (dragging by the background, Esc, Enter and F1) before it is
// dispatched.
#pragma once

#include <windows.h>

namespace runtime {

// Runs until the quit message arrives, or, for a modal window, until that window is gone (the
// quit message is then posted again for the outer loop).
void RunLoop(HWND modalWindow);
// Handles every waiting message except the quit message.
void ProcessWaitingMessages();
// The runtime's look at a mouse or key message before it is dispatched; true when it used it
// up.
bool PreprocessInput(const MSG& message);
// A posted message that only another process can have posted: WM_NOTIFY, and a WM_COMMAND
// that names a control. The loop drops it.
bool ForgedPostedMessage(const MSG& message);
// For a WM_TIMER that names a callback: calls the callback this process set for that window
// and timer id, if any, and says the message is handled. False for every other message.
bool DeliverTimerCallback(const MSG& message);

}  // namespace runtime
