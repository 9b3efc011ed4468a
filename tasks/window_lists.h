// The running programs: the top-level windows a user would switch to or close.
#pragma once

#include "platform/winapi.h"

constexpr int WindowListCapacity = 256;
constexpr int WindowTitleUnits = 256;
constexpr int WindowClassUnits = 128;
constexpr int ExclusionRowUnits = 40;

struct TaskMenuEntry {
    HWND window;
    WCHAR title[WindowTitleUnits];
};

enum WindowListForm { TaskMenuForm, ProgramsForm };

extern TaskMenuEntry taskMenuList[WindowListCapacity];
extern HWND programsList[WindowListCapacity];
extern int windowCount;

extern const WCHAR excludedTitles[5][ExclusionRowUnits];
extern const WCHAR excludedClasses[3][ExclusionRowUnits];

// The filter of both forms. The class name is asked for only when the title passes, and the
// visibility only when the class passes, as both are platform calls; `readClass` fills a buffer
// of WindowClassUnits units.
typedef void (*ClassNameReader)(HWND window, WCHAR* buffer);
typedef BOOL (*VisibilityReader)(HWND window);
BOOL isListableWindow(HWND window, const WCHAR* title, ClassNameReader readClass, VisibilityReader isVisible,
                      const HWND* listed, int listedCount);

// Sets windowCount to 0 and lists the windows that pass the filter into the form's array, in
// enumeration order. For ProgramsForm each title is also added to listBox unless it is NULL.
void collectWindows(WindowListForm form, HWND listBox);

BOOL CALLBACK enumTaskMenuWindow(HWND window, LPARAM lParam);
BOOL CALLBACK enumProgramsWindow(HWND window, LPARAM listBox);
