// The runner's table of scenario commands.
#pragma once

#include <functional>
#include <string>

#include "tests/e2e/harness/harness.h"

namespace e2e {

struct Outcome {
    bool expectFailed = false;
};

using Command = std::function<void(scenario::Args&, Outcome&)>;

const Command* findCommand(const std::string& name);

// `screenshot`: the real screen written as a PNG file.
void takeScreenshot(scenario::Args& a);

}  // namespace e2e
