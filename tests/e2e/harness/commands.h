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

}  // namespace e2e
