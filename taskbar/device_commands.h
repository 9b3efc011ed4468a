// The device commands offered by both menus: Hot Reset, Power Off and Display Off.
#pragma once

#include "platform/winapi.h"

constexpr WORD CmdHotReset = 255;
constexpr WORD CmdPowerOff = 256;
constexpr WORD CmdDisplayOff = 262;

// Asks for confirmation (no owner window), then resets the device.
void hotReset();
// The power key goes down and up, without a click.
void powerOff();
// Asks the display driver through `window`'s device context to switch the display off; tells the
// user, in a box owned by `window`, when the driver cannot.
void turnDisplayOff(HWND window);
