// Desktop definition of the Pocket PC shell's dialog helper: beside the Pocket PC's taskbar,
// full-screen sizing below it and the Done button; on a plain desktop, an ordinary dialog.
#include "platform/win32/win32_api.h"
#include "res/resource.h"

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

// The width a control needs to show its one line of text whole in its own font: a plain static's
// text, or a check box's label with its box; 0 for any other control.
int widthForText(HWND control) {
    WCHAR className[16] = {0};
    GetClassNameW(control, className, 16);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    int extra = 0;
    if (lstrcmpiW(className, L"Static") == 0) {
        if ((style & SS_TYPEMASK) > SS_RIGHT) return 0;
    } else if (lstrcmpiW(className, L"Button") == 0) {
        const LONG_PTR kind = style & BS_TYPEMASK;
        if (kind != BS_CHECKBOX && kind != BS_AUTOCHECKBOX) return 0;
        extra = GetSystemMetrics(SM_CXMENUCHECK) + 2 * GetSystemMetrics(SM_CXEDGE);
    } else {
        return 0;
    }
    WCHAR text[128] = {0};
    const int length = GetWindowTextW(control, text, 128);
    if (length == 0) return 0;
    HDC dc = GetDC(control);
    if (dc == NULL) return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx + extra;
}

// The desktop's font may be wider than the device's, for which the templates were measured: a
// text that would be cut grows its control to the right, and the dialog with it when needed.
void showTextsWhole(HWND dialog) {
    std::vector<HWND> children{dialog};
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&children));
    RECT margin = {0, 0, 7, 7};  // dialog units, the templates' own margin
    MapDialogRect(dialog, &margin);
    RECT client;
    GetClientRect(dialog, &client);
    int rightmost = client.right - margin.right;
    for (size_t i = 1; i < children.size(); ++i) {
        const int needed = widthForText(children[i]);
        RECT r;
        GetWindowRect(children[i], &r);
        if (needed <= r.right - r.left) continue;
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(children[i], NULL, 0, 0, needed, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (r.left + needed > rightmost) rightmost = r.left + needed;
    }
    const int grow = rightmost + margin.right - client.right;
    if (grow > 0) {
        RECT w;
        GetWindowRect(dialog, &w);
        SetWindowPos(dialog, NULL, 0, 0, w.right - w.left + grow, w.bottom - w.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// A desktop's dialog keeps its template's size (the screen belongs to other programs), is centred
// in the work area and has a close box; Esc, Alt+F4 and the close box reach the dialog as IDCANCEL.
void placeOnDesktop(HWND dialog) {
    const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    SetWindowLongPtrW(dialog, GWL_STYLE, style | WS_CAPTION | WS_SYSMENU);
    SetWindowPos(dialog, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The caption (and the taskbar's button) show the program's own icon, not the system's
    // default one. Shared: the system keeps it for the module's lifetime.
    const HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(ProgramIcon), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                             GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    if (icon != NULL) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT r;
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    // Larger than the work area: its top left corner stays in sight, so that the caption can be reached.
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(dialog, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

    const bool desktop = onDesktopShell() != FALSE;
    const bool sized = !desktop && (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) != 0;
    if (sized) {
        RECT area = dialogArea(flags);
        SetWindowPos(dialog, NULL, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (desktop) showTextsWhole(dialog);
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
    if (desktop) placeOnDesktop(dialog);
    // SHIDIF_SIPDOWN: a desktop has no input panel to lower.
    return TRUE;
}

#endif  // !_WIN32_WCE
