// The window procedure that replaces the taskbar's own for the program's run.
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK taskbarHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The shell's own taskbar: a window of class "HHTaskBar" made by a thread that also made a
// desktop ("DesktopExplorerWindow"), as the shell does. Another program's window of that class,
// visible or hidden, is never taken for it.
HWND findShellTaskbar();
// The window whose procedure the hook replaced: the procedure goes back to this one window.
// Written only by installTaskbarHook and takeTaskbarHookOut.
extern HWND hookedTaskbar;

// Replaces the procedure of `taskbar` (what findShellTaskbar found; NULL for none) with the hook
// (originalTaskbarProc, hookedTaskbar).
void installTaskbarHook(HWND taskbar);
// From now on the hook passes every message on and does nothing of its own (the program ends).
void passTaskbarMessagesOnly();
// Takes the hook out where that is safe; TRUE when the taskbar can no longer call it: it was
// never installed, the hooked window got its procedure back or is gone, or another program's
// hook has cut it out of the chain. FALSE while another program's later hook runs first and
// still passes on to it (giving the taskbar its old procedure would cut that program out and
// leave the hook in its chain), or when the procedure could not be given back.
BOOL takeTaskbarHookOut();
// TRUE while a call of the hook runs on the shell's thread (a task menu or a box opened from it);
// the last of them to return then posts HookReturnedMessage to the main window.
BOOL isTaskbarHookRunning();
constexpr UINT HookReturnedMessage = WM_APP + 2;

// TRUE when HKEY_LOCAL_MACHINE "Comm\Tcpip\Hosts\ppp_peer" "ipaddr" reads into 4 bytes.
BOOL isPppPeerPresent();
