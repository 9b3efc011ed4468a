// The notification icon's main menu and its commands.
#pragma once

#include "platform/winapi.h"

// A notification-icon event: the pen down on the program's icon opens the main menu.
void onTrayNotification(HWND window, WPARAM iconId, LPARAM pointerMessage);

// Carries out a main-menu command; false for ids that are not the menu's.
bool handleMainMenuCommand(WORD id);
