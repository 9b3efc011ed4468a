#include "scenario.h"

#include <iostream>
#include <sstream>

#include "device.h"
#include "invariants.h"
#include "scheduler.h"
#include "world.h"

namespace scenario {

std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> table;
    return table;
}

void settle() {
    for (;;) {
        sim::runUntilIdle();
        if (!sim::world().resetRequested) break;
        sim::world().resetRequested = false;
        sim::warmReset();
    }
    sim::checkTaskbarInvariant();
}

void runCommand(const std::string& line, Outcome& outcome) {
    std::vector<Token> tokens = tokenize(line);
    if (tokens.empty()) return;
    if (tokens[0].quoted) throw ScenarioError("a command cannot be a string");
    std::string name = tokens[0].bare;
    auto it = commands().find(name);
    if (it == commands().end()) throw ScenarioError("unknown command " + name);
    Args args(name, std::vector<Token>(tokens.begin() + 1, tokens.end()));
    it->second(args, outcome);
    settle();
}

int runScenario(std::istream& in, const std::string& fileName) {
    std::string line;
    int lineNumber = 0;
    size_t faultsSeen = 0;
    Outcome outcome;
    while (std::getline(in, line)) {
        ++lineNumber;
        try {
            runCommand(line, outcome);
        } catch (const ScenarioError& e) {
            std::cout.flush();
            std::cerr << fileName << ":" << lineNumber << ": " << e.what() << std::endl;
            return 2;
        }
        // A fault the device caught fails the scenario, whatever its expected log says.
        for (; faultsSeen < sim::world().faults.size(); ++faultsSeen) {
            std::cerr << fileName << ":" << lineNumber << ": fault: " << sim::world().faults[faultsSeen] << std::endl;
        }
    }
    if (!sim::world().faults.empty()) return 3;
    return outcome.expectFailed ? 1 : 0;
}

}  // namespace scenario
