// The menus as the event log dumps their entries below `menu-open`, written out from their tables
// apart from the code under test: the one place that names them, for `expect main-menu` and
// `expect task-menu` in orvo-sim and in the runner under Wine.
#pragma once

#include <string>
#include <vector>

namespace expectedMenus {

// The notification icon's menu: eleven entries, the ids not in menu order.
inline std::vector<std::string> mainMenu() {
    return {"  item 255 \"Hot Reset\"", "  item 262 \"Display Off\"", "  item 256 \"Power Off\"", "  separator",
            "  item 257 \"Programs...\"", "  item 258 \"Close All\"", "  separator", "  item 259 \"Settings...\"",
            "  item 260 \"About\"", "  separator", "  item 261 \"Exit\""};
}

// The task menu for the listed programs, their titles quoted as the log quotes them: a switch item
// per program (332 + i), the Close (452 + i) and Close All Except (572 + i) submenus and Close All
// Tasks (541) when any is listed, then the three device commands.
inline std::vector<std::string> taskMenu(const std::vector<std::string>& titles) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < titles.size(); ++i) lines.push_back("  item " + std::to_string(332 + i) + " " + titles[i]);
    if (!titles.empty()) {
        lines.push_back("  separator");
        lines.push_back("  popup \"Close\"");
        for (size_t i = 0; i < titles.size(); ++i) lines.push_back("    item " + std::to_string(452 + i) + " " + titles[i]);
        lines.push_back("  popup \"Close All Except\"");
        for (size_t i = 0; i < titles.size(); ++i) lines.push_back("    item " + std::to_string(572 + i) + " " + titles[i]);
        lines.push_back("  item 541 \"Close All Tasks\"");
        lines.push_back("  separator");
    }
    for (const char* device : {"  item 256 \"Power Off\"", "  item 262 \"Display Off\"", "  item 255 \"Hot Reset\""}) {
        lines.push_back(device);
    }
    return lines;
}

// The first line where a dumped menu differs from the expected one, for the failure's message;
// empty when they are the same.
inline std::string firstDifference(const std::vector<std::string>& found, const std::vector<std::string>& expected) {
    for (size_t i = 0; i < found.size() || i < expected.size(); ++i) {
        const std::string f = i < found.size() ? found[i] : "(no more entries)";
        const std::string e = i < expected.size() ? expected[i] : "(no more entries)";
        if (f != e) return "entry " + std::to_string(i + 1) + " is " + f + " where the menu has " + e;
    }
    return "";
}

}  // namespace expectedMenus
