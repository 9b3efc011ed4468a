// The application shell's program-wide state.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

constexpr int InstallDirUnits = 260;

extern HINSTANCE hInstance;
extern WCHAR installDir[InstallDirUnits];
extern HWND mainWindow;
// The taskbar's own procedure: written only by the hook's installation and removal
// (installTaskbarHook, removeTaskbarHook), which the main window's creation and destruction call.
extern WNDPROC originalTaskbarProc;
