// Timers: a window's timers, their periods, and the driver's view of them for advancing the clock.
#include "timers.h"

#include <algorithm>

#include "classes_and_windows.h"
#include "sim_api.h"

namespace sim {
namespace {

std::vector<Timer> gTimers;

bool isProgramCaller() {
    Process* p = currentProcess();
    return p && p->isProgram;
}

}  // namespace

std::vector<Timer>& timers() { return gTimers; }

}  // namespace sim

using namespace sim;

UINT_PTR SetTimer(HWND handle, UINT_PTR id, UINT ms, TIMERPROC proc) {
    if (isProgramCaller()) logEvent("timer-set " + std::to_string(id) + " " + std::to_string(ms));
    if (shouldFail(Op::SetTimer)) return 0;
    return sim::setTimerInternal(handle, id, ms, proc);
}

UINT_PTR sim::setTimerInternal(HWND handle, UINT_PTR id, UINT ms, TIMERPROC proc) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || w->thread != currentThread()) return 0;
    // The device takes the period as given: no desktop minimum of 10 ms and no maximum. The
    // simulated clock moves in whole milliseconds, so a period of 0 comes due every millisecond.
    UINT period = std::max<UINT>(ms, 1);
    uint64_t due = world().clockMs + period;
    for (auto& t : gTimers) {
        if (t.window == handle && t.id == id) {
            t.period = period;
            t.due = due;
            t.signaled = false;
            t.proc = proc;
            return id;
        }
    }
    gTimers.push_back(Timer{handle, id, period, due, false, proc});
    return id;
}

BOOL KillTimer(HWND handle, UINT_PTR id) {
    if (isProgramCaller()) logEvent("timer-kill " + std::to_string(id));
    if (shouldFail(Op::KillTimer)) return FALSE;
    auto it = std::find_if(gTimers.begin(), gTimers.end(), [&](auto& t) { return t.window == handle && t.id == id; });
    if (it == gTimers.end()) return FALSE;
    if (it->period == INFINITE) return FALSE;  // the device's rule: such a timer cannot be killed
    gTimers.erase(it);
    return TRUE;
}

