// Windows headers plus what desktop Windows lacks of the Pocket PC platform.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <wchar.h>

#ifdef _WIN32_WCE
#include <aygshell.h>
#include <pm.h>
#ifndef GWLP_WNDPROC
#define GWLP_WNDPROC GWL_WNDPROC
#endif
#ifndef SetWindowLongPtrW
#define SetWindowLongPtrW SetWindowLongW
#define GetWindowLongPtrW GetWindowLongW
#endif
#else
#include "ce_compat.h"
#endif

// The installation folder where the registry names none: on the device its fixed folder, on a
// desktop the folder that holds the running program. FALSE when it cannot be told or does not
// fit in `units` UTF-16 units with its terminator (`dir` is then untouched).
BOOL defaultInstallDir(LPWSTR dir, DWORD units);

// The user's own folder for the program's settings, for when the installation folder cannot be
// written (a desktop's "Program Files"): the application-data folder's "Orvo", made when missing.
// FALSE where settings live in the installation folder alone: on the device, and beside the
// Pocket PC's taskbar.
BOOL userSettingsDir(LPWSTR dir, DWORD units);

// TRUE on a desktop without the Pocket PC's taskbar ("HHTaskBar"), where the dialogs are ordinary
// desktop dialogs (see ce_dialogs.cpp); FALSE on the device and beside that taskbar.
BOOL onDesktopShell();

// TRUE for a window that a desktop's own taskbar does not list as a program (the desktop, the
// taskbar, tool windows, owned windows); FALSE always beside the Pocket PC's taskbar.
BOOL isDesktopShellWindow(HWND window);

// TRUE when the notification area's surface is light, so that an icon's digits must be dark to
// be read on it: the system's light or dark setting where it has one, else the taskbar's own
// colour. FALSE beside the Pocket PC's taskbar.
BOOL notificationDigitsDark();

// The program's menu tracking: on a desktop a notification icon's menu opens at the pointer, its
// owner in the foreground first (device_seam.cpp puts it in the real program's seam).
BOOL ceTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
