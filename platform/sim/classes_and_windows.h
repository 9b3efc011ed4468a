// Classes and windows: window classes, top-level windows in z-order, child windows of dialogs,
// the active window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scheduler.h"
#include "sim_types.h"
#include "world.h"

namespace sim {

// Behaviour that a simulator-made window (a control, a dialog) keeps beside its procedure.
struct WindowExtra {
    virtual ~WindowExtra() = default;
};

struct Window {
    HWND handle = nullptr;
    std::u16string title;
    std::u16string className;
    WNDPROC proc = nullptr;
    Thread* thread = nullptr;
    Process* process = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{0, 0, 0, 0};  // screen coordinates
    HWND parent = nullptr;
    std::vector<HWND> children;  // in creation order
    int id = 0;                  // control id of a child window
    bool visible = false;
    bool enabled = true;
    bool destroyed = false;
    bool destroying = false;  // WM_DESTROY is being sent; the window still exists
    bool ignoresClose = false;   // another program's window that does not close on WM_CLOSE
    LONG_PTR userData = 0;
    // The process whose code `proc` is: a procedure put on another process's window stays that
    // process's code, and calling it after that process has ended is a fault of the caller.
    Process* procProcess = nullptr;
    LONG_PTR dialogResult = 0;   // DWL_MSGRESULT of a dialog
    std::unique_ptr<WindowExtra> extra;
};

struct WindowClassEntry {
    std::u16string name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
};

Window* findWindowObject(HWND handle);
// The window, or null with the last error ERROR_INVALID_WINDOW_HANDLE, as the calls that take one answer.
Window* windowOrInvalidHandle(HWND handle);
// Top-level windows, top of the z-order first.
const std::vector<HWND>& topLevelWindows();
// Every window, top-level or child, that is not destroyed.
std::vector<Window*> allWindows();

// Makes a window owned by the given thread (which need not be the caller), without sending it any
// creation message; used for the shell's and the other programs' windows.
HWND createNativeWindow(Thread* thread, const std::u16string& className, const std::u16string& title,
                        WNDPROC proc, DWORD style, RECT rect, HWND parent = nullptr);
// Removes a window and its children; sends no message (a window of an ended thread).
void removeWindow(HWND handle);
void raiseWindow(HWND handle);
// Replaces a window's procedure as another program does, outside the program's counted and
// failable calls; returns the one replaced.
WNDPROC replaceWindowProc(HWND handle, WNDPROC proc);

// Removes everything a process owns in the window manager: windows, timers, classes.
void releaseProcessWindows(Process* process);

// The top-level window at a screen point (visible, topmost first), or nullptr.
HWND windowAtPoint(int x, int y);

// True when the window belongs to a program other than Orvo (made by the scenario).
bool isOtherProgramWindow(const Window* w);

// The active window: the one the user works in, whose title the taskbar shows. It changes when
// a dialog or message box opens or closes, with SetForegroundWindow, and when the active window
// goes away (the most recently active window that is still there and visible takes over).
HWND activeWindow();
void activateWindow(HWND handle);
// Called whenever the active window changes (the shell repaints its taskbar).
void setActivationListener(void (*listener)());

void resetWindowManager();

}  // namespace sim
