// orvo-sim --window: the simulated screen in a window on the host's display, used with the mouse
// as the pen while simulated time runs with the clock.
#pragma once

#include <string>

namespace scenario {

struct WindowOptions {
    int scale = 2;         // magnification of the screen
    bool paused = false;   // simulated time stands still until P is pressed
    std::string scenario;  // run first, when given ("-" reads standard input)
};

// Returns the exit status: 0 when the person quit, 2 when there is no display or the scenario
// had a mistake, 1 when one of its expects failed.
int runWindow(const WindowOptions& options);

// The keys, as the usage text names them.
const char* windowKeysHelp();

}  // namespace scenario
