// The hidden main window: owner of the notification icon, the indicator timer and the dialogs.
#pragma once

#include "platform/winapi.h"

// FALSE when another instance runs or the window cannot be made.
BOOL createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A close request (Exit, or WM_CLOSE from anywhere): everything a person sees goes at once; the
// window and the process end when none of the program's code can run on the shell's thread any
// more (the hook is off the taskbar, or cut out of its chain, and no call of it is running).
void closeProgram(HWND window);
