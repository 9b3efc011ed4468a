// The runner's table of scenario commands.
#pragma once

#include <functional>
#include <string>

#include "tests/e2e/harness/harness.h"

namespace e2e {

// Whether an expect failed, and what the failures of the command now running expected and
// found, for the runner to report with the scenario's file and line (as the simulator does).
struct Outcome {
    bool expectFailed = false;
    std::vector<std::string> failures;
};

using Command = std::function<void(scenario::Args&, Outcome&)>;

const Command* findCommand(const std::string& name);

// `screenshot`: the real screen written as a PNG file.
void takeScreenshot(scenario::Args& a);

}  // namespace e2e
