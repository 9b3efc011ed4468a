// The scenario commands of orvo-sim and the loop that runs them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scenario/scenario_syntax.h"

namespace scenario {

// Outcome of expect commands: whether one failed, and what the failures of the command now
// running expected and found, for the runner to report with the scenario's file and line.
struct Outcome {
    bool expectFailed = false;
    std::vector<std::string> failures;
};

using Command = std::function<void(Args&, Outcome&)>;

// An `expect` that does not hold: the log says `expect failed: FOUND`, and the runner reports the
// expectation and what was found with the scenario's file and line.
void check(Outcome& o, bool ok, const std::string& found, const Args& a);

// The checks of `expect WHAT ...` kept apart from the observation commands, by WHAT.
std::map<std::string, Command>& expectChecks();

struct ExpectRegistrar {
    ExpectRegistrar(const std::string& name, Command command) { expectChecks()[name] = std::move(command); }
};

std::map<std::string, Command>& commands();

struct Registrar {
    Registrar(const std::string& name, Command command) { commands()[name] = std::move(command); }
};

// Lets every simulated program run until all are idle, and carries out a reset that one asked for.
void settle();

// Runs one command line of the scenario language, then lets the programs settle; a mistake
// throws ScenarioError.
void runCommand(const std::string& line, Outcome& outcome);

// Runs a whole scenario; returns the exit status.
int runScenario(std::istream& in, const std::string& fileName);

}  // namespace scenario
