// What a desktop without the Pocket PC's taskbar expects of a notification-area program: its
// menu, and which windows count as programs. Beside the Pocket PC's taskbar (a device, or the
// stand-in shell of the end-to-end suite) every operation here is the device's.
#include "platform/win32/win32_api.h"

#ifdef _WIN32_WCE
BOOL onDesktopShell() { return FALSE; }
#else

BOOL onDesktopShell() { return FindWindowW(L"HHTaskBar", NULL) == NULL; }

BOOL ceTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params) {
    if (!onDesktopShell()) return TrackPopupMenuEx(menu, flags, x, y, owner, params);
    // A notification icon's menu opens at the pointer, with its owner in the foreground first:
    // otherwise the keys go elsewhere and a click outside does not close it. The benign message
    // afterwards lets the next menu open and stay open, as the platform's reference asks.
    POINT at = {x, y};
    GetCursorPos(&at);
    SetForegroundWindow(owner);
    const BOOL result = TrackPopupMenuEx(menu, flags | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, at.x, at.y, owner, params);
    PostMessageW(owner, WM_NULL, 0, 0);
    return result;
}

BOOL isDesktopShellWindow(HWND window) {
    if (!onDesktopShell()) return FALSE;
    // The shell's own windows: the desktop, its taskbars, and what sits behind the desktop.
    static const wchar_t* const shellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"};
    WCHAR className[64] = {0};
    GetClassNameW(window, className, 64);
    for (const wchar_t* name : shellClasses) {
        if (lstrcmpW(className, name) == 0) return TRUE;
    }
    if (window == GetShellWindow() || window == GetDesktopWindow()) return TRUE;
    // What the taskbar does not list as a program: tool windows and owned windows that do not
    // ask to be listed.
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_APPWINDOW) return FALSE;
    if (exStyle & WS_EX_TOOLWINDOW) return TRUE;
    return GetWindow(window, GW_OWNER) != NULL ? TRUE : FALSE;
}

#endif  // !_WIN32_WCE
