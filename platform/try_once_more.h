// The program's one rule for a platform call that fails: it is made again only where that one
// failure would do lasting harm (a setting changed or lost, pixels left on the shell's taskbar,
// code left callable by the shell, no way to reach a menu or to end the program). Every use names
// that harm on the line above it; everywhere else a failure has the outcome its caller gives it.
#pragma once

// Runs `attempt` (a callable returning true on success); when it fails, runs it once more.
// Returns whether the last run succeeded. Never more than two runs: a call that fails twice
// fails for good, and trying on would only hold the program up.
template <class Attempt>
bool tryOnceMore(Attempt attempt) {
    if (attempt()) return true;
    return attempt();
}
