#include "settings/dialog_controls.h"

#include "platform/try_once_more.h"

namespace {

bool askOnce(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
    if (control == NULL) return false;
    // A message that does not reach its control answers 0 and says why; a control's own 0 does not.
    SetLastError(0);
    LRESULT result = SendMessageW(control, message, wParam, lParam);
    if (result == 0 && GetLastError() != 0) return false;
    *answer = result;
    return true;
}

// Every retry here has one reason: Done saves what the controls show, so a control shown or read
// wrong would become a setting the user did not make, kept in the file.

bool addLines(HWND box, const WCHAR (*names)[CardNameUnits], int count) {
    LRESULT ignored = 0;
    askControl(box, CB_RESETCONTENT, 0, 0, &ignored);
    for (int i = 0; i < count; ++i) askOnce(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]), &ignored);
    LRESULT lines = 0;
    return askControl(box, CB_GETCOUNT, 0, 0, &lines) && lines == count;
}

}  // namespace

HWND dialogItem(HWND dialog, int id) {
    HWND item = NULL;
    // Lasting harm otherwise: a control not found is a setting not read or not shown.
    tryOnceMore([&] { return (item = GetDlgItem(dialog, id)) != NULL; });
    return item;
}

bool askControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
    // Lasting harm otherwise: a control's answer lost is a setting misread.
    return tryOnceMore([&] { return askOnce(control, message, wParam, lParam, answer); });
}

void showCheck(HWND dialog, int id, bool checked) {
    // Lasting harm otherwise: a box shown wrong is saved wrong on Done.
    tryOnceMore([&] {
        SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        bool shown = false;
        return readCheck(dialog, id, &shown) && shown == checked;
    });
}

bool readCheck(HWND dialog, int id, bool* checked) {
    LRESULT state = 0;
    HWND box = dialogItem(dialog, id);
    if (!askControl(box, BM_GETCHECK, 0, 0, &state)) return false;
    *checked = state == BST_CHECKED;
    return true;
}

void showPosition(HWND dialog, int spinId, int editId, LPARAM range, int position, int limit) {
    SendDlgItemMessageW(dialog, spinId, CCM_SETVERSION, 0x20C, 0);
    // Lasting harm otherwise: a spin without its range would put another number into the edit Done reads.
    tryOnceMore([&] {
        SendDlgItemMessageW(dialog, spinId, UDM_SETRANGE, 0, range);
        // The range comes back as it went in: the upper bound in the low word, the lower above.
        LRESULT now = 0;
        return askControl(GetDlgItem(dialog, spinId), UDM_GETRANGE, 0, 0, &now) &&
               static_cast<DWORD>(now) == static_cast<DWORD>(range);
    });
    // Lasting harm otherwise: a position not taken would put another number into the edit Done reads.
    tryOnceMore([&] {
        SendDlgItemMessageW(dialog, spinId, UDM_SETPOS, 0, MAKELPARAM(position, 0));
        LRESULT now = 0;
        return askControl(GetDlgItem(dialog, spinId), UDM_GETPOS, 0, 0, &now) &&
               static_cast<short>(LOWORD(now)) == position;
    });
    WCHAR text[16];
    wsprintfW(text, TEXT("%d"), position);
    HWND edit = dialogItem(dialog, editId);
    // Lasting harm otherwise: Done would save whatever the edit shows instead.
    tryOnceMore([&] {
        SetWindowTextW(edit, text);
        long shown = 0;
        return readNumber(dialog, editId, 16, &shown) && shown == position;
    });
    SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

bool readNumber(HWND dialog, int editId, int count, long* value) {
    WCHAR text[16];
    if (count > 16) count = 16;
    // Lasting harm otherwise: a number not read keeps the old setting where the user chose another.
    return tryOnceMore([&] {
        text[0] = 0;
        HWND edit = GetDlgItem(dialog, editId);
        if (edit == NULL || GetWindowTextW(edit, text, count) <= 0) return false;
        text[15] = 0;
        *value = wcstol(text, NULL, 10);
        return true;
    });
}

void showChoices(HWND box, const WCHAR (*names)[CardNameUnits], int count, int selected) {
    // Line i must be name i: lines that did not go in are put in again, all of them.
    // Lasting harm otherwise: Done would save another card's name.
    tryOnceMore([&] { return addLines(box, names, count); });
    // Lasting harm otherwise: Done would save another card's name.
    tryOnceMore([&] {
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        LRESULT now = 0;
        return askControl(box, CB_GETCURSEL, 0, 0, &now) && now == selected;
    });
}

bool readChosenLine(HWND box, WCHAR* name, int units, bool* none) {
    LRESULT sel = 0;
    if (!askControl(box, CB_GETCURSEL, 0, 0, &sel)) return false;
    *none = sel == CB_ERR;
    if (*none) return true;
    LRESULT length = 0;
    if (!askControl(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0, &length)) return false;
    if (length < 0 || length >= units) return false;
    // Lasting harm otherwise: the chosen card would not be stored.
    return tryOnceMore([&] {
        name[0] = 0;
        LRESULT copied = SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name));
        if (copied != length) return false;
        name[length] = 0;
        return true;
    });
}
