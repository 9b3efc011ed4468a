// The application shell's program-wide state.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

constexpr int InstallDirUnits = 260;

extern HINSTANCE hInstance;
extern WCHAR installDir[InstallDirUnits];
extern HWND mainWindow;
extern WNDPROC originalTaskbarProc;
// The window whose procedure the hook replaced: the procedure goes back to this one window.
extern HWND hookedTaskbar;
