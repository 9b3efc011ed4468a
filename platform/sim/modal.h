// Modal interaction on a simulated thread: popup menus and message boxes stay open, with their
// thread pumping its messages, until the scenario acts on them.
#pragma once

#include <string>
#include <vector>

#include "sim_types.h"
#include "world.h"

namespace sim {

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::u16string text;
    HMENU submenu = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
    bool attached = false;  // a popup of another menu: destroyed with it
    Process* owner = nullptr;
};

struct OpenModal {
    enum Kind { PopupMenu, MessageBox, Dialog } kind;
    explicit OpenModal(Kind k) : kind(k) {}
    HMENU menu = nullptr;
    UINT style = 0;
    HWND dialog = nullptr;
    HWND box = nullptr;  // a message box's own window
    bool closed = false;
    INT_PTR result = 0;
    // What the screen shows of it: a menu's anchor and flags, and the items under the pen (one
    // index per open level, the last one highlighted); a message box's texts.
    int x = 0;
    int y = 0;
    UINT flags = 0;
    std::vector<int> hotPath;
    std::vector<int> firstShown;  // per open menu level taller than the screen: its first entry shown
    std::u16string caption;
    std::u16string text;
};

// The open modals, oldest first: the screen draws them in this order.
const std::vector<OpenModal*>& openModals();

Menu* findMenu(HMENU menu);
size_t liveMenus();
// Frees the menus a process still holds when it ends; returns how many there were.
size_t releaseProcessMenus(Process* process);

// The most recently opened modal of that kind that is still open, or nullptr.
OpenModal* openModal(OpenModal::Kind kind);

// Runs the calling thread's messages until the modal closes; WM_QUIT ends it early and is
// posted again, as the platform's modal loops do.
void runModalLoop(OpenModal& modal);

// Scenario actions. They return false when the menu has no such item.
bool chooseMenuItem(OpenModal& menu, UINT_PTR id);
bool chooseMenuPath(OpenModal& menu, const std::vector<std::u16string>& texts, UINT_PTR* id);
void cancelMenu(OpenModal& menu);
// answer: IDYES, IDNO or IDOK; false when the box has no such button.
bool answerMessageBox(OpenModal& box, int answer);

void pushModal(OpenModal* modal);
void popModal(OpenModal* modal);
std::string ownerName(HWND owner);
// The entry lines (as the log dumps them) of the last menu that opened, or nullptr before any.
const std::vector<std::string>* lastMenuLines();

void resetModals();

}  // namespace sim
