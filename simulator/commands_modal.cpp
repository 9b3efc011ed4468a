// Scenario commands that act on an open popup menu or message box.
#include "modal.h"
#include "scenario.h"

namespace scenario {
namespace {

sim::OpenModal& need(sim::OpenModal::Kind kind, const std::string& command) {
    sim::OpenModal* m = sim::openModal(kind);
    if (m == nullptr) {
        throw ScenarioError(command + ": no " + (kind == sim::OpenModal::PopupMenu ? "menu" : "message box") + " is open");
    }
    return *m;
}

const Registrar choose("choose", [](Args& a, Outcome&) {
    if (a.count() < 1) throw ScenarioError("choose: an id or item texts");
    sim::OpenModal& menu = need(sim::OpenModal::PopupMenu, "choose");
    if (!a.isString(0)) {
        a.expectCount(1, 1);
        uint32_t id = a.dwordValue(0);  // a menu item's id is a 32-bit field
        if (!sim::chooseMenuItem(menu, static_cast<UINT_PTR>(id))) {
            throw ScenarioError("choose: the menu has no item " + std::to_string(id));
        }
        return;
    }
    std::vector<std::u16string> path;
    for (size_t i = 0; i < a.count(); ++i) path.push_back(a.string(i));
    UINT_PTR id = 0;
    if (!sim::chooseMenuPath(menu, path, &id)) throw ScenarioError("choose: the menu has no such item");
});

const Registrar menuCancel("menu-cancel", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::cancelMenu(need(sim::OpenModal::PopupMenu, "menu-cancel"));
});

const Registrar answer("answer", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::string w = a.word(0);
    int id = w == "yes" ? IDYES : w == "no" ? IDNO : w == "ok" ? IDOK : 0;
    if (id == 0) throw ScenarioError("answer: yes, no or ok");
    if (!sim::answerMessageBox(need(sim::OpenModal::MessageBox, "answer"), id)) {
        throw ScenarioError("answer: the box has no such button");
    }
});

}  // namespace
}  // namespace scenario
