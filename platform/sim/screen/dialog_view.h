// Dialogs on the screen: the geometry the platform gives a template (dialog units of the
// template's font, the caption band, Done, up-down controls beside their buddies), their
// picture and what a tap on one of their controls does.
#pragma once

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

void drawDialog(Canvas& canvas, const Window& dialog);
// A combo box's list, drawn over everything while it is dropped.
void drawDroppedList(Canvas& canvas);

// A tap on an open dialog at (x, y): true when the dialog took it.
bool tapDialog(HWND dialog, int x, int y);

}  // namespace sim::screen
