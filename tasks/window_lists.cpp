#include "tasks/window_lists.h"

TaskMenuEntry taskMenuList[WindowListCapacity] = {};
HWND programsList[WindowListCapacity] = {};
int windowCount = 0;
int taskMenuCount = 0;
int programsCount = 0;
DWORD programThreadId = 0;

const WCHAR excludedTitles[5][ExclusionRowUnits] = {TEXT("Desktop"), TEXT("Programs"), TEXT("MS_SIPBUTTON"),
                                                    TEXT("Orvo"), TEXT("Phone")};
const WCHAR excludedClasses[3][ExclusionRowUnits] = {TEXT("Explore"), TEXT("DesktopExplorerWindow"), TEXT("ORVO")};

namespace {

void readClassName(HWND window, WCHAR* buffer) {
    buffer[0] = 0;
    GetClassNameW(window, buffer, WindowClassUnits - 1);
    buffer[WindowClassUnits - 1] = 0;
}

bool inTable(const WCHAR* text, const WCHAR (*rows)[ExclusionRowUnits], int count) {
    for (int i = 0; i < count; ++i) {
        if (wcscmp(text, rows[i]) == 0) return true;
    }
    return false;
}

bool alreadyListed(HWND window, const HWND* listed, int count) {
    for (int i = 0; i < count; ++i) {
        if (listed[i] == window) return true;
    }
    return false;
}

// Reads the title, capped at 254 characters, into a buffer of WindowTitleUnits units.
void readTitle(HWND window, WCHAR* title) {
    title[0] = 0;
    GetWindowTextW(window, title, WindowTitleUnits - 1);
    title[WindowTitleUnits - 1] = 0;
}

BOOL readVisibility(HWND window) { return IsWindowVisible(window); }

BOOL isProgramWindow(HWND window) {
    return programThreadId != 0 && GetWindowThreadProcessId(window, NULL) == programThreadId;
}

HWND listedWindows[WindowListCapacity];

}  // namespace

BOOL isListableWindow(HWND window, const WCHAR* title, ClassNameReader readClass, VisibilityReader isVisible,
                      OwnershipReader isOwn, const HWND* listed, int listedCount) {
    if (title[0] == 0) return FALSE;
    if (inTable(title, excludedTitles, 5)) return FALSE;
    WCHAR className[WindowClassUnits];
    readClass(window, className);
    if (inTable(className, excludedClasses, 3)) return FALSE;
    if (!isVisible(window)) return FALSE;
    // The program's own dialogs and boxes ("Orvo Settings", "About Orvo") are no running programs.
    if (isOwn(window)) return FALSE;
    return !alreadyListed(window, listed, listedCount);
}

namespace {

// Shared by both forms: the list is full at WindowListCapacity entries, and windows beyond it
// are not listed (the enumeration still runs to its end).
bool admit(HWND window, WCHAR* title) {
    if (windowCount >= WindowListCapacity) return false;
    // A desktop's own windows ("Progman" answers a close with the shut-down dialog) are never
    // listed, so never closed.
    if (isDesktopShellWindow(window)) return false;
    readTitle(window, title);
    return isListableWindow(window, title, readClassName, readVisibility, isProgramWindow, listedWindows, windowCount);
}

}  // namespace

BOOL CALLBACK enumTaskMenuWindow(HWND window, LPARAM) {
    WCHAR title[WindowTitleUnits];
    if (!admit(window, title)) return TRUE;
    taskMenuList[windowCount].window = window;
    wcscpy(taskMenuList[windowCount].title, title);
    listedWindows[windowCount] = window;
    ++windowCount;
    return TRUE;
}

BOOL CALLBACK enumProgramsWindow(HWND window, LPARAM listBox) {
    WCHAR title[WindowTitleUnits];
    if (!admit(window, title)) return TRUE;
    programsList[windowCount] = window;
    listedWindows[windowCount] = window;
    HWND box = reinterpret_cast<HWND>(listBox);
    if (box != NULL) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    ++windowCount;
    return TRUE;
}

void forgetListedWindows() {
    windowCount = 0;
    programsCount = 0;
}

void collectWindows(WindowListForm form, HWND listBox) {
    windowCount = 0;
    if (form == TaskMenuForm) {
        EnumWindows(enumTaskMenuWindow, 0);
        taskMenuCount = windowCount;
    } else {
        EnumWindows(enumProgramsWindow, reinterpret_cast<LPARAM>(listBox));
        programsCount = windowCount;
    }
}
