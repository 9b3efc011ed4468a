// The window procedure that replaces the taskbar's own for the program's run.
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK taskbarHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// TRUE when HKEY_LOCAL_MACHINE "Comm\Tcpip\Hosts\ppp_peer" "ipaddr" reads into 4 bytes.
BOOL isPppPeerPresent();
