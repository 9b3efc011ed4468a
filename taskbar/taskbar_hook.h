// The window procedure that replaces the taskbar's own for the program's run.
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK taskbarHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's own taskbar: a window of class "HHTaskBar" made by a thread that also made a
// desktop ("DesktopExplorerWindow"), as the shell does. Another program's window of that class,
// visible or hidden, is never taken for it.
HWND findShellTaskbar();
// The window whose procedure the hook replaced: the procedure goes back to this one window.
// Written only by installTaskbarHook and removeTaskbarHook.
extern HWND hookedTaskbar;

// Replaces the procedure of `taskbar` (what findShellTaskbar found; NULL for none) with the hook
// (originalTaskbarProc, hookedTaskbar).
void installTaskbarHook(HWND taskbar);
// Gives the hooked window its own procedure back, if the hook is still its procedure.
void removeTaskbarHook();

// TRUE when HKEY_LOCAL_MACHINE "Comm\Tcpip\Hosts\ppp_peer" "ipaddr" reads into 4 bytes.
BOOL isPppPeerPresent();
