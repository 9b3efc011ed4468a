// Messages and the queue: sent and posted messages, the message loop of simulated threads.
#pragma once

#include <functional>

#include "classes_and_windows.h"
#include "sim_types.h"

namespace sim {

// The message loop helpers of simulated threads: waits for and returns the next message of the
// calling thread; `extraWake` ends the wait early (returning false) for modal loops.
bool nextMessage(MSG* msg, const std::function<bool()>& extraWake);

// Calls the window's procedure as the window manager does for a message. A procedure whose
// process has ended is not called: that is a fault (an event line, and the scenario fails).
LRESULT callWindowProc(Window* w, UINT message, WPARAM wParam, LPARAM lParam);

// SendMessageW and PostMessageW as the device's own parts use them (a control telling its dialog,
// a menu handing its choice on, the notification area passing on a tap): never failed by a
// fault injected into the program's calls, and not counted among them.
LRESULT sendMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL postMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sim
