// The notification icon's main menu, its commands and the About box.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

constexpr WORD CmdPrograms = 257;
constexpr WORD CmdCloseAll = 258;
constexpr WORD CmdSettings = 259;
constexpr WORD CmdAbout = 260;
constexpr WORD CmdExit = 261;

// A notification-icon event: the pen down on the program's icon opens the main menu.
void onTrayNotification(HWND window, WPARAM iconId, LPARAM pointerMessage);
void showMainMenu(HWND window);
void showModalDialog(WORD templateId, DLGPROC procedure);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Carries out a main-menu command; false for ids that are not the menu's.
bool handleMainMenuCommand(WORD id);
