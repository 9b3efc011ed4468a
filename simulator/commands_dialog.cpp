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

const Registrar click("click", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    check("click", sim::clickControl(openDialog("click"), a.controlId(0)));
});

const Registrar select("select", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    check("select", sim::selectItem(openDialog("select"), a.controlId(0), a.controlId(1)));
});

const Registrar spin("spin", [](Args& a, Outcome&) {
    SpinCommand s = spinCommand(a);
    check("spin", sim::spinControl(openDialog("spin"), s.id, s.up, s.times));
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
