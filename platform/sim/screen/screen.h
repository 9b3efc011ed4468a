// What a person sees on the simulated Pocket PC. The program reads and writes the screen's own
// pixels (the taskbar, through GDI); the picture shown is composed from them and the window
// manager's state, bottom to top: the windows in z-order, then the open menus and message boxes.
#pragma once

#include <string>

#include "gdi.h"

namespace sim::screen {

Surface composeScreen();

// The pen touches the screen at (x, y): true when a menu, message box, dialog control or
// notification icon took the tap; otherwise the window there receives it as a plain tap.
bool penTap(int x, int y);

// A part of a picture, magnified by a whole factor.
Surface cropAndScale(const Surface& picture, const RECT& part, int factor);

// Writes a picture as a PNG file; false on failure.
bool writePng(const Surface& picture, const std::string& path);

}  // namespace sim::screen
