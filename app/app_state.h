// The application shell's program-wide state.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

constexpr int InstallDirUnits = 260;

extern HINSTANCE hInstance;
extern WCHAR installDir[InstallDirUnits];
extern HWND mainWindow;
// The taskbar's own procedure: written only by the hook's installation and removal
// (installTaskbarHook, takeTaskbarHookOut), which the main window's creation and its close call.
extern WNDPROC originalTaskbarProc;
// Non-zero from the first close request on: nothing of the program shows any more, and it ends
// as soon as none of its code can run on the shell's thread.
extern int programLeaving;

// While the program waits to end, it looks again this often whether it may.
constexpr UINT_PTR ExitCheckTimerId = 160;
constexpr UINT ExitCheckMilliseconds = 500;

// What the main window's class and title strings hold, for when they do not load.
constexpr const WCHAR* MainWindowClassName = TEXT("ORVO");
constexpr const WCHAR* MainWindowTitle = TEXT("Orvo");
// Held by the running instance for its whole run.
constexpr const WCHAR* SingleInstanceMutexName = TEXT("Marund.Orvo.SingleInstance");
