// The seam's operations that the runner reports as events, and the record of the menus, message
// boxes and dialogs open on the device's threads. The operations themselves are the real
// system's (real menus, boxes and dialogs, real files, real windows); only the clock is the
// device's, so that timers fire when the scenario says time passes, as on the simulator.
#include <algorithm>

#include "platform/shortcut_file.h"
#include "tests/e2e/harness/harness.h"

namespace e2e {

BOOL WINAPI shellNotifyIcon(DWORD message, PNOTIFYICONDATAW data);
void connectDeviceSeam(DeviceSeam* table);

namespace {

// Open modals by their thread, kept apart from the record itself (which lives on that thread's
// stack) so that a thread killed by a reset can be forgotten without touching its stack.
struct ModalEntry {
    DWORD thread;
    OpenModal* modal;
};
std::mutex gModalLock;
std::vector<ModalEntry> gModals;
thread_local int tDialogTemplate = 0;

std::mutex gTimerLock;
std::vector<Timer> gTimers;

struct ModalScope {
    OpenModal modal;
    explicit ModalScope(const OpenModal& m) : modal(m) {
        std::lock_guard<std::mutex> hold(gModalLock);
        gModals.push_back(ModalEntry{modal.thread, &modal});
    }
    ~ModalScope() {
        std::lock_guard<std::mutex> hold(gModalLock);
        gModals.erase(std::remove_if(gModals.begin(), gModals.end(), [this](const ModalEntry& e) { return e.modal == &modal; }),
                      gModals.end());
    }
};

UINT_PTR WINAPI setTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC) {
    logEvent("timer-set " + std::to_string(id) + " " + std::to_string(ms));
    std::lock_guard<std::mutex> hold(gTimerLock);
    uint64_t period = ms == 0 ? 1 : ms;
    for (Timer& t : gTimers) {
        if (t.window == window && t.id == id) {
            t.period = period;
            t.due = now() + period;
            return id;
        }
    }
    gTimers.push_back(Timer{window, id, period, now() + period});
    return id;
}

BOOL WINAPI killTimer(HWND window, UINT_PTR id) {
    logEvent("timer-kill " + std::to_string(id));
    std::lock_guard<std::mutex> hold(gTimerLock);
    auto it = std::find_if(gTimers.begin(), gTimers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == gTimers.end()) return FALSE;
    gTimers.erase(it);
    return TRUE;
}

BOOL WINAPI startupFolder(HWND, LPWSTR path, int folder, BOOL) {
    if (path == NULL || folder != CSIDL_STARTUP) return FALSE;
    wcscpy(path, kStartupFolder);
    return TRUE;
}

// The stand-in shell writes the device's own shortcut file, which its warm reset follows.
DWORD WINAPI createShortcut(LPWSTR shortcut, LPWSTR target) {
    if (shortcut == NULL || target == NULL) return FALSE;
    std::vector<uint8_t> bytes = shortcut_file::bytesFor(toUtf16(target));
    HANDLE f = CreateFileW(shortcut, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return FALSE;
    DWORD written = 0;
    BOOL made = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) && written == bytes.size();
    CloseHandle(f);
    if (made) logEvent("shortcut-created " + quote(shortcut) + " " + quote(target));
    return made;
}

BOOL WINAPI deleteFile(LPCWSTR path) {
    BOOL deleted = DeleteFileW(path);
    if (deleted) logEvent("file-deleted " + quote(path));
    return deleted;
}

// The last menu's entry lines, for the scenarios' menu checks on the runner's thread.
std::mutex gMenuLinesLock;
std::vector<std::string> gLastMenuLines;
bool gMenuOpened = false;

void logMenuEntries(HMENU menu, int depth, std::vector<std::string>* lines) {
    std::string indent(static_cast<size_t>(depth) * 2, ' ');
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuItem item = menuItem(menu, i);
        if (item.separator) {
            lines->push_back(indent + "separator");
        } else if (item.submenu != NULL) {
            lines->push_back(indent + "popup " + quote(item.text));
            logMenuEntries(item.submenu, depth + 1, lines);
        } else {
            lines->push_back(indent + "item " + std::to_string(item.id) + " " + quote(item.text));
        }
    }
}

BOOL WINAPI trackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params) {
    logEvent("menu-open " + std::to_string(x) + " " + std::to_string(y) + " " + ownerName(owner));
    std::vector<std::string> lines;
    logMenuEntries(menu, 1, &lines);
    for (const std::string& line : lines) logLine(line);
    {
        std::lock_guard<std::mutex> hold(gMenuLinesLock);
        gLastMenuLines = lines;
        gMenuOpened = true;
    }
    OpenModal m{OpenModal::PopupMenuKind};
    m.thread = GetCurrentThreadId();
    m.menu = menu;
    ModalScope open(m);
    return TrackPopupMenuEx(menu, flags, x, y, owner, params);
}

int WINAPI messageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    logEvent("messagebox " + ownerName(owner) + " " + scenario::hex(style) + " " + quote(caption) + " " + quote(text));
    OpenModal m{OpenModal::MessageBoxKind};
    m.thread = GetCurrentThreadId();
    m.style = style;
    ModalScope open(m);
    return MessageBoxW(owner, text, caption, style);
}

HRSRC WINAPI findResource(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (type == RT_DIALOG && IS_INTRESOURCE(name)) tDialogTemplate = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    return FindResourceW(module, name, type);
}

