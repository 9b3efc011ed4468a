// The notification-area icon.
#pragma once

#include "platform/winapi.h"

constexpr UINT TrayIconId = 5302;
constexpr UINT TrayCallbackMessage = 0x0CFD;

void addTrayIcon(HWND window, HICON icon);
void removeTrayIcon(HWND window);

// The notification icon's picture at the size the notification area shows (32 pixels on a VGA
// screen, else 16), owned by the program until releaseTrayIcon.
HICON loadTrayIcon();
void releaseTrayIcon();
// The icon loadTrayIcon made, or NULL.
HICON loadedTrayIcon();
