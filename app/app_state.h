// The application shell's program-wide state.
#pragma once

#include "platform/winapi.h"

constexpr int InstallDirUnits = 260;

extern HINSTANCE hInstance;
extern WCHAR installDir[InstallDirUnits];
extern HWND mainWindow;
extern WNDPROC originalTaskbarProc;
// The window whose procedure the hook replaced: the procedure goes back to this one window.
extern HWND hookedTaskbar;
// Non-zero from the first close request on: nothing of the program shows any more, and it ends
// as soon as none of its code can run on the shell's thread.
extern int programLeaving;

// While the program waits to end, it looks again this often whether it may.
constexpr UINT_PTR ExitCheckTimerId = 160;
constexpr UINT ExitCheckMilliseconds = 500;

// Resource ids of the application shell.
constexpr UINT MainWindowClassString = 40003;
constexpr UINT MainWindowTitleString = 40005;
// What those strings hold, for when they do not load.
constexpr const WCHAR* MainWindowClassName = TEXT("ORVO");
constexpr const WCHAR* MainWindowTitle = TEXT("Orvo");
// Held by the running instance for its whole run.
constexpr const WCHAR* SingleInstanceMutexName = TEXT("Marund.Orvo.SingleInstance");
constexpr WORD ProgramIcon = 105;
constexpr WORD TrayIconLarge = 160;
constexpr WORD TrayIconSmall = 161;
