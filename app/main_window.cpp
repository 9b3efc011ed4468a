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
int programLeaving = 0;

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

// What a person sees of the program: the indicator, its timer and the notification icon.
void hideEverything(HWND window) {
    KillTimer(window, IndicatorTimerId);
    removeTrayIcon(window);
    releaseTrayIcon();
    releaseIndicator(iconShown != 0);
}

// The window goes (and with it the process) only when the taskbar can no longer call the hook
// and no call of it is running; until then the timer, and the hook's last return, look again.
void endWhenSafe(HWND window) {
    static bool checking = false;
    if (takeTaskbarHookOut() && !isTaskbarHookRunning()) {
        DestroyWindow(window);
        return;
    }
    if (!checking) checking = SetTimer(window, ExitCheckTimerId, ExitCheckMilliseconds, NULL) != 0;
}

void onDestroy(HWND window) {
    if (programLeaving == 0) {
        hideEverything(window);
    } else {
        // A dialog left open under the close request may have moved the indicator on its Done,
        // taking the background at the new place after everything was hidden: that goes too.
        releaseIndicator(false);
    }
    releaseIconSlots();
    takeTaskbarHookOut();
    PostQuitMessage(0);
}

}  // namespace

void closeProgram(HWND window) {
    if (programLeaving == 0) {
        programLeaving = 1;
        passTaskbarMessagesOnly();
        hideEverything(window);
    }
    endWhenSafe(window);
}

BOOL createMainWindow(HINSTANCE instance) {
    hInstance = instance;
    // The names the single-instance rule looks for: a string that does not load gives way to the
    // program's own name, so that every instance looks for the same window.
    WCHAR className[ResourceTextUnits] = {0};
    WCHAR title[ResourceTextUnits] = {0};
    if (LoadStringW(hInstance, MainWindowClassString, className, ResourceTextUnits) == 0) {
        wcscpy(className, MainWindowClassName);
    }
    if (LoadStringW(hInstance, MainWindowTitleString, title, ResourceTextUnits) == 0) wcscpy(title, MainWindowTitle);
    // Instances started at the same moment could all search before any has made its window: the
    // named mutex decides at once. The process holds it to its end (the system then frees it).
    // One that cannot be made leaves the decision to the window search alone.
    HANDLE instanceMutex = CreateMutexW(NULL, FALSE, SingleInstanceMutexName);
    if (instanceMutex != NULL && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(instanceMutex);
        return FALSE;
    }
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
        case WM_CLOSE:
            closeProgram(window);
            return 0;
        case WM_TIMER:
        case PostedRefreshMessage:
            if (wParam == ExitCheckTimerId && programLeaving != 0) endWhenSafe(window);
            if (wParam == IndicatorTimerId && programLeaving == 0) onIndicatorTimer(window, lParam);
            return 0;
        case HookReturnedMessage:
            if (programLeaving != 0) endWhenSafe(window);
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
