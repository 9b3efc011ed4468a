// Other programs that replace the taskbar's window procedure, as utilities beside Orvo do: each
// puts a procedure of its own on the taskbar that passes every message on to the procedure it
// replaced, can later put that one back, and ends.
#pragma once

#include <string>
#include <vector>

#include "sim_api.h"
#include "scenario/taskbar_hookers.h"  // after the platform's declarations

namespace sim {

// Carries out the action of the other program NAME (started by its first hook). Returns "" when
// done, or what made it impossible (a mistake in the scenario).
std::string taskbarHooker(const std::u16string& name, scenario::HookerAction action);

// The other programs of that kind that run now, with whether their procedure is on the taskbar.
struct RunningHooker {
    std::u16string name;
    bool hooked = false;
};
std::vector<RunningHooker> runningHookers();
// How many such programs have started so far (names are never taken again).
int hookersStarted();

// Whose procedure the taskbar runs first: "shell", "orvo", or another program's name in quotes.
std::string taskbarProcedureOwner();

}  // namespace sim
