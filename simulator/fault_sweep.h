// The fault sweep: every fallible platform operation failed once, at every one of its calls, in
// each of the given scenarios, and each run held to what a run without the fault leaves.
#pragma once

namespace scenario {

// `orvo-sim --sweep [--jobs N] [--most M] FILE.scn ...`; returns the exit status (0 when every run
// survived, 1 when one did not, 2 for a mistake in a scenario or the arguments).
int runFaultSweep(int argc, char** argv);

}  // namespace scenario
