// Where the indicator lives: the square on the shell's taskbar (the device), or the notification
// icon where no taskbar window exists (a desktop: the tray meter). The place is chosen once, when
// the main window is created; the scheduler, the main window and the dialogs go through these
// operations and never ask which place it is.
#pragma once

#include "indicators/indicator_kind.h"
#include "indicators/readings.h"
#include "platform/winapi.h"

struct IndicatorPlace {
    // Takes the place at the start: on the taskbar, the pixels under the square are saved.
    void (*open)();
    // Shows the kind's current icon, made from `reading`, or, without one (none could be taken),
    // the kind's last picture again.
    void (*show)(HWND window, IndicatorKind kind, const IndicatorReading* reading);
    // Takes the indicator away (a dialog opens); FALSE when it may still be there.
    BOOL (*erase)();
    // Puts the indicator at x = iconX with the size the settings now give; nothing when neither
    // changed.
    void (*move)(int iconX);
    // At the main window's destruction: takes away what is still shown (`shown`: something was
    // shown) and lets go of everything the place holds.
    void (*release)(bool shown);
    // The indicator icon's width and height in pixels: on the taskbar 16, or 32 with large icons;
    // in the notification icon the size the notification area asks for.
    int (*iconPixels)();

    // Where the two places differ beyond the indicator itself: in the notification icon the
    // meter is a desktop's, among other programs' icons.
    // TRUE when a pointer message on the notification icon opens the main menu.
    BOOL (*opensMenu)(LPARAM pointerMessage);
    // FALSE when the kind cannot be measured on this machine at all, whatever its setting.
    BOOL (*kindAvailable)(IndicatorKind kind);
    // TRUE when the digits are drawn dark, for a light surface under them; the device's taskbar
    // is dark and keeps the white digits.
    BOOL (*digitsDark)();
    // The size the program's own notification icon is loaded at: on the device 16, or 32 on a VGA
    // screen; in the notification area of a desktop, the size it asks for.
    int (*programIconPixels)();
};

extern const IndicatorPlace TaskbarPlace;
extern const IndicatorPlace TrayPlace;

// Chooses the place from what FindWindowW("HHTaskBar") found (the notification icon without a
// taskbar) and fixes the indicator's x at iconX.
void chooseIndicatorPlace(HWND taskbar, int iconX);

// The chosen place's operations.
void openIndicator();
void showIndicator(HWND window, IndicatorKind kind, const IndicatorReading* reading);
BOOL eraseIndicator();
void moveIndicator(int iconX);
void releaseIndicator(bool shown);
int indicatorIconPixels();
// TRUE when the icon is drawn from the 32-pixel art (an icon of 32 pixels or more), else from the
// 16-pixel art.
BOOL indicatorIconsLarge();
BOOL indicatorMenuMessage(LPARAM pointerMessage);
BOOL indicatorKindAvailable(IndicatorKind kind);
BOOL indicatorDigitsDark();
int programIconPixels();

