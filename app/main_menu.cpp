#include "app/main_menu.h"

void onTrayNotification(HWND, WPARAM, LPARAM) {}

bool handleMainMenuCommand(WORD) { return false; }
