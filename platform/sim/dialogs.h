// Modal dialogs built from the templates in the program's resources, with the behaviour of
// their standard controls, and the scenario's ways of operating them.
#pragma once

#include <string>
#include <vector>

#include "modal.h"
#include "window_manager.h"

namespace sim {

struct ControlState : WindowExtra {
    std::u16string kind;   // BUTTON, EDIT, STATIC, LISTBOX, COMBOBOX or msctls_updown32
    std::u16string text;
    bool checked = false;
    std::vector<std::u16string> items;
    int selection = -1;
    int textLimit = 0;
    int rangeUpper = 0;    // nUpper: the bound "up" moves toward
    int rangeLower = 100;  // nLower
    int position = 0;
    int version = 0;
    HWND buddy = nullptr;
    bool buddyInt = false;  // UDS_SETBUDDYINT as the control was made: later style changes do not count
};

struct DialogState : WindowExtra {
    DLGPROC proc = nullptr;
    unsigned templateId = 0;
    int fontPoints = 8;  // the template's font size; its face is the system's
    bool doneButton = false;
    bool ended = false;
    INT_PTR result = 0;
    OpenModal* modal = nullptr;
    std::vector<HWND> controls;  // in template order
    int scrollPos = 0;           // how far the system has scrolled a dialog that runs off the screen
};

DialogState* dialogState(HWND dialog);
// A standard control (BUTTON, EDIT, STATIC, LISTBOX, COMBOBOX, msctls_updown32) of the calling
// thread, with the behaviour a dialog's controls have.
HWND createControl(HWND parent, const std::u16string& kind, const std::u16string& text, DWORD style, RECT rect,
                   int id);
ControlState* controlState(HWND control);

// Scenario actions on the open dialog; each returns an error text, or "" when it was done.
std::string clickControl(HWND dialog, int id);
std::string selectItem(HWND dialog, int id, int index);
std::string spinControl(HWND dialog, int id, bool up, int times);
std::string pressDone(HWND dialog);
void dumpDialog(HWND dialog);

}  // namespace sim
