// Reading a scenario file line by line, shared by every runner of scenarios. A file that cannot
// be read to its end is a mistake in the scenario, never a short scenario that "passed".
#pragma once

#include <fstream>
#include <istream>
#include <string>

#include "scenario/scenario_syntax.h"

namespace scenario {

// Opens a scenario file: "" when it opened, else what is wrong (a directory, a missing or
// unreadable file), for a `FILE:0:` message.
std::string openScenarioFile(const std::string& path, std::ifstream* in);

class ScenarioReader {
public:
    explicit ScenarioReader(std::istream& in) : in_(in) {}
    // The next line, without its line end; false at the end of the file. A read error is a
    // ScenarioError at the line that could not be read.
    bool next(std::string* line);
    // The number of the line last returned (or that failed to read), counted from 1.
    int lineNumber() const { return lineNumber_; }

private:
    std::istream& in_;
    int lineNumber_ = 0;
};

}  // namespace scenario
