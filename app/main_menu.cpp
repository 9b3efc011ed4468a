#include "app/full_screen_dialog.h"
#include "app/main_menu.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/tray_icon.h"
#include "indicators/scheduler.h"
#include "indicators/indicator_place.h"
#include "settings/screen_size.h"
#include "settings/settings_dialog.h"
#include "settings/settings_record.h"
#include "taskbar/device_commands.h"
#include "tasks/programs_dialog.h"

namespace {

struct MenuEntry {
    WORD id;
    const WCHAR* text;  // NULL: a separator
};

const MenuEntry MainMenuEntries[] = {
    {CmdHotReset, TEXT("Hot Reset")}, {CmdDisplayOff, TEXT("Display Off")}, {CmdPowerOff, TEXT("Power Off")},
    {0, NULL},                        {CmdPrograms, TEXT("Programs...")},   {CmdCloseAll, TEXT("Close All")},
    {0, NULL},                        {CmdSettings, TEXT("Settings...")},   {CmdAbout, TEXT("About")},
    {0, NULL},                        {CmdExit, TEXT("Exit")},
};

bool isMainMenuCommand(WORD id) {
    for (const MenuEntry& entry : MainMenuEntries) {
        if (entry.text != NULL && entry.id == id) return true;
    }
    return false;
}

// Not once the program is on its way out (a close request arrived while a dialog was open).
void restartIndicatorTimer() {
    if (programLeaving == 0) startIndicatorTimer(mainWindow);
}

// Set while the main menu, or a dialog or message box that one of its commands opened, is open.
// Their modal loops still dispatch the notification icon's events, and a second menu or dialog
// from there would run inside the first and change what it relies on.
bool mainMenuBusy = false;

class BusyWhile {
public:
    BusyWhile() { mainMenuBusy = true; }
    ~BusyWhile() { mainMenuBusy = false; }
};

}  // namespace

void onTrayNotification(HWND window, WPARAM iconId, LPARAM pointerMessage) {
    if (iconId != TrayIconId || !indicatorMenuMessage(pointerMessage) || mainMenuBusy) return;
    BusyWhile busy;
    showMainMenu(window);
}

void showMainMenu(HWND window) {
    HMENU menu = CreatePopupMenu();
    if (menu == NULL) return;
    for (const MenuEntry& entry : MainMenuEntries) {
        if (entry.text == NULL) {
            AppendMenuW(menu, MF_SEPARATOR, 0, NULL);
        } else {
            AppendMenuW(menu, MF_STRING, entry.id, entry.text);
        }
    }
    TrackPopupMenuEx(menu, 0, GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1, window, NULL);
    DestroyMenu(menu);
}

void showModalDialog(WORD templateId, DLGPROC procedure) {
    HRSRC found = FindResourceW(hInstance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (found == NULL) return;
    HGLOBAL loaded = LoadResource(hInstance, found);
    if (loaded == NULL) return;
    DialogBoxIndirectParamW(hInstance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), NULL, procedure, 0);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        initFullScreenDialog(dialog);
        return TRUE;
    }
    // IDCANCEL: Esc, Alt+F4 or the close box of a desktop's dialog; the box changes nothing either way.
    if (message == WM_COMMAND &&
        (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDC_ABOUT_CONTINUE || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

bool handleMainMenuCommand(WORD id) {
    if (mainMenuBusy) {
        // A command that arrives while another one's dialog or box is open: not carried out now.
        return isMainMenuCommand(id);
    }
    BusyWhile busy;
    switch (id) {
        case CmdHotReset:
            hotReset();
            return true;
        case CmdPowerOff:
            powerOff();
            return true;
        case CmdDisplayOff:
            turnDisplayOff(mainWindow);
            return true;
        case CmdPrograms:
            KillTimer(mainWindow, IndicatorTimerId);
            eraseIndicator();
            showModalDialog(ProgramsDialogTemplate, programsDialogProc);
            restartIndicatorTimer();
            return true;
        case CmdCloseAll:
            closeAllPrograms();
            return true;
        case CmdSettings:
            KillTimer(mainWindow, IndicatorTimerId);
            eraseIndicator();
            readScreenSize();
            showModalDialog(screenWidth > screenHeight ? SettingsLandscapeTemplate : SettingsPortraitTemplate,
                            settingsDialogProc);
            restartIndicatorTimer();
            return true;
        case CmdAbout:
            showModalDialog(AboutDialogTemplate, aboutDialogProc);
            return true;
        case CmdExit:
            removeTrayIcon(mainWindow);
            SendMessageW(mainWindow, WM_CLOSE, 0, 0);
            // The close did not arrive: the program must still end, never run on without its icon.
            if (IsWindow(mainWindow) && programLeaving == 0) closeProgram(mainWindow);
            return true;
        default:
            return false;
    }
}
