#include "indicators/indicator_place.h"

#include <cstring>

#include "indicators/taskbar_canvas.h"
#include "indicators/tray_indicator.h"
#include "settings/screen_size.h"
#include "settings/settings_record.h"

namespace {

const IndicatorPlace* place = &TaskbarPlace;

void showOnTaskbar(HWND, IndicatorKind kind, const IndicatorReading*) { presentIndicator(kind); }

void releaseTaskbar(bool shown) {
    if (shown) restoreBackground();
    releaseCanvasBitmaps();
}

int taskbarIconPixels() { return usesLargeIcons(settings) ? 32 : 16; }

// On the device the pen going down on the icon opens the menu, and nothing else does.
BOOL taskbarOpensMenu(LPARAM pointerMessage) { return pointerMessage == WM_LBUTTONDOWN ? TRUE : FALSE; }

BOOL everyKindAvailable(IndicatorKind) { return TRUE; }

BOOL whiteDigits() { return FALSE; }

void openTray() { resetTrayIndicator(); }

BOOL eraseTray() {
    eraseTrayIndicator();
    return TRUE;
}

// The notification icon has no position: only the number the Settings dialog shows changes.
void moveTray(int iconX) { setIconXInUse(iconX); }

// A desktop user clicks with either button; the context-menu key on the focused icon reaches a
// program that asked for no newer notification version as a right click (WM_RBUTTONUP), and as
// WM_CONTEXTMENU where the area sends that instead.
BOOL trayOpensMenu(LPARAM pointerMessage) {
    return (pointerMessage == WM_LBUTTONDOWN || pointerMessage == WM_RBUTTONUP || pointerMessage == WM_CONTEXTMENU)
               ? TRUE
               : FALSE;
}

// The power status's flag for a machine that has no system battery at all.
constexpr BYTE NoSystemBattery = 128;

// A machine without a battery (a desktop) leaves the battery out of the rotation, as if its box
// were unchecked; the setting itself stays as stored, for a machine that has one.
BOOL trayKindAvailable(IndicatorKind kind) {
    if (kind != Battery) return TRUE;
    SYSTEM_POWER_STATUS_EX2 status;
    std::memset(&status, 0, sizeof status);
    if (GetSystemPowerStatusEx2(&status, sizeof status, TRUE) == 0) return TRUE;
    return status.BatteryFlag == NoSystemBattery ? FALSE : TRUE;
}

// The notification icon itself is removed with the program's icon, before this.
void releaseTray(bool) { resetTrayIndicator(); }

// Asked at each composition (not fixed when the table is made): the system's light or dark
// setting can change while the program runs.
BOOL trayDigitsDark() { return notificationDigitsDark(); }

int deviceProgramIconPixels() { return isVgaScreen() ? 32 : 16; }

}  // namespace

const IndicatorPlace TaskbarPlace = {captureBackground, showOnTaskbar,    restoreBackground, moveCanvas,
                                     releaseTaskbar,    taskbarIconPixels, taskbarOpensMenu,  everyKindAvailable,
                                     whiteDigits,       deviceProgramIconPixels};
const IndicatorPlace TrayPlace = {openTray,    presentInTray,  eraseTray,     moveTray,
                                  releaseTray, trayIconPixels, trayOpensMenu, trayKindAvailable,
                                  trayDigitsDark, trayIconPixels};

void chooseIndicatorPlace(HWND taskbar, int iconX) {
    place = taskbar == NULL ? &TrayPlace : &TaskbarPlace;
    resetCanvas(iconX);
}

void openIndicator() { place->open(); }
void showIndicator(HWND window, IndicatorKind kind, const IndicatorReading* reading) {
    place->show(window, kind, reading);
}
BOOL eraseIndicator() { return place->erase(); }
void moveIndicator(int iconX) { place->move(iconX); }
void releaseIndicator(bool shown) { place->release(shown); }
int indicatorIconPixels() { return place->iconPixels(); }
BOOL indicatorIconsLarge() { return indicatorIconPixels() >= 32 ? TRUE : FALSE; }
BOOL indicatorMenuMessage(LPARAM pointerMessage) { return place->opensMenu(pointerMessage); }
BOOL indicatorKindAvailable(IndicatorKind kind) { return place->kindAvailable(kind); }
BOOL indicatorDigitsDark() { return place->digitsDark(); }
int programIconPixels() { return place->programIconPixels(); }
