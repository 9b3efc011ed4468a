#include "app/full_screen_dialog.h"
#include "settings/settings_dialog.h"

#include "indicators/readings.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "settings/screen_size.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "settings/startup_shortcut.h"

int largeIconsAtDialogOpen = 0;

int limitRefreshSeconds(long value) { return value <= 0 ? 1 : (value > 99 ? 99 : static_cast<int>(value)); }

int limitIconX(long value) { return value < 0 ? 0 : (value >= 640 ? 639 : static_cast<int>(value)); }

namespace {

void setCheck(HWND dialog, int id, bool checked) {
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isChecked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) != 0; }

void setUpDown(HWND dialog, int spinId, int editId, LPARAM range, int position, int limit) {
    SendDlgItemMessageW(dialog, spinId, CCM_SETVERSION, 0x20C, 0);
    SendDlgItemMessageW(dialog, spinId, UDM_SETRANGE, 0, range);
    SendDlgItemMessageW(dialog, spinId, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    WCHAR text[16];
    wsprintfW(text, TEXT("%d"), position);
    HWND edit = GetDlgItem(dialog, editId);
    SetWindowTextW(edit, text);
    SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

long readNumber(HWND dialog, int editId, int count) {
    WCHAR text[8];
    text[0] = 0;
    GetWindowTextW(GetDlgItem(dialog, editId), text, count);
    text[7] = 0;
    return wcstol(text, NULL, 10);
}

void onOpen(HWND dialog) {
    initFullScreenDialog(dialog);
    setCheck(dialog, IDC_SHOW_BATTERY, settings.showBattery != 0);
    setCheck(dialog, IDC_SHOW_PROGRAM_MEMORY, settings.showProgramMemory != 0);
    setCheck(dialog, IDC_SHOW_MAIN_STORAGE, settings.showMainStorage != 0);
    int cards = enumerateStorageCards();
    HWND cardBox = GetDlgItem(dialog, IDC_CARD_LIST);
    if (cards < 1) {
        settings.showStorageCard = 0;
        setCheck(dialog, IDC_SHOW_STORAGE_CARD, false);
        EnableWindow(GetDlgItem(dialog, IDC_SHOW_STORAGE_CARD), FALSE);
        EnableWindow(cardBox, FALSE);
    } else {
        bool matched = false;
        for (int i = 0; i < cards; ++i) {
            SendMessageW(cardBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(cardList[i]));
            if (wcscmp(cardList[i], settings.storageCardName) == 0) {
                SendMessageW(cardBox, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
                matched = true;
            }
        }
        if (!matched) SendMessageW(cardBox, CB_SETCURSEL, 0, 0);
        setCheck(dialog, IDC_SHOW_STORAGE_CARD, settings.showStorageCard != 0);
    }
    setUpDown(dialog, IDC_ICON_X_SPIN, IDC_ICON_X, 0x027F0000, canvas.iconXInUse, 3);
    settings.refreshSeconds = limitRefreshSeconds(settings.refreshSeconds);
    setUpDown(dialog, IDC_REFRESH_SPIN, IDC_REFRESH, 0x00630001, settings.refreshSeconds, 2);
    iconShown = 0;
    setCheck(dialog, IDC_CONFIRM_CLOSE_ALL, settings.confirmCloseAll != 0);
    setCheck(dialog, IDC_RUN_AT_STARTUP, settings.runAtStartup != 0);
    largeIconsAtDialogOpen = settings.largeIcons;
    if (isVgaScreen()) {
        setCheck(dialog, IDC_LARGE_ICONS, settings.largeIcons == 1);
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_LARGE_ICONS), FALSE);
    }
}

void onDone(HWND dialog) {
    enabledCount = 0;
    const struct {
        int id;
        int32_t* flag;
    } boxes[] = {{IDC_SHOW_BATTERY, &settings.showBattery},
                 {IDC_SHOW_PROGRAM_MEMORY, &settings.showProgramMemory},
                 {IDC_SHOW_MAIN_STORAGE, &settings.showMainStorage}};
    for (const auto& box : boxes) {
        bool on = isChecked(dialog, box.id);
        *box.flag = on ? 1 : 0;
        enabledCount += on ? 1 : 0;
    }
    if (isChecked(dialog, IDC_SHOW_STORAGE_CARD)) {
        settings.showStorageCard = 1;
        LRESULT sel = SendMessageW(GetDlgItem(dialog, IDC_CARD_LIST), CB_GETCURSEL, 0, 0);
        if (sel < 0 || sel >= CardListCapacity) {
            settings.storageCardName[0] = 0;
        } else {
            wcscpy(settings.storageCardName, cardList[sel]);
        }
        ++enabledCount;
    } else {
        settings.showStorageCard = 0;
    }
    settings.iconX = limitIconX(readNumber(dialog, IDC_ICON_X, 4));
    settings.confirmCloseAll = isChecked(dialog, IDC_CONFIRM_CLOSE_ALL) ? 1 : 0;
    bool runAtStartup = isChecked(dialog, IDC_RUN_AT_STARTUP);
    setStartupShortcut(dialog, runAtStartup ? FALSE : TRUE);
    settings.runAtStartup = runAtStartup ? 1 : 0;
    settings.largeIcons = (isVgaScreen() && isChecked(dialog, IDC_LARGE_ICONS)) ? 1 : 0;
    if (settings.largeIcons != largeIconsAtDialogOpen) {
        // A new size needs a fresh background of that size, taken at the position still in use.
        releaseCanvasBitmaps();
        captureBackground();
    }
    long refresh = readNumber(dialog, IDC_REFRESH, 3);
    if (refresh != settings.refreshSeconds) settings.refreshSeconds = limitRefreshSeconds(refresh);
    canvas.iconXInUse = settings.iconX;
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
    return FALSE;
}
