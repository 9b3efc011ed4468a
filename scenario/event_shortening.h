// Shortening a failing list of events (delta debugging): what a monkey's failing seed is printed as.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace scenario {

// The shortest list found by removing chunks of `events` (halves, then quarters, ...) while
// `stillFails` holds for what is left, each candidate tried once; at most `budget` candidates are
// tried (`*tries` counts them). The events keep their order. `stillFails` is expected to hold for
// `events` itself.
std::vector<std::string> shortenEvents(std::vector<std::string> events,
                                       const std::function<bool(const std::vector<std::string>&)>& stillFails,
                                       int budget, int* tries);

}  // namespace scenario
