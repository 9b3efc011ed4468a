// Desktop definition of the Pocket PC shell's dialog helper: full-screen sizing below the
// taskbar and the Done button.
#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <vector>

namespace {

// The device's full-screen dialogs start below its taskbar; a desktop without that window
// gives them the whole screen (SHIDIF_SIZEDLGFULLSCREEN) or the work area (SHIDIF_SIZEDLG).
RECT dialogArea(DWORD flags) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!(flags & SHIDIF_SIZEDLGFULLSCREEN)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    HWND taskbar = FindWindowW(L"HHTaskBar", NULL);
    RECT bar;
    if (taskbar != NULL && IsWindowVisible(taskbar) && GetWindowRect(taskbar, &bar) && bar.bottom > area.top &&
        bar.bottom < area.bottom) {
        area.top = bar.bottom;
    }
    return area;
}

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
    auto* children = reinterpret_cast<std::vector<HWND>*>(param);
    // EnumChildWindows also walks grandchildren, which move with their parents.
    if (GetAncestor(child, GA_PARENT) == children->front()) children->push_back(child);
    return TRUE;
}

// The device puts Done in the dialog's title bar, which a desktop window cannot host as a
// child. Instead the dialog's controls move down by one band, and Done sits at the right of
// that band, so that it covers none of them. It has the id IDOK, as the device's button.
int addDoneButton(HWND dialog) {
    RECT button = {0, 0, 28, 12};  // dialog units, as the templates' own push buttons
    RECT margin = {0, 0, 3, 3};
    MapDialogRect(dialog, &button);
    MapDialogRect(dialog, &margin);
    int band = button.bottom + 2 * margin.bottom;

    std::vector<HWND> children{dialog};
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&children));
    for (size_t i = 1; i < children.size(); ++i) {
        RECT r;
        GetWindowRect(children[i], &r);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(children[i], NULL, r.left, r.top + band, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    RECT client;
    GetClientRect(dialog, &client);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    HWND done = CreateWindowExW(0, L"BUTTON", L"Done", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                client.right - margin.right - button.right, margin.bottom, button.right,
                                button.bottom, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                instance, NULL);
    if (done == NULL) return 0;
    SendMessageW(done, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return band;
}

}  // namespace

BOOL SHInitDialog(PSHINITDLGINFO info) {
    if (info == NULL || !IsWindow(info->hDlg)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    HWND dialog = info->hDlg;
    DWORD flags = info->dwFlags;

    bool sized = (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) != 0;
    if (sized) {
        RECT area = dialogArea(flags);
        SetWindowPos(dialog, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Added after sizing, so that Done sits at the right of the final client area. A template
    // with its own IDOK control already has its way out.
    if ((flags & SHIDIF_DONEBUTTON) && GetDlgItem(dialog, IDOK) == NULL) {
        int band = addDoneButton(dialog);
        if (!sized && band > 0) {
            // Unsized: grow by the band, so that the moved controls stay inside.
            RECT r;
            GetWindowRect(dialog, &r);
            SetWindowPos(dialog, NULL, 0, 0, r.right - r.left, r.bottom - r.top + band,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    // SHIDIF_SIPDOWN: a desktop has no input panel to lower.
    return TRUE;
}

#endif  // !_WIN32_WCE
