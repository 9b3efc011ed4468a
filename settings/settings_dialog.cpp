#include "app/full_screen_dialog.h"
#include "settings/settings_dialog.h"

#include "indicators/indicator_place.h"
#include "indicators/readings.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "platform/try_once_more.h"
#include "settings/dialog_controls.h"
#include "settings/screen_size.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "settings/startup_shortcut.h"

int largeIconsAtDialogOpen = 0;

namespace {
// The record as it was before the dialog's opening limited or cleared anything: Cancel puts it back.
SettingsRecord settingsAtOpen;
}  // namespace

int limitRefreshSeconds(long value) {
    return value < RefreshSecondsMin ? RefreshSecondsMin
                                     : (value > RefreshSecondsMax ? RefreshSecondsMax : static_cast<int>(value));
}

int limitIconX(long value) { return value < IconXMin ? IconXMin : (value > IconXMax ? IconXMax : static_cast<int>(value)); }

namespace {

// A desktop's notification icon has no place on a taskbar to choose and no large-icon mode (it
// takes the size the notification area asks for), and the shortcut starts it with the session.
// The hidden controls keep the values shown, so Done stores them unchanged.
void fitDesktop(HWND dialog) {
    if (!onDesktopShell()) return;
    HWND position = GetDlgItem(dialog, IDC_ICON_X);
    // The position's label, which has no id, is the control before its edit box in the template.
    const HWND label = position != NULL ? GetWindow(position, GW_HWNDPREV) : NULL;
    const HWND hidden[] = {label, position, GetDlgItem(dialog, IDC_ICON_X_SPIN), GetDlgItem(dialog, IDC_LARGE_ICONS)};
    for (HWND control : hidden) {
        if (control != NULL) ShowWindow(control, SW_HIDE);
    }
    HWND runAtStartup = GetDlgItem(dialog, IDC_RUN_AT_STARTUP);
    if (runAtStartup != NULL) SetWindowTextW(runAtStartup, TEXT("Run at start-up"));
}

void onOpen(HWND dialog) {
    settingsAtOpen = settings;
    initFullScreenDialog(dialog);
    fitDesktop(dialog);
    showCheck(dialog, IDC_SHOW_BATTERY, settings.showBattery != 0);
    showCheck(dialog, IDC_SHOW_PROGRAM_MEMORY, settings.showProgramMemory != 0);
    showCheck(dialog, IDC_SHOW_MAIN_STORAGE, settings.showMainStorage != 0);
    int cards = 0;
    // Lasting harm otherwise: a failed search reads as no card, and Done saves showStorageCard cleared.
    tryOnceMore([&] {
        bool complete = false;
        cards = enumerateStorageCards(&complete);
        return complete;
    });
    HWND cardBox = dialogItem(dialog, IDC_CARD_LIST);
    if (cards < 1) {
        settings.showStorageCard = 0;
        showCheck(dialog, IDC_SHOW_STORAGE_CARD, false);
        EnableWindow(GetDlgItem(dialog, IDC_SHOW_STORAGE_CARD), FALSE);
        EnableWindow(cardBox, FALSE);
    } else {
        // The stored card's line, or the first when it is not among them.
        int selected = 0;
        for (int i = cards - 1; i >= 0; --i) {
            if (wcscmp(cardList[i], settings.storageCardName) == 0) selected = i;
        }
        showChoices(cardBox, cardList, cards, selected);
        showCheck(dialog, IDC_SHOW_STORAGE_CARD, settings.showStorageCard != 0);
    }
    // The up-down controls count from their upper bound (low word) to their lower bound.
    showPosition(dialog, IDC_ICON_X_SPIN, IDC_ICON_X, MAKELPARAM(IconXMin, IconXMax), canvas.iconXInUse, IconXDigits);
    settings.refreshSeconds = limitRefreshSeconds(settings.refreshSeconds);
    showPosition(dialog, IDC_REFRESH_SPIN, IDC_REFRESH, MAKELPARAM(RefreshSecondsMin, RefreshSecondsMax),
                 settings.refreshSeconds, RefreshSecondsDigits);
    iconShown = 0;
    showCheck(dialog, IDC_CONFIRM_CLOSE_ALL, settings.confirmCloseAll != 0);
    showCheck(dialog, IDC_RUN_AT_STARTUP, settings.runAtStartup != 0);
    largeIconsAtDialogOpen = settings.largeIcons;
    if (isVgaScreen()) {
        showCheck(dialog, IDC_LARGE_ICONS, usesLargeIcons(settings));
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_LARGE_ICONS), FALSE);
    }
}

void onDone(HWND dialog) {
    const struct {
        int id;
        int32_t* flag;
    } boxes[] = {{IDC_SHOW_BATTERY, &settings.showBattery},
                 {IDC_SHOW_PROGRAM_MEMORY, &settings.showProgramMemory},
                 {IDC_SHOW_MAIN_STORAGE, &settings.showMainStorage}};
    for (const auto& box : boxes) {
        bool on = false;
        if (readCheck(dialog, box.id, &on)) *box.flag = on ? 1 : 0;
    }
    bool cardOn = false;
    if (readCheck(dialog, IDC_SHOW_STORAGE_CARD, &cardOn)) {
        settings.showStorageCard = cardOn ? 1 : 0;
        WCHAR chosen[StorageCardNameUnits];
        bool none = false;
        HWND cardBox = dialogItem(dialog, IDC_CARD_LIST);
        if (cardOn && readChosenLine(cardBox, chosen, static_cast<int>(StorageCardNameUnits), &none)) {
            if (none) {
                settings.storageCardName[0] = 0;
            } else {
                wcscpy(settings.storageCardName, chosen);
            }
        }
    }
    recountEnabledIndicators();
    long position = 0;
    const bool positionRead = readNumber(dialog, IDC_ICON_X, IconXDigits + 1, &position);
    if (positionRead) settings.iconX = limitIconX(position);
    bool confirm = false;
    if (readCheck(dialog, IDC_CONFIRM_CLOSE_ALL, &confirm)) settings.confirmCloseAll = confirm ? 1 : 0;
    bool runAtStartup = false;
    if (readCheck(dialog, IDC_RUN_AT_STARTUP, &runAtStartup)) {
        setStartupShortcut(dialog, runAtStartup ? FALSE : TRUE);
        settings.runAtStartup = runAtStartup ? 1 : 0;
    }
    if (isVgaScreen()) {
        bool large = false;
        if (readCheck(dialog, IDC_LARGE_ICONS, &large)) settings.largeIcons = large ? 1 : 0;
    } else {
        settings.largeIcons = 0;
    }
    long refresh = 0;
    if (readNumber(dialog, IDC_REFRESH, RefreshSecondsDigits + 1, &refresh) && refresh != settings.refreshSeconds) {
        settings.refreshSeconds = limitRefreshSeconds(refresh);
    }
    // A new size or place: the drawing goes from where it is (it may have come back under the
    // dialog with a taskbar repaint), and the background is taken anew where it will be drawn.
    moveIndicator(positionRead ? settings.iconX : canvas.iconXInUse);
    saveSettings();
    EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        onOpen(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) onDone(dialog);
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        // Esc, Alt+F4 or the close box of a desktop's dialog: nothing saved, moved or changed.
        settings = settingsAtOpen;
        EndDialog(dialog, IDCANCEL);
    }
    return FALSE;
}
