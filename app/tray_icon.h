// The notification-area icon.
#pragma once

#include "platform/winapi.h"

constexpr UINT TrayIconId = 5302;
constexpr UINT TrayCallbackMessage = 0x0CFD;

void addTrayIcon(HWND window, HICON icon);
void removeTrayIcon(HWND window);
