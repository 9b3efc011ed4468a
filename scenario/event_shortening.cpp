#include "scenario/event_shortening.h"

#include <algorithm>

namespace scenario {

std::vector<std::string> shortenEvents(std::vector<std::string> events,
                                       const std::function<bool(const std::vector<std::string>&)>& stillFails,
                                       int budget, int* tries) {
    size_t parts = 2;
    while (events.size() >= 2 && *tries < budget) {
        size_t chunk = (events.size() + parts - 1) / parts;
        bool reduced = false;
        for (size_t start = 0; start < events.size() && *tries < budget; start += chunk) {
            // The list without one chunk.
            std::vector<std::string> rest(events.begin(), events.begin() + static_cast<long>(start));
            rest.insert(rest.end(), events.begin() + static_cast<long>(std::min(events.size(), start + chunk)), events.end());
            if (rest.empty()) continue;
            ++*tries;
            if (stillFails(rest)) {
                events = rest;
                parts = std::max<size_t>(parts - 1, 2);
                reduced = true;
                break;
            }
        }
        if (!reduced) {
            if (parts >= events.size()) break;  // single events removed one by one: nothing more goes
            parts = std::min(events.size(), parts * 2);
        }
    }
    return events;
}

}  // namespace scenario
