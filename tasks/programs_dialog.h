// The Programs dialog (the running programs, to switch to or close) and Close All.
#pragma once

#include "platform/winapi.h"

constexpr WORD ProgramsDialogTemplate = 162;
constexpr int IDC_CLOSE = 1018;
constexpr int IDC_CLOSE_ALL = 1019;
constexpr int IDC_PROGRAM_LIST = 1017;
constexpr int IDC_SWITCH_TO = 1024;
constexpr int IDC_CLOSE_ALL_EXCEPT = 1035;

INT_PTR CALLBACK programsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void refillProgramList(HWND listBox);
// The main menu's Close All: a fresh list, a confirmation per confirmCloseAll, no owner window.
void closeAllPrograms();
