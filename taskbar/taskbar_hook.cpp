#include "taskbar/taskbar_hook.h"

#include "app/app_state.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "settings/settings_record.h"
#include "taskbar/device_commands.h"
#include "taskbar/task_menu.h"
#include "tasks/window_lists.h"

namespace {

LRESULT passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(originalTaskbarProc, window, message, wParam, lParam);
}

void closeWindow(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

int menuY(int tapScreenY) {
    HWND taskbar = FindWindowW(TEXT("HHTaskBar"), NULL);
    RECT rect;
    if (taskbar == NULL || !GetWindowRect(taskbar, &rect)) return tapScreenY;
    return rect.bottom - rect.top;
}

LRESULT onTap(HWND window, WPARAM wParam, LPARAM lParam) {
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    if (!isIndicatorHit(x, canvas.iconXInUse, settings.largeIcons)) return passOn(window, WM_LBUTTONDOWN, wParam, lParam);
    collectWindows(TaskMenuForm, NULL);
    TaskMenus menus = {CreatePopupMenu(), NULL, NULL, false, false};
    if (menus.main != NULL) menus.close = CreatePopupMenu();
    if (menus.close != NULL) menus.closeAllExcept = CreatePopupMenu();
    if (menus.closeAllExcept == NULL) {
        if (menus.close != NULL) DestroyMenu(menus.close);
        if (menus.main != NULL) DestroyMenu(menus.main);
        return passOn(window, WM_LBUTTONDOWN, wParam, lParam);
    }
    buildTaskMenu(menus);
    POINT point = {x, y};
    ClientToScreen(window, &point);
    TrackPopupMenuEx(menus.main, 0, point.x, menuY(point.y), window, NULL);
    // Destroying the main menu destroys the submenus attached to it; the others (no window
    // listed, or an append that failed) are destroyed by themselves.
    DestroyMenu(menus.main);
    if (!menus.closeAttached) DestroyMenu(menus.close);
    if (!menus.closeAllExceptAttached) DestroyMenu(menus.closeAllExcept);
    return 1;
}

void carryOut(HWND taskbar, const TaskCommand& command) {
    switch (command.action) {
        case TaskCommand::HotReset:
            hotReset();
            break;
        case TaskCommand::PowerOff:
            powerOff();
            break;
        case TaskCommand::DisplayOff:
            turnDisplayOff(taskbar);
            break;
        case TaskCommand::CloseAll:
            for (int i = 0; i < windowCount; ++i) closeWindow(taskMenuList[i].window);
            break;
        case TaskCommand::SwitchTo: {
            HWND w = taskMenuList[command.index].window;
            BringWindowToTop(w);
            SetForegroundWindow(w);
            UpdateWindow(w);
            break;
        }
        case TaskCommand::Close:
            closeWindow(taskMenuList[command.index].window);
            break;
        case TaskCommand::CloseAllExcept:
            for (int i = 0; i < windowCount; ++i) {
                if (i != command.index) closeWindow(taskMenuList[i].window);
            }
            break;
        case TaskCommand::None:
            break;
    }
}

}  // namespace

BOOL isPppPeerPresent() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Comm\\Tcpip\\Hosts\\ppp_peer"), 0, 0, &key) != ERROR_SUCCESS) {
        return FALSE;
    }
    BYTE address[4];
    DWORD size = sizeof address;
    DWORD type = 0;
    LONG result = RegQueryValueExW(key, TEXT("ipaddr"), NULL, &type, address, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

LRESULT CALLBACK taskbarHookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return onTap(window, wParam, lParam);
        case WM_COMMAND:
            carryOut(window, decodeTaskCommand(LOWORD(wParam), windowCount));
            return passOn(window, message, wParam, lParam);
        case WM_PAINT:
            passOn(window, message, wParam, lParam);
            if (mainWindow != NULL) {
                if (isPppPeerPresent()) {
                    PostMessageW(mainWindow, PostedRefreshMessage, IndicatorTimerId, RefreshInPlace);
                } else {
                    SendMessageW(mainWindow, WM_TIMER, IndicatorTimerId, RefreshInPlace);
                }
            }
            return 1;
        default:
            return passOn(window, message, wParam, lParam);
    }
}
