// Timers: the windows' timers as the clock sees them.
#pragma once

#include <cstdint>
#include <vector>

#include "sim_types.h"

namespace sim {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    uint64_t due;
    bool signaled;
    TIMERPROC proc;
};

// Timers: the driver's view, for advancing the clock.
std::vector<Timer>& timers();

// SetTimer as the device's own parts use it: never failed by a fault injected into the program's
// calls, and not counted among them.
UINT_PTR setTimerInternal(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc);

}  // namespace sim
