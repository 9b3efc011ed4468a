#include "app/tray_icon.h"

#include "app/app_state.h"
#include "indicators/icon_composer.h"
#include "indicators/indicator_place.h"
#include "platform/try_once_more.h"

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
    // On a desktop the notification area asks for its own size (with the screen's DPI): the art
    // goes unscaled into an icon of that size, so that the area never stretches it.
    const int size = programIconPixels();
    const bool large = size >= 32;
    const int art = large ? 32 : 16;
    // The system's icon loader would give only its standard size, 32 pixels.
    HICON loaded = static_cast<HICON>(
        LoadImageW(hInstance, MAKEINTRESOURCEW(large ? TrayIconLarge : TrayIconSmall), IMAGE_ICON, art, art, 0));
    trayIcon = iconAtSize(loaded, size);
    return trayIcon;
}

HICON loadedTrayIcon() { return trayIcon; }

void releaseTrayIcon() {
    if (trayIcon != NULL) DestroyIcon(trayIcon);
    trayIcon = NULL;
}

void removeTrayIcon(HWND window) { notifyIcon(NIM_DELETE, window, LoadIconW(hInstance, MAKEINTRESOURCEW(ProgramIcon))); }
