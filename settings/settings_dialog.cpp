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

// A control's answer, or false when it could not be asked (the control is missing, or the
// message did not reach it). What could not be read never changes a setting.
bool ask(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
    if (control == NULL) return false;
    SetLastError(0);
    LRESULT result = SendMessageW(control, message, wParam, lParam);
    if (result == 0 && GetLastError() != 0) return false;
    *answer = result;
    return true;
}

bool readCheck(HWND dialog, int id, bool* checked) {
    LRESULT state = 0;
    if (!ask(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, &state)) return false;
    *checked = state == BST_CHECKED;
    return true;
}

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

// The number in a read-only edit control, of at most count - 1 characters; false when no text
// could be read (the edit always shows a number, so an empty one was not read).
bool readNumber(HWND dialog, int editId, int count, long* value) {
    WCHAR text[8];
    text[0] = 0;
    HWND edit = GetDlgItem(dialog, editId);
    if (edit == NULL || GetWindowTextW(edit, text, count) <= 0) return false;
    text[7] = 0;
    *value = wcstol(text, NULL, 10);
    return true;
}

// The text of the card box's selected line: the name the user chose, whatever a card reading
// has since written into the card list. False when it could not be read.
bool readChosenCard(HWND dialog, WCHAR name[StorageCardNameUnits], bool* none) {
    HWND box = GetDlgItem(dialog, IDC_CARD_LIST);
    LRESULT sel = 0;
    if (!ask(box, CB_GETCURSEL, 0, 0, &sel)) return false;
    *none = sel == CB_ERR;
    if (*none) return true;
    LRESULT length = 0;
    if (!ask(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0, &length)) return false;
    if (length < 0 || length >= static_cast<LRESULT>(StorageCardNameUnits)) return false;
    name[0] = 0;
    LRESULT copied = SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name));
    if (copied != length) return false;
    name[length] = 0;
    return true;
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
        setCheck(dialog, IDC_LARGE_ICONS, usesLargeIcons(settings));
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
        bool on = false;
        if (readCheck(dialog, box.id, &on)) *box.flag = on ? 1 : 0;
        enabledCount += *box.flag != 0 ? 1 : 0;
    }
    bool cardOn = false;
    if (readCheck(dialog, IDC_SHOW_STORAGE_CARD, &cardOn)) {
        settings.showStorageCard = cardOn ? 1 : 0;
        WCHAR chosen[StorageCardNameUnits];
        bool none = false;
        if (cardOn && readChosenCard(dialog, chosen, &none)) {
            if (none) {
                settings.storageCardName[0] = 0;
            } else {
                wcscpy(settings.storageCardName, chosen);
            }
        }
    }
    enabledCount += settings.showStorageCard != 0 ? 1 : 0;
    long position = 0;
    const bool positionRead = readNumber(dialog, IDC_ICON_X, 4, &position);
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
    if (readNumber(dialog, IDC_REFRESH, 3, &refresh) && refresh != settings.refreshSeconds) {
        settings.refreshSeconds = limitRefreshSeconds(refresh);
    }
    const int newX = positionRead ? settings.iconX : canvas.iconXInUse;
    // A new size or place: the drawing goes from where it is (it may have come back under the
    // dialog with a taskbar repaint), and the background is taken anew where it will be drawn.
    const Square wanted = {newX, indicatorTop(), indicatorSize()};
    if (wanted.x != canvas.square.x || wanted.y != canvas.square.y || wanted.size != canvas.square.size ||
        newX != canvas.iconXInUse) {
        moveIndicator(newX);
    }
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
