#include "indicators/tray_indicator.h"

#include "app/app_state.h"
#include "app/tray_icon.h"
#include "indicators/icon_slots.h"
#include "settings/settings_record.h"

BOOL trayIconsLarge() {
    // The notification area asks for its own size; between the two sizes there are, the nearer
    // one is composed and the shell scales it.
    return GetSystemMetrics(SM_CXSMICON) >= 24 ? TRUE : FALSE;
}

void trayTipText(const IndicatorReading& reading, WCHAR tip[TrayTipUnits]) {
    switch (reading.statusIcon) {
        case ChargingIcon:
            wcscpy(tip, TEXT("Battery charging"));
            return;
        case BatteryUnknownIcon:
            wcscpy(tip, TEXT("Battery charge unknown"));
            return;
        case NoCardIcon:
            wcscpy(tip, TEXT("No storage card"));
            return;
        default:
            break;
    }
    // The value as the icon draws it: a battery that reports more than 100 shows 100.
    int value = reading.percent < 0 ? 0 : (reading.percent > 100 ? 100 : reading.percent);
    switch (reading.kind) {
        case Battery:
            wsprintfW(tip, TEXT("Battery %d %%"), value);
            break;
        case ProgramMemory:
            wsprintfW(tip, TEXT("Program memory %d %% free"), value);
            break;
        case MainStorage:
            wsprintfW(tip, TEXT("Main storage %d %% free"), value);
            break;
        case StorageCard:
        default:
            wsprintfW(tip, TEXT("Storage card %d %% free"), value);
            break;
    }
}

namespace {

void modifyTrayIcon(HWND window, HICON icon, const WCHAR* tip) {
    const UINT flags = NIF_TIP | (icon != NULL ? NIF_ICON : 0);
    if (notifyTrayIcon(NIM_MODIFY, window, flags, icon, tip)) return;
    // A notification area that came after the program (a desktop's shell still starting when its
    // start-up programs run) or that started anew has no icon to change: it gets one now, with
    // the callback, so that the menu can be reached from then on.
    notifyTrayIcon(NIM_ADD, window, flags | NIF_MESSAGE, icon, tip);
}

}  // namespace

void presentInTray(HWND window, IndicatorKind kind, const IndicatorReading* reading) {
    // Each kind's last tooltip, for a presentation without a new reading.
    static WCHAR lastTips[IndicatorKindCount][TrayTipUnits];
    IconSlot& slot = iconSlots[kind];
    if (reading != NULL) trayTipText(*reading, lastTips[kind]);
    // A kind without an icon yet (its first composition failed) changes the tooltip alone.
    modifyTrayIcon(window, slot.current, lastTips[kind]);
    releasePreviousIcon(kind);
}

void eraseTrayIndicator() {
    WCHAR none[1] = {0};
    modifyTrayIcon(mainWindow, loadedTrayIcon(), none);
}
