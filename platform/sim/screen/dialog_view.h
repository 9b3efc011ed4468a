// Dialogs on the screen: the geometry the platform gives a template (dialog units of the
// template's font, the caption band, Done, up-down controls beside their buddies), their
// picture and what a tap on one of their controls does.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "resources.h"
#include "window_manager.h"

namespace sim::screen {

// Dialog units to pixels for a template: its font at the screen's resolution gives the base.
BaseUnits dialogBaseUnits(const DialogTemplateInfo& info);
RECT dialogUnitsToPixels(const BaseUnits& base, int x, int y, int cx, int cy);
// The band at the top of a captioned dialog holding its caption, and Done where it has one.
int dialogCaptionHeight(const BaseUnits& base);
RECT doneButtonRect(const Window& dialog);

// A dialog whose controls run off the bottom of the screen gets a vertical scroll bar from the
// system, as the device gives one to a full-screen dialog laid out for a taller screen: the
// clipped part scrolls into view, the controls moving with it. `client` is the part of the
// client area the screen shows (left of the bar), `range` how far it scrolls (0: no bar).
struct DialogScroll {
    RECT client{};
    RECT bar{};
    int range = 0;
    int pos = 0;
    int line = 0;
};
DialogScroll dialogScroll(const Window& dialog);
// Scrolls by `delta` pixels (positive: the content moves up), held within the range.
void scrollDialog(HWND dialog, int delta);

void drawDialog(Canvas& canvas, const Window& dialog);
// A combo box's list, drawn over everything while it is dropped.
void drawDroppedList(Canvas& canvas);

// Where the open dialog fails a person: each control that lies (in part) outside the area the
// screen shows of the dialog's client area, and each text its control cannot show whole, as the
// controls are drawn here. Empty when everything can be seen and reached.
std::vector<std::string> dialogLayoutProblems(HWND dialog);

// A tap on an open dialog at (x, y): true when the dialog took it.
bool tapDialog(HWND dialog, int x, int y);

}  // namespace sim::screen
