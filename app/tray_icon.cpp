#include "app/tray_icon.h"

#include "app/app_state.h"
#include "platform/try_once_more.h"
#include "settings/screen_size.h"

namespace {
HICON trayIcon = NULL;

BOOL notifyIcon(DWORD message, HWND window, HICON icon) {
    return notifyTrayIcon(message, window, NIF_MESSAGE | NIF_ICON, icon, NULL);
}
}  // namespace

BOOL notifyTrayIcon(DWORD message, HWND window, UINT flags, HICON icon, const WCHAR* tip) {
    NOTIFYICONDATA data;
    // The record's size is the platform's own (it differs between devices and desktop builds).
    data.cbSize = sizeof(NOTIFYICONDATA);
    data.hWnd = window;
    data.uID = TrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = icon;
    const size_t units = sizeof data.szTip / sizeof data.szTip[0];
    size_t i = 0;
    for (; tip != NULL && i + 1 < units && tip[i] != 0; ++i) data.szTip[i] = tip[i];
    data.szTip[i] = 0;
    return Shell_NotifyIcon(message, &data);
}

void addTrayIcon(HWND window, HICON icon) {
    // Lasting harm otherwise: the icon is the only way to the main menu, Exit included.
    tryOnceMore([&] { return notifyIcon(NIM_ADD, window, icon) != FALSE; });
}

HICON loadTrayIcon() {
    const bool vga = isVgaScreen() != FALSE;
    const int size = vga ? 32 : 16;
    // The system's icon loader would give only its standard size, 32 pixels.
    trayIcon = static_cast<HICON>(
        LoadImageW(hInstance, MAKEINTRESOURCEW(vga ? TrayIconLarge : TrayIconSmall), IMAGE_ICON, size, size, 0));
    return trayIcon;
}

HICON loadedTrayIcon() { return trayIcon; }

void releaseTrayIcon() {
    if (trayIcon != NULL) DestroyIcon(trayIcon);
    trayIcon = NULL;
}

void removeTrayIcon(HWND window) { notifyIcon(NIM_DELETE, window, LoadIconW(hInstance, MAKEINTRESOURCEW(ProgramIcon))); }
