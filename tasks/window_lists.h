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
// How many entries each form's own last collection listed. windowCount is shared by both forms
// and follows whichever was collected last; what acts on a form's entries (the task menu's
// commands, the Programs dialog's buttons) uses that form's own count, so that a collection of the
// other form meanwhile cannot make it act on entries it never listed.
extern int taskMenuCount;
extern int programsCount;

// The thread that runs the program's windows (its main window, dialogs and message boxes): they
// are the program's own and never listed, whatever their titles. Set when the program starts.
extern DWORD programThreadId;

extern const WCHAR excludedTitles[5][ExclusionRowUnits];
extern const WCHAR excludedClasses[3][ExclusionRowUnits];

// The filter of both forms. The class name is asked for only when the title passes, and the
// visibility only when the class passes, as both are platform calls; `readClass` fills a buffer
// of WindowClassUnits units.
typedef void (*ClassNameReader)(HWND window, WCHAR* buffer);
typedef BOOL (*VisibilityReader)(HWND window);
// TRUE when the window belongs to the program itself.
typedef BOOL (*OwnershipReader)(HWND window);
BOOL isListableWindow(HWND window, const WCHAR* title, ClassNameReader readClass, VisibilityReader isVisible,
                      OwnershipReader isOwn, const HWND* listed, int listedCount);

// Nothing listed is acted on any more: windowCount and the Programs list's count are 0 (the task
// menu's commands act on at most windowCount entries until its next collection).
void forgetListedWindows();

// Sets windowCount to 0 and lists the windows that pass the filter into the form's array, in
// enumeration order. For ProgramsForm each title is also added to listBox unless it is NULL.
void collectWindows(WindowListForm form, HWND listBox);

BOOL CALLBACK enumTaskMenuWindow(HWND window, LPARAM lParam);
BOOL CALLBACK enumProgramsWindow(HWND window, LPARAM listBox);
