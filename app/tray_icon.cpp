#include "app/tray_icon.h"

#include "app/app_state.h"

namespace {
void notifyIcon(DWORD message, HWND window, HICON icon) {
    NOTIFYICONDATA data;
    // The record's size is the platform's own (it differs between devices and desktop builds).
    data.cbSize = sizeof(NOTIFYICONDATA);
    data.hWnd = window;
    data.uID = TrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = icon;
    data.szTip[0] = 0;
    Shell_NotifyIcon(message, &data);
}
}  // namespace

void addTrayIcon(HWND window, HICON icon) { notifyIcon(NIM_ADD, window, icon); }

void removeTrayIcon(HWND window) { notifyIcon(NIM_DELETE, window, LoadIconW(hInstance, MAKEINTRESOURCEW(ProgramIcon))); }
