// The notification-area icon.
#pragma once

#include "platform/winapi.h"

constexpr UINT TrayIconId = 5302;
constexpr UINT TrayCallbackMessage = 0x0CFD;

void addTrayIcon(HWND window, HICON icon);
void removeTrayIcon(HWND window);

// One message about the notification icon of `window`: `flags` (NIF_*) say which of the callback,
// `icon` and `tip` it carries; `tip` may be NULL for none, and is cut to the record's size.
BOOL notifyTrayIcon(DWORD message, HWND window, UINT flags, HICON icon, const WCHAR* tip);

// The notification icon's picture at the size the notification area shows (32 pixels on a VGA
// screen, else 16), owned by the program until releaseTrayIcon.
HICON loadTrayIcon();
void releaseTrayIcon();
// The icon loadTrayIcon made, or NULL.
HICON loadedTrayIcon();
