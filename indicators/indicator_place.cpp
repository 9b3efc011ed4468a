#include "indicators/indicator_place.h"

#include "indicators/taskbar_canvas.h"
#include "indicators/tray_indicator.h"
#include "settings/settings_record.h"

namespace {

const IndicatorPlace* place = &TaskbarPlace;

void showOnTaskbar(HWND, IndicatorKind kind, const IndicatorReading*) { presentIndicator(kind); }

void releaseTaskbar(bool shown) {
    if (shown) restoreBackground();
    releaseCanvasBitmaps();
}

BOOL taskbarIconsLarge() { return usesLargeIcons(settings) ? TRUE : FALSE; }

void openTray() {}

BOOL eraseTray() {
    eraseTrayIndicator();
    return TRUE;
}

// The notification icon has no position: only the number the Settings dialog shows changes.
void moveTray(int iconX) { setIconXInUse(iconX); }

// The notification icon itself is removed with the program's icon, before this.
void releaseTray(bool) {}

}  // namespace

const IndicatorPlace TaskbarPlace = {captureBackground, showOnTaskbar, restoreBackground,
                                     moveCanvas,        releaseTaskbar, taskbarIconsLarge};
const IndicatorPlace TrayPlace = {openTray, presentInTray, eraseTray, moveTray, releaseTray, trayIconsLarge};

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
BOOL indicatorIconsLarge() { return place->iconsLarge(); }
