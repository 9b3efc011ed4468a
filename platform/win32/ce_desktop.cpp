// What a desktop without the Pocket PC's taskbar expects of a notification-area program: its
// menu, and which windows count as programs. Beside the Pocket PC's taskbar (a device, or the
// stand-in shell of the end-to-end suite) every operation here is the device's.
#include "platform/win32/win32_api.h"

#include <math.h>

#ifdef _WIN32_WCE
// On the device the taskbar is always the Pocket PC's, and every operation is the device's own.
BOOL onDesktopShell() { return FALSE; }
BOOL isDesktopShellWindow(HWND) { return FALSE; }
BOOL notificationDigitsDark() { return FALSE; }
BOOL ceTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params) {
    return TrackPopupMenuEx(menu, flags, x, y, owner, params);
}
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

namespace {

// The relative luminance of a colour, and the contrast ratio of two luminances, as the
// accessibility guidelines define them.
double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
}

double luminance(COLORREF colour) {
    return 0.2126 * channel(GetRValue(colour)) + 0.7152 * channel(GetGValue(colour)) +
           0.0722 * channel(GetBValue(colour));
}

// The colour the taskbar paints itself with: its class's background (a system colour or a
// brush) where another program may read it, else the menu colour: the one Wine's taskbar paints
// with, and in the classic scheme the same as the face colour of the classic taskbar.
COLORREF taskbarColour() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", NULL);
    const ULONG_PTR background = taskbar != NULL ? GetClassLongPtrW(taskbar, GCLP_HBRBACKGROUND) : 0;
    if (background != 0 && background <= COLOR_MENUBAR + 1) return GetSysColor(static_cast<int>(background - 1));
    LOGBRUSH brush;
    if (background != 0 && GetObjectW(reinterpret_cast<HGDIOBJ>(background), sizeof brush, &brush) == sizeof brush &&
        brush.lbStyle == BS_SOLID) {
        return brush.lbColor;
    }
    return GetSysColor(COLOR_MENU);
}

}  // namespace

BOOL notificationDigitsDark() {
    if (!onDesktopShell()) return FALSE;
    // Read afresh at every composition: a change of the setting reaches the next icon.
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DWORD light = 0;
        DWORD type = 0;
        DWORD size = sizeof light;
        const LONG read = RegQueryValueExW(key, L"SystemUsesLightTheme", NULL, &type, reinterpret_cast<BYTE*>(&light), &size);
        RegCloseKey(key);
        if (read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof light) return light != 0 ? TRUE : FALSE;
    }
    // Whichever of white and black stands out more from the taskbar's colour.
    const double surface = luminance(taskbarColour());
    const double onWhite = (1.0 + 0.05) / (surface + 0.05);
    const double onBlack = (surface + 0.05) / 0.05;
    return onBlack > onWhite ? TRUE : FALSE;
}

#endif  // !_WIN32_WCE
