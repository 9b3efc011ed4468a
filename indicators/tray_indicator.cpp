#include "indicators/tray_indicator.h"

#include "app/app_state.h"
#include "app/tray_icon.h"
#include "indicators/icon_slots.h"
#include "platform/try_once_more.h"
#include "settings/settings_record.h"

int trayIconPixels() {
    // A failed or absurd metric must not give a tiny icon or a huge bitmap on every tick: 128
    // pixels is past the largest small icon a desktop asks for (80 at 500 %).
    const int asked = GetSystemMetrics(SM_CXSMICON);
    return asked < 16 ? 16 : (asked > TrayIconPixelsMost ? TrayIconPixelsMost : asked);
}

void trayTipText(const IndicatorReading& reading, WCHAR tip[TrayTipUnits]) {
    // The tooltip says whose icon it is: on a desktop the meter sits among other programs' icons.
    switch (reading.statusIcon) {
        case ChargingIcon:
            wcscpy(tip, TEXT("Orvo: battery charging"));
            return;
        case BatteryUnknownIcon:
            wcscpy(tip, TEXT("Orvo: battery charge unknown"));
            return;
        case NoCardIcon:
            wcscpy(tip, TEXT("Orvo: no storage card"));
            return;
        default:
            break;
    }
    // The value as the icon draws it: a battery that reports more than 100 shows 100.
    int value = reading.percent < 0 ? 0 : (reading.percent > 100 ? 100 : reading.percent);
    switch (reading.kind) {
        case Battery:
            wsprintfW(tip, TEXT("Orvo: battery %d %%"), value);
            break;
        case ProgramMemory:
            wsprintfW(tip, TEXT("Orvo: program memory %d %% free"), value);
            break;
        case MainStorage:
            wsprintfW(tip, TEXT("Orvo: main storage %d %% free"), value);
            break;
        case StorageCard:
        default:
            wsprintfW(tip, TEXT("Orvo: storage card %d %% free"), value);
            break;
    }
}

namespace {

// What the notification icon shows now (NULL: the program's own icon) and its tooltip, so that
// a notification area made anew gets the same icon back.
HICON shownIcon = NULL;
WCHAR shownTip[TrayTipUnits] = {0};
// Per kind, the tooltip of the kind's current picture, and that picture: a reading whose picture
// could not be made leaves both as they were, so that the text never names another value.
WCHAR kindTips[IndicatorKindCount][TrayTipUnits];
HICON tipPicture[IndicatorKindCount];

void modifyTrayIcon(HWND window, HICON icon, const WCHAR* tip) {
    const UINT flags = NIF_TIP | (icon != NULL ? NIF_ICON : 0);
    if (notifyTrayIcon(NIM_MODIFY, window, flags, icon, tip)) return;
    // A notification area that came after the program (a desktop's shell still starting when its
    // start-up programs run) or that started anew has no icon to change: it gets one now, with
    // the callback, so that the menu can be reached from then on.
    notifyTrayIcon(NIM_ADD, window, flags | NIF_MESSAGE, icon, tip);
}

}  // namespace

void resetTrayIndicator() {
    shownIcon = NULL;
    shownTip[0] = 0;
    for (int k = 0; k < IndicatorKindCount; ++k) {
        kindTips[k][0] = 0;
        tipPicture[k] = NULL;
    }
}

void presentInTray(HWND window, IndicatorKind kind, const IndicatorReading* reading) {
    IconSlot& slot = iconSlots[kind];
    if (reading != NULL && slot.current != NULL && slot.current != tipPicture[kind]) {
        trayTipText(*reading, kindTips[kind]);
        tipPicture[kind] = slot.current;
    }
    // A kind without any picture yet (its first composition failed) leaves the icon and its
    // tooltip as they were.
    if (slot.current != NULL) {
        shownIcon = slot.current;
        wcscpy(shownTip, kindTips[kind]);
        modifyTrayIcon(window, shownIcon, shownTip);
    }
    releasePreviousIcon(kind);
}

void eraseTrayIndicator() {
    shownIcon = NULL;
    wcscpy(shownTip, TEXT("Orvo"));
    modifyTrayIcon(mainWindow, loadedTrayIcon(), shownTip);
}

void addTrayIconAgain(HWND window) {
    const HICON icon = shownIcon != NULL ? shownIcon : loadedTrayIcon();
    const UINT tip = shownTip[0] != 0 ? NIF_TIP : 0;
    // Lasting harm otherwise: without the icon there is no way to the menu or to Exit.
    tryOnceMore([&] { return notifyTrayIcon(NIM_ADD, window, NIF_MESSAGE | NIF_ICON | tip, icon, shownTip) != FALSE; });
}
