#include "app/main_window.h"

#include "app/app_state.h"
#include "app/main_menu.h"
#include "app/tray_icon.h"
#include "indicators/icon_slots.h"
#include "indicators/scheduler.h"
#include "indicators/indicator_place.h"
#include "indicators/tray_indicator.h"
#include "indicators/taskbar_canvas.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "taskbar/taskbar_hook.h"
#include "tasks/window_lists.h"

HINSTANCE hInstance = NULL;
WCHAR installDir[InstallDirUnits] = TEXT("\\Program Files\\Marund\\Orvo");
HWND mainWindow = NULL;
WNDPROC originalTaskbarProc = NULL;

namespace {

constexpr int ResourceTextUnits = 100;

// The message the shell sends every top-level window when it has made its notification area anew
// (0 until registered, or when it could not be).
UINT taskbarCreatedMessage = 0;

void onCreate(HWND window) {
    InitCommonControls();
    loadSettings();
    // Without the shell's taskbar (a desktop) the indicator goes into the notification icon.
    const HWND taskbar = findShellTaskbar();
    chooseIndicatorPlace(taskbar, iconXInUseFor(settings.iconX));
    installTaskbarHook(taskbar);
    openIndicator();
    recountEnabledIndicators();
    taskbarCreatedMessage = RegisterWindowMessageW(TEXT("TaskbarCreated"));
    addTrayIcon(window, loadTrayIcon());
    resetScheduler();
    forgetListedWindows();
    resetIconSlots();
    if (enabledCount >= 1) showFirstIndicator(window);
    startIndicatorTimer(window);
}

void onDestroy(HWND window) {
    KillTimer(window, IndicatorTimerId);
    removeTrayIcon(window);
    releaseTrayIcon();
    releaseIndicator(iconShown != 0);
    releaseIconSlots();
    removeTaskbarHook();
    PostQuitMessage(0);
}

}  // namespace

BOOL createMainWindow(HINSTANCE instance) {
    hInstance = instance;
    // A string that does not load leaves its buffer as it was: empty, never uninitialised.
    WCHAR className[ResourceTextUnits] = {0};
    WCHAR title[ResourceTextUnits] = {0};
    LoadStringW(hInstance, MainWindowClassString, className, ResourceTextUnits);
    LoadStringW(hInstance, MainWindowTitleString, title, ResourceTextUnits);
    if (FindWindowW(className, title) != NULL) return FALSE;

    WNDCLASSW wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = mainWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconW(hInstance, MAKEINTRESOURCEW(ProgramIcon));
    wc.hCursor = NULL;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = NULL;
    wc.lpszClassName = className;
    RegisterClassW(&wc);

    HWND window = CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, NULL, NULL, hInstance, NULL);
    if (window == NULL) return FALSE;
    mainWindow = window;
    ShowWindow(mainWindow, SW_HIDE);
    UpdateWindow(mainWindow);
    return TRUE;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            onCreate(window);
            return 0;
        case WM_DESTROY:
            onDestroy(window);
            return 0;
        case WM_TIMER:
        case PostedRefreshMessage:
            if (wParam == IndicatorTimerId) onIndicatorTimer(window, lParam);
            return 0;
        case WM_COMMAND:
            if (handleMainMenuCommand(LOWORD(wParam))) return 0;
            return DefWindowProcW(window, message, wParam, lParam);
        case TrayCallbackMessage:
            onTrayNotification(window, wParam, lParam);
            return 0;
        default:
            if (message == taskbarCreatedMessage && message != 0) {
                // The icons of the old notification area are gone with it.
                addTrayIconAgain(window);
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
