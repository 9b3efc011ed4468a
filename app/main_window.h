// The hidden main window: owner of the notification icon, the indicator timer and the dialogs.
#pragma once

#include "platform/winapi.h"

// FALSE when another instance runs or the window cannot be made.
BOOL createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
