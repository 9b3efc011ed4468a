// The scenario commands of orvo-sim and the loop that runs them.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "scenario/scenario_syntax.h"

namespace scenario {

// Outcome of an expect command.
struct Outcome {
    bool expectFailed = false;
};

using Command = std::function<void(Args&, Outcome&)>;

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
