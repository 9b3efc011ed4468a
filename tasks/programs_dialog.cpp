#include "app/full_screen_dialog.h"
#include "tasks/programs_dialog.h"

#include "platform/try_once_more.h"
#include "settings/settings_record.h"
#include "tasks/window_lists.h"

namespace {

const WCHAR CloseAllQuestion[] = TEXT("Are you sure you want to close all running programs?");

bool confirmCloseAll(HWND owner) {
    if (settings.confirmCloseAll == 0) return true;
    return MessageBoxW(owner, CloseAllQuestion, TEXT("Orvo"), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// Every window of the Programs list but `except`; `count` is the list's own.
void closeListed(int count, int except) {
    for (int i = 0; i < count; ++i) {
        if (i != except) PostMessageW(programsList[i], WM_CLOSE, 0, 0);
    }
}

int selectedLine(HWND listBox) { return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0)); }

void onCommand(HWND dialog, WORD id) {
    // IDCANCEL (Esc, Alt+F4 or the close box of a desktop's dialog) leaves as Done does: closing
    // the list closes no program.
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return;
    }
    if (id != IDC_CLOSE && id != IDC_CLOSE_ALL && id != IDC_SWITCH_TO && id != IDC_CLOSE_ALL_EXCEPT) return;
    // The buttons act on the lines the list box shows, which the last refill listed: a task-menu
    // collection since then has changed windowCount, not these lines.
    const int listed = programsCount;
    if ((id == IDC_CLOSE_ALL || id == IDC_CLOSE_ALL_EXCEPT) && listed <= 0) return;
    HWND listBox = GetDlgItem(dialog, IDC_PROGRAM_LIST);
    if (listBox == NULL) return;
    switch (id) {
        case IDC_CLOSE: {
            int sel = selectedLine(listBox);
            if (sel == LB_ERR) return;
            if (sel >= 0 && sel < listed) PostMessageW(programsList[sel], WM_CLOSE, 0, 0);
            refillProgramList(listBox);
            return;
        }
        case IDC_CLOSE_ALL:
            if (!confirmCloseAll(dialog)) return;
            closeListed(listed, -1);
            refillProgramList(listBox);
            return;
        case IDC_SWITCH_TO: {
            int sel = selectedLine(listBox);
            if (sel == LB_ERR) return;
            if (sel >= 0 && sel < listed) ShowWindow(programsList[sel], SW_SHOW);
            EndDialog(dialog, IDC_SWITCH_TO);
            return;
        }
        case IDC_CLOSE_ALL_EXCEPT: {
            int sel = selectedLine(listBox);
            // A selection that is no line of the list (it could not be read) keeps nothing, so
            // nothing is closed: the selected program is never among the closed.
            if (sel < 0 || sel >= listed) return;
            closeListed(listed, sel);
            refillProgramList(listBox);
            return;
        }
        default:
            return;
    }
}

}  // namespace

void refillProgramList(HWND listBox) {
    // Line i must be entry i: a line that could not be added (or a list box that kept old lines)
    // puts them out of step.
    // Lasting harm otherwise: Close would close a program the user did not choose.
    tryOnceMore([&] {
        SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
        collectWindows(ProgramsForm, listBox);
        return SendMessageW(listBox, LB_GETCOUNT, 0, 0) == programsCount;
    });
}

INT_PTR CALLBACK programsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initFullScreenDialog(dialog);
        HWND listBox = GetDlgItem(dialog, IDC_PROGRAM_LIST);
        if (listBox != NULL) refillProgramList(listBox);
    } else if (message == WM_COMMAND) {
        onCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

void closeAllPrograms() {
    collectWindows(ProgramsForm, NULL);
    const int listed = programsCount;
    if (listed < 1) return;
    if (!confirmCloseAll(NULL)) return;
    closeListed(listed, -1);
    forgetListedWindows();
}
