// Popup menus on the screen: their size, their place (the anchor and TrackPopupMenuEx's
// alignment flags, kept on the screen), their picture and what a tap on them chooses.
#pragma once

#include <vector>

#include "canvas.h"
#include "modal.h"

namespace sim::screen {

struct MenuLevel {
    HMENU menu = nullptr;
    RECT rect{0, 0, 0, 0};      // the whole menu, border included
    std::vector<RECT> items;    // one per entry, in screen coordinates
    int hot = -1;               // the entry under the pen, or -1
    // A menu taller than the screen is held to the screen's height and scrolls: arrows at its top
    // and bottom, the entries between them from `first` on (the others have empty rectangles).
    bool scrolls = false;
    RECT upArrow{0, 0, 0, 0};
    RECT downArrow{0, 0, 0, 0};
    int first = 0;
    bool moreAbove = false;
    bool moreBelow = false;
};

// The open menu and its open submenus, top level first.
std::vector<MenuLevel> menuLevels(const OpenModal& menu);

void drawMenu(Canvas& canvas, const OpenModal& menu);

// A tap at (x, y) while the menu tracks: true when it fell on the menu or one of its open
// submenus. An item is chosen; a submenu's entry opens that submenu; a separator does nothing.
bool tapMenu(OpenModal& menu, int x, int y);

}  // namespace sim::screen
