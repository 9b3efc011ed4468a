// The Programs dialog (the running programs, to switch to or close) and Close All.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

INT_PTR CALLBACK programsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void refillProgramList(HWND listBox);
// The main menu's Close All: a fresh list, a confirmation per confirmCloseAll, no owner window.
void closeAllPrograms();
