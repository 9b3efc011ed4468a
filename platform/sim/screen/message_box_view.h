// Message boxes on the screen: caption, icon, text and buttons, centred on the screen.
#pragma once

#include <vector>

#include "canvas.h"
#include "modal.h"

namespace sim::screen {

struct MessageBoxLayout {
    RECT box{0, 0, 0, 0};
    RECT caption{0, 0, 0, 0};
    RECT icon{0, 0, 0, 0};  // empty when the style has no icon
    std::vector<std::u16string> lines;
    RECT text{0, 0, 0, 0};
    struct Button {
        int answer;  // IDOK, IDYES or IDNO
        std::u16string label;
        RECT rect;
        bool isDefault;
    };
    std::vector<Button> buttons;
};

MessageBoxLayout layoutMessageBox(const OpenModal& box);
void drawMessageBox(Canvas& canvas, const OpenModal& box);
// True when (x, y) is on the box; a tap on a button answers it.
bool tapMessageBox(OpenModal& box, int x, int y);

// The exclamation sign of the icon style, drawn in a square of the given size.
void drawExclamation(Canvas& canvas, int x, int y, int size);

}  // namespace sim::screen