// The number of controls a dialog template holds, in its plain or extended form.
int templateControls(LPCDLGTEMPLATEW dialog) {
    const WORD* words = reinterpret_cast<const WORD*>(dialog);
    if (words[0] == 1 && words[1] == 0xFFFF) return words[8];  // extended: dlgVer, signature, ... cDlgItems
    return dialog->cdit;
}

INT_PTR WINAPI dialogBox(HINSTANCE instance, LPCDLGTEMPLATEW dialog, HWND owner, DLGPROC proc, LPARAM param) {
    OpenModal m{OpenModal::DialogKind};
    m.thread = GetCurrentThreadId();
    m.templateId = tDialogTemplate;
    m.controls = templateControls(dialog);
    INT_PTR result;
    {
        ModalScope open(m);
        result = DialogBoxIndirectParamW(instance, dialog, owner, proc, param);
    }
    logEvent("dialog-end " + std::to_string(m.templateId) + " " + std::to_string(result));
    return result;
}

BOOL WINAPI showWindow(HWND window, int command) {
    if (command == SW_SHOW && isOtherProgramWindow(window)) logEvent("show " + windowText(window));
    return ShowWindow(window, command);
}

BOOL WINAPI setForeground(HWND window) {
    if (IsWindow(window)) logEvent("foreground " + windowText(window));
    return SetForegroundWindow(window);
}

BOOL WINAPI bringToTop(HWND window) {
    if (IsWindow(window)) logEvent("raise " + windowText(window));
    return BringWindowToTop(window);
}

bool isDialogClass(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return LOWORD(reinterpret_cast<ULONG_PTR>(name)) == 0x8002;
    return name != NULL && wcscmp(name, L"#32770") == 0;
}

}  // namespace

// The stand-in device paints no notification area of its own: the digits stay white, as on the
// simulated device (the real system's light or dark taskbar is the desktop check's).
BOOL WINAPI whiteDigitsOnDevice() { return FALSE; }

void connectSeam(DeviceSeam* table) {
    table->SetTimer_op = setTimer;
    table->KillTimer_op = killTimer;
    table->Shell_NotifyIconW_op = shellNotifyIcon;
    table->SHGetSpecialFolderPath_op = startupFolder;
    table->SHCreateShortcut_op = createShortcut;
    table->DeleteFileW_op = deleteFile;
    table->TrackPopupMenuEx_op = trackPopupMenu;
    table->notificationDigitsDark_op = whiteDigitsOnDevice;
    table->MessageBoxW_op = messageBox;
    table->FindResourceW_op = findResource;
    table->DialogBoxIndirectParamW_op = dialogBox;
    table->ShowWindow_op = showWindow;
    table->SetForegroundWindow_op = setForeground;
    table->BringWindowToTop_op = bringToTop;
    table->CreateMutexW_op = deviceCreateMutex;
    connectDeviceSeam(table);
}

bool findModal(OpenModal::Kind kind, OpenModal* out) {
    std::lock_guard<std::mutex> hold(gModalLock);
    for (auto it = gModals.rbegin(); it != gModals.rend(); ++it) {
        if (it->modal->kind == kind) {
            *out = *it->modal;
            return true;
        }
    }
    return false;
}

void forgetModalsOf(DWORD thread) {
    std::lock_guard<std::mutex> hold(gModalLock);
    gModals.erase(std::remove_if(gModals.begin(), gModals.end(), [thread](const ModalEntry& e) { return e.thread == thread; }),
                  gModals.end());
}

void forgetTimers() {
    std::lock_guard<std::mutex> hold(gTimerLock);
    gTimers.clear();
}

void noteCreatedWindow(HWND window, const CREATESTRUCTW* create) {
    if (!isDialogClass(create->lpszClass) || (create->style & WS_CHILD)) return;
    OpenModal* modal = nullptr;
    {
        std::lock_guard<std::mutex> hold(gModalLock);
        for (auto it = gModals.rbegin(); it != gModals.rend(); ++it) {
            OpenModal* m = it->modal;
            if (it->thread == GetCurrentThreadId() && m->kind != OpenModal::PopupMenuKind && m->window == NULL) {
                modal = m;
                break;
            }
        }
        if (modal == nullptr) return;
        modal->window = window;
    }
    if (modal->kind == OpenModal::DialogKind) {
        logEvent("dialog-open " + std::to_string(modal->templateId) + " " +
                 quote(IS_INTRESOURCE(create->lpszName) ? L"" : create->lpszName));
    }
}

void advanceClock(uint64_t target) {
    for (;;) {
        std::vector<Timer> due;
        {
            std::lock_guard<std::mutex> hold(gTimerLock);
            gTimers.erase(std::remove_if(gTimers.begin(), gTimers.end(), [](const Timer& t) { return !IsWindow(t.window); }),
                          gTimers.end());
            uint64_t next = UINT64_MAX;
            for (const Timer& t : gTimers) next = std::min(next, t.due);
            if (next > target) break;
            setNow(next);
            for (Timer& t : gTimers) {
                if (t.due == next) {
                    due.push_back(t);
                    t.due += t.period;
                }
            }
        }
        // Each tick reaches its window as the platform's timer message does, with no procedure.
        for (const Timer& t : due) PostMessageW(t.window, WM_TIMER, t.id, 0);
        settle();
    }
    setNow(target);
}

bool lastMenuLines(std::vector<std::string>* lines) {
    std::lock_guard<std::mutex> hold(gMenuLinesLock);
    *lines = gLastMenuLines;
    return gMenuOpened;
}

}  // namespace e2e
