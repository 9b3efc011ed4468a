// Scenario commands that operate the open dialog as a user would.
#include "dialogs.h"
#include "scenario.h"

namespace scenario {
namespace {

HWND openDialog(const std::string& command) {
    sim::OpenModal* m = sim::openModal(sim::OpenModal::Dialog);
    if (m == nullptr) throw ScenarioError(command + ": no dialog is open");
    return m->dialog;
}

void check(const std::string& command, const std::string& error) {
    if (!error.empty()) throw ScenarioError(command + ": " + error);
}

int intArg(const Args& a, size_t i) {
    int64_t v = a.number(i);
    if (v < -1 || v > 0xFFFF) throw ScenarioError(a.command() + ": out of range");
    return static_cast<int>(v);
}

const Registrar click("click", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    check("click", sim::clickControl(openDialog("click"), intArg(a, 0)));
});

const Registrar select("select", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    check("select", sim::selectItem(openDialog("select"), intArg(a, 0), intArg(a, 1)));
});

const Registrar spin("spin", [](Args& a, Outcome&) {
    a.expectCount(2, 3);
    std::string direction = a.word(1);
    if (direction != "up" && direction != "down") throw ScenarioError("spin: up or down");
    int64_t times = a.count() == 3 ? a.number(2) : 1;
    if (times < 0 || times > 100000) throw ScenarioError("spin: bad count");
    check("spin", sim::spinControl(openDialog("spin"), intArg(a, 0), direction == "up", static_cast<int>(times)));
});

const Registrar done("done", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    check("done", sim::pressDone(openDialog("done")));
});

const Registrar dumpDialog("dump-dialog", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::dumpDialog(openDialog("dump-dialog"));
});

}  // namespace
}  // namespace scenario
