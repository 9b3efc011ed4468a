// The monkey: seeded random events of a person, the device and other programs, with the
// simulated device's invariants checked after each; a failing seed is shortened into a scenario.
#pragma once

namespace scenario {

// `orvo-sim --monkey SEED [--steps N] [--seeds K] [--print]`: plays N events (default 500) for
// each of the seeds SEED .. SEED + K - 1 (default one seed), each seed on a fresh simulated device
// in a process of its own; --print prints each seed's events as a scenario. Returns 0 when every seed ran through, 3 when one found a fault (printed as
// a shortened scenario), 2 for bad arguments.
int runMonkey(int argc, char** argv);

}  // namespace scenario
