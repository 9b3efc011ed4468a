// A monkey's failing events are shortened to those the failure needs, in their order, within the
// number of runs allowed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scenario/event_shortening.h"

namespace {

using Events = std::vector<std::string>;

Events letters(int n) {
    Events e;
    for (int i = 0; i < n; ++i) e.push_back(std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i));
    return e;
}

// Fails when every needed event is there, in the order given.
auto needs(Events needed) {
    return [needed](const Events& candidate) {
        auto at = candidate.begin();
        for (const std::string& n : needed) {
            at = std::find(at, candidate.end(), n);
            if (at == candidate.end()) return false;
            ++at;
        }
        return true;
    };
}

TEST(EventShortening, KeepsExactlyTheEventsTheFailureNeedsInTheirOrder) {
    int tries = 0;
    EXPECT_EQ(scenario::shortenEvents(letters(200), needs({"d3", "x127", "g188"}), 1000, &tries),
              (Events{"d3", "x127", "g188"}));
    tries = 0;
    EXPECT_EQ(scenario::shortenEvents(letters(7), needs({"g6"}), 1000, &tries), (Events{"g6"}));
    tries = 0;
    // Neighbours that are both needed stay together.
    EXPECT_EQ(scenario::shortenEvents(letters(64), needs({"k10", "l11"}), 1000, &tries), (Events{"k10", "l11"}));
}

TEST(EventShortening, AnOrderTheFailureNeedsIsNotMistakenForAnotherOrder) {
    // Fails only when "b1" comes after "e4": the events never are reordered, so the list stays as it is.
    auto reversed = [](const Events& c) {
        auto b = std::find(c.begin(), c.end(), "b1");
        auto e = std::find(c.begin(), c.end(), "e4");
        return b != c.end() && e != c.end() && b > e;
    };
    int tries = 0;
    Events events = letters(8);
    EXPECT_FALSE(reversed(events));
    EXPECT_EQ(scenario::shortenEvents(events, reversed, 1000, &tries).size(), events.size());
}

TEST(EventShortening, StopsAtItsBudget) {
    int tries = 0;
    Events shortened = scenario::shortenEvents(letters(500), needs({"a0", "z25", "b495"}), 5, &tries);
    EXPECT_EQ(tries, 5);
    EXPECT_TRUE(needs({"a0", "z25", "b495"})(shortened)) << "what is returned still fails";
    EXPECT_LT(shortened.size(), 500u);
}

}  // namespace
