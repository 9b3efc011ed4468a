#include "taskbar/taskbar_hook.h"

#include "app/app_state.h"
#include "platform/try_once_more.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "settings/settings_record.h"
#include "taskbar/device_commands.h"
#include "taskbar/task_menu.h"
#include "tasks/window_lists.h"

HWND hookedTaskbar = NULL;

namespace {

LRESULT passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(originalTaskbarProc, window, message, wParam, lParam);
}

void closeWindow(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

int menuY(HWND taskbar, int tapScreenY) {
    RECT rect;
    if (taskbar == NULL || !GetWindowRect(taskbar, &rect)) return tapScreenY;
    return rect.bottom - rect.top;
}

// The windows of class "HHTaskBar" and the threads that own a shell desktop, in z-order.
struct TaskbarSearch {
    HWND taskbars[8];
    int taskbarCount;
    DWORD desktopThreads[8];
    int desktopCount;
};

BOOL CALLBACK noteShellWindow(HWND window, LPARAM parameter) {
    TaskbarSearch* search = reinterpret_cast<TaskbarSearch*>(parameter);
    WCHAR className[32];
    className[0] = 0;
    GetClassNameW(window, className, 32);
    className[31] = 0;
    if (wcscmp(className, TEXT("HHTaskBar")) == 0 && search->taskbarCount < 8) {
        search->taskbars[search->taskbarCount++] = window;
    } else if (wcscmp(className, TEXT("DesktopExplorerWindow")) == 0 && search->desktopCount < 8) {
        search->desktopThreads[search->desktopCount++] = GetWindowThreadProcessId(window, NULL);
    }
    return TRUE;
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
    TrackPopupMenuEx(menus.main, 0, point.x, menuY(window, point.y), window, NULL);
    // Destroying the main menu destroys the submenus attached to it; the others (no window
    // listed, or an append that failed) are destroyed by themselves.
    DestroyMenu(menus.main);
    if (!menus.closeAttached) DestroyMenu(menus.close);
    if (!menus.closeAllExceptAttached) DestroyMenu(menus.closeAllExcept);
    return 1;
}

// The entries the task menu's commands may act on: those of its own last collection, and none
// once the main menu's Close All has closed everything (it sets windowCount to 0).
int actionableEntries() { return windowCount < taskMenuCount ? windowCount : taskMenuCount; }

void carryOut(HWND taskbar, const TaskCommand& command) {
    const int listed = actionableEntries();
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
            for (int i = 0; i < listed; ++i) closeWindow(taskMenuList[i].window);
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
            for (int i = 0; i < listed; ++i) {
                if (i != command.index) closeWindow(taskMenuList[i].window);
            }
            break;
        case TaskCommand::None:
            break;
    }
}

}  // namespace

HWND findShellTaskbar() {
    TaskbarSearch search;
    search.taskbarCount = 0;
    search.desktopCount = 0;
    // Lasting harm otherwise: without the taskbar there is no hook, so no task menu, for the whole run.
    tryOnceMore([&] {
        search.taskbarCount = 0;
        search.desktopCount = 0;
        return EnumWindows(noteShellWindow, reinterpret_cast<LPARAM>(&search)) != FALSE;
    });
    // The shell makes its taskbar and its desktop on one thread; another program's window of
    // either class (or both) on a thread of its own is not the shell's.
    for (int t = 0; t < search.taskbarCount; ++t) {
        DWORD thread = GetWindowThreadProcessId(search.taskbars[t], NULL);
        if (thread == 0) continue;
        for (int d = 0; d < search.desktopCount; ++d) {
            if (search.desktopThreads[d] == thread) return search.taskbars[t];
        }
    }
    return NULL;
}

void installTaskbarHook(HWND taskbar) {
    if (taskbar == NULL) return;
    const LONG_PTR hook = reinterpret_cast<LONG_PTR>(taskbarHookProc);
    LONG_PTR previous = 0;
    // Lasting harm otherwise: no task menu for the whole run, since nothing installs the hook later.
    tryOnceMore([&] { return (previous = SetWindowLongPtrW(taskbar, GWLP_WNDPROC, hook)) != 0; });
    // No previous procedure: the hook did not go on, and there is nothing to give back.
    if (previous == 0) return;
    originalTaskbarProc = reinterpret_cast<WNDPROC>(previous);
    hookedTaskbar = taskbar;
}

void removeTaskbarHook() {
    if (hookedTaskbar == NULL || originalTaskbarProc == NULL) return;
    // Only the window that still runs the hook gets the procedure back: a handle that now names
    // another window must not receive the taskbar's procedure.
    if (GetWindowLongPtrW(hookedTaskbar, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(taskbarHookProc)) {
        const LONG_PTR original = reinterpret_cast<LONG_PTR>(originalTaskbarProc);
        // Lasting harm otherwise: the shell would go on calling code of an ended program.
        tryOnceMore([&] { return SetWindowLongPtrW(hookedTaskbar, GWLP_WNDPROC, original) != 0; });
    }
    hookedTaskbar = NULL;
}

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
            // Decoded against the task menu's own list: a Programs dialog that refilled its list
            // meanwhile has changed windowCount, not the entries these ids number.
            carryOut(window, decodeTaskCommand(LOWORD(wParam), actionableEntries()));
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
