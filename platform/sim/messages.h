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
// Runs `proc`, code of `owner` (nullptr: the simulator's own), for window `w` on the calling
// thread: a call into an ended process is a fault, and a call from another process's thread is
// counted while it runs (Process::foreignActivations).
LRESULT runProcedure(Process* owner, const Window* w, WNDPROC proc, UINT message, WPARAM wParam, LPARAM lParam);
// A process has ended: a procedure of it still running on another process's thread (and so
// returned into once it returns from what it called) is a fault.
void endProcessCode(Process& process);

// SendMessageW and PostMessageW as the device's own parts use them (a control telling its dialog,
// a menu handing its choice on, the notification area passing on a tap): never failed by a
// fault injected into the program's calls, and not counted among them.
LRESULT sendMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL postMessageInternal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sim
