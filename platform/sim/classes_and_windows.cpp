// Classes and windows: registration, creation and destruction, the z-order, a window's text,
// place and longs, activation.
#include "classes_and_windows.h"

#include <algorithm>
#include <map>

#include "sim_api.h"
#include "system_metrics.h"
#include "timers.h"
#include "wide_strings.h"

namespace sim {
namespace {

std::map<uintptr_t, std::unique_ptr<Window>> gWindows;
std::vector<HWND> gZOrder;  // top-level windows, top first
std::vector<std::pair<Process*, WindowClassEntry>> gClasses;
uintptr_t gNextWindow = 0x10000;
HWND gActive = nullptr;
std::vector<HWND> gActivationHistory;  // most recently active last
void (*gActivationListener)() = nullptr;

bool isTopLevel(const Window* w) { return w->parent == nullptr; }

HWND allocate(std::unique_ptr<Window> w) {
    HWND h = reinterpret_cast<HWND>(gNextWindow);
    gNextWindow += 4;
    w->handle = h;
    Window* raw = w.get();
    gWindows[reinterpret_cast<uintptr_t>(h)] = std::move(w);
    if (isTopLevel(raw)) {
        gZOrder.insert(gZOrder.begin(), h);
    } else if (Window* parent = findWindowObject(raw->parent)) {
        parent->children.push_back(h);
    }
    return h;
}

const WindowClassEntry* findClass(Process* process, const std::u16string& name) {
    for (auto& [owner, entry] : gClasses) {
        if (owner == process && sameName(entry.name, name)) return &entry;
    }
    return nullptr;
}

std::string titleOf(const Window* w) { return quote(w->title); }

void setActive(HWND handle) {
    if (handle == gActive) return;
    gActive = handle;
    if (gActivationListener) gActivationListener();
}

// A window that can no longer be active (gone or hidden) leaves the history; when it was the
// active one, the most recent one still there takes over.
void dropActivation(HWND handle) {
    gActivationHistory.erase(std::remove(gActivationHistory.begin(), gActivationHistory.end(), handle),
                             gActivationHistory.end());
    if (gActive != handle) return;
    HWND next = nullptr;
    for (auto it = gActivationHistory.rbegin(); it != gActivationHistory.rend(); ++it) {
        Window* w = findWindowObject(*it);
        if (w && w->visible && !w->destroying) {
            next = *it;
            break;
        }
    }
    setActive(next);
}

}  // namespace

HWND activeWindow() { return gActive; }

void activateWindow(HWND handle) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || w->parent != nullptr) return;
    gActivationHistory.erase(std::remove(gActivationHistory.begin(), gActivationHistory.end(), handle),
                             gActivationHistory.end());
    gActivationHistory.push_back(handle);
    setActive(handle);
}

void setActivationListener(void (*listener)()) { gActivationListener = listener; }

Window* findWindowObject(HWND handle) {
    auto it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    return it == gWindows.end() || it->second->destroyed ? nullptr : it->second.get();
}

Window* windowOrInvalidHandle(HWND handle) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) setError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

const std::vector<HWND>& topLevelWindows() { return gZOrder; }

std::vector<Window*> allWindows() {
    std::vector<Window*> out;
    for (auto& [key, w] : gWindows) {
        if (!w->destroyed) out.push_back(w.get());
    }
    return out;
}

bool isOtherProgramWindow(const Window* w) { return w && w->process && w->process == world().programs; }

HWND createNativeWindow(Thread* thread, const std::u16string& className, const std::u16string& title, WNDPROC proc,
                        DWORD style, RECT rect, HWND parent) {
    auto w = std::make_unique<Window>();
    w->className = className;
    w->title = title;
    w->proc = proc;
    w->thread = thread;
    w->process = thread ? thread->process : nullptr;
    w->style = style;
    w->rect = rect;
    w->parent = parent;
    w->visible = (style & WS_VISIBLE) != 0;
    return allocate(std::move(w));
}

void removeWindow(HWND handle) {
    auto it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gWindows.end()) return;
    Window* w = it->second.get();
    std::vector<HWND> children = w->children;
    for (HWND c : children) removeWindow(c);
    gZOrder.erase(std::remove(gZOrder.begin(), gZOrder.end(), handle), gZOrder.end());
    if (Window* parent = findWindowObject(w->parent)) {
        parent->children.erase(std::remove(parent->children.begin(), parent->children.end(), handle),
                               parent->children.end());
    }
    timers().erase(std::remove_if(timers().begin(), timers().end(), [handle](auto& t) { return t.window == handle; }),
                   timers().end());
    gWindows.erase(it);
    dropActivation(handle);
}

void raiseWindow(HWND handle) {
    auto it = std::find(gZOrder.begin(), gZOrder.end(), handle);
    if (it == gZOrder.end()) return;
    gZOrder.erase(it);
    gZOrder.insert(gZOrder.begin(), handle);
}

void releaseProcessWindows(Process* process) {
    std::vector<HWND> owned;
    for (auto& [key, w] : gWindows) {
        if (w->process == process && isTopLevel(w.get())) owned.push_back(w->handle);
    }
    for (HWND h : owned) removeWindow(h);
    gClasses.erase(std::remove_if(gClasses.begin(), gClasses.end(), [process](auto& c) { return c.first == process; }),
                   gClasses.end());
}

void resetWindowManager() {
    gActive = nullptr;
    gActivationHistory.clear();
    gWindows.clear();
    gZOrder.clear();
    gClasses.clear();
    timers().clear();
}

HWND windowAtPoint(int x, int y) {
    for (HWND h : gZOrder) {
        Window* w = findWindowObject(h);
        if (w && w->visible && x >= w->rect.left && x < w->rect.right && y >= w->rect.top && y < w->rect.bottom) {
            return h;
        }
    }
    return nullptr;
}

}  // namespace sim

using namespace sim;

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (shouldFail(Op::RegisterClassW) || wc == nullptr || wc->lpszClassName == nullptr) return 0;
    Process* p = currentProcess();
    if (findClass(p, wc->lpszClassName)) return 0;
    WindowClassEntry e;
    e.name = wc->lpszClassName;
    e.proc = wc->lpfnWndProc;
    e.instance = wc->hInstance;
    e.style = wc->style;
    e.icon = wc->hIcon;
    e.background = wc->hbrBackground;
    gClasses.emplace_back(p, e);
    return static_cast<ATOM>(0xC000 + gClasses.size());
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y, int w, int h,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (shouldFail(Op::CreateWindowExW) || className == nullptr) return nullptr;
    const WindowClassEntry* cls = findClass(currentProcess(), className);
    if (cls == nullptr) return nullptr;
    auto win = std::make_unique<Window>();
    win->className = cls->name;
    win->title = title ? title : u"";
    win->proc = cls->proc;
    win->thread = currentThread();
    win->process = currentProcess();
    win->style = style;
    win->exStyle = exStyle;
    win->parent = (style & WS_CHILD) ? parent : nullptr;
    RECT r = defaultWindowRect();
    if (x != CW_USEDEFAULT) {
        r.left = x;
        r.top = y;
    }
    if (w != CW_USEDEFAULT) {
        r.right = r.left + w;
        r.bottom = r.top + h;
    }
    win->rect = r;
    HWND hwnd = allocate(std::move(win));
    CREATESTRUCTW cs{param, instance, menu, parent, r.bottom - r.top, r.right - r.left, r.top, r.left,
                     static_cast<LONG>(style), title, className, exStyle};
    Window* made = findWindowObject(hwnd);
    if (made->proc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0 ||
        (findWindowObject(hwnd) && made->proc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)) {
        if (findWindowObject(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    made = findWindowObject(hwnd);
    if (made == nullptr) return nullptr;
    if (style & WS_VISIBLE) made->visible = true;
    return hwnd;
}

namespace {

// WM_DESTROY goes to a window before its children, WM_NCDESTROY to the children before it.
void sendDestroy(HWND handle) {
    auto it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gWindows.end()) return;
    it->second->destroying = true;
    if (WNDPROC proc = it->second->proc) proc(handle, WM_DESTROY, 0, 0);
    it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gWindows.end()) return;
    for (HWND c : std::vector<HWND>(it->second->children)) sendDestroy(c);
}

void sendNcDestroy(HWND handle) {
    auto it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gWindows.end()) return;
    for (HWND c : std::vector<HWND>(it->second->children)) sendNcDestroy(c);
    it = gWindows.find(reinterpret_cast<uintptr_t>(handle));
    if (it == gWindows.end()) return;
    if (WNDPROC proc = it->second->proc) proc(handle, WM_NCDESTROY, 0, 0);
}

}  // namespace

BOOL DestroyWindow(HWND handle) {
    Window* w = windowOrInvalidHandle(handle);
    if (w == nullptr) return FALSE;
    // Only the window's own thread destroys it; a second DestroyWindow while the first is still
    // under way is refused the same way.
    if (w->destroying || w->thread != currentThread()) {
        setError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    sendDestroy(handle);
    sendNcDestroy(handle);
    w = findWindowObject(handle);
    if (w == nullptr) return TRUE;
    bool report = isOtherProgramWindow(w) && isTopLevel(w);
    std::u16string title = w->title;
    removeWindow(handle);
    if (report) logEvent("window-closed " + quote(title));
    return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) return FALSE;
    BOOL was = w->visible;
    w->visible = command != SW_HIDE;
    if (command == SW_SHOW && isOtherProgramWindow(w)) logEvent("show " + titleOf(w));
    if (!w->visible) dropActivation(handle);
    return was;
}

BOOL UpdateWindow(HWND handle) { return findWindowObject(handle) != nullptr; }

BOOL IsWindow(HWND handle) { return findWindowObject(handle) != nullptr; }

BOOL IsWindowVisible(HWND handle) {
    for (Window* w = findWindowObject(handle); w; w = findWindowObject(w->parent)) {
        if (!w->visible) return FALSE;
        if (w->parent == nullptr) return TRUE;
    }
    return FALSE;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) return FALSE;
    BOOL wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND handle) {
    Window* w = findWindowObject(handle);
    return w && w->enabled;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    if (shouldFail(Op::FindWindowW)) return nullptr;
    for (HWND h : gZOrder) {
        Window* w = findWindowObject(h);
        if (w == nullptr) continue;
        if (className && !sameName(w->className, className)) continue;
        if (title && !sameName(w->title, title)) continue;
        return h;
    }
    return nullptr;
}

static int copyText(const std::u16string& text, LPWSTR buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(maxCount - 1));
    std::copy(text.begin(), text.begin() + static_cast<long>(n), buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int maxCount) {
    Window* w = findWindowObject(handle);
    if (shouldFail(Op::GetWindowTextW) || w == nullptr) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        if (buffer && maxCount > 0) buffer[0] = 0;
        return 0;
    }
    if (w->extra && w->thread == currentThread() && w->proc) {
        // Controls answer for their own text (an edit control's current contents).
        return static_cast<int>(w->proc(handle, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
    }
    return copyText(w->title, buffer, maxCount);
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) return FALSE;
    if (w->extra && w->proc) return static_cast<BOOL>(w->proc(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
    w->title = text ? text : u"";
    return TRUE;
}

int GetClassNameW(HWND handle, LPWSTR buffer, int maxCount) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) return 0;
    return copyText(w->className, buffer, maxCount);
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || rect == nullptr) return FALSE;
    *rect = w->rect;
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || rect == nullptr) return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || point == nullptr) return FALSE;
    point->x += w->rect.left;
    point->y += w->rect.top;
    return TRUE;
}

WNDPROC sim::replaceWindowProc(HWND handle, WNDPROC proc) {
    Window* w = findWindowObject(handle);
    if (w == nullptr) return nullptr;
    WNDPROC old = w->proc;
    w->proc = proc;
    w->procProcess = processOfCode(reinterpret_cast<const void*>(proc));
    return old;
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value) {
    if (shouldFail(Op::SetWindowLongW)) return 0;
    Window* w = windowOrInvalidHandle(handle);
    if (w == nullptr) return 0;
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            w->procProcess = processOfCode(reinterpret_cast<const void*>(value));
            break;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            break;
        case GWL_STYLE:
            old = static_cast<LONG_PTR>(w->style);
            w->style = static_cast<DWORD>(value);
            break;
        case DWL_MSGRESULT:
            old = w->dialogResult;
            w->dialogResult = value;
            break;
        default:
            setError(ERROR_INVALID_INDEX);
            return 0;
    }
    return old;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index) {
    Window* w = windowOrInvalidHandle(handle);
    if (w == nullptr) return 0;
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA: return w->userData;
        case GWL_STYLE: return static_cast<LONG_PTR>(w->style);
        case DWL_MSGRESULT: return w->dialogResult;
        default:
            setError(ERROR_INVALID_INDEX);
            return 0;
    }
}

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = findWindowObject(handle);
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(handle);
            return 0;
        case WM_GETTEXT:
            return w ? copyText(w->title, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam)) : 0;
        case WM_GETTEXTLENGTH:
            return w ? static_cast<LRESULT>(w->title.size()) : 0;
        case WM_SETTEXT:
            if (w) w->title = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            return TRUE;
        default:
            return 0;
    }
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
    if (shouldFail(Op::EnumWindows)) return FALSE;
    std::vector<HWND> snapshot = gZOrder;
    for (HWND h : snapshot) {
        if (findWindowObject(h) == nullptr) continue;
        if (!proc(h, param)) break;
    }
    return TRUE;
}

BOOL SetForegroundWindow(HWND handle) {
    Window* w = findWindowObject(handle);
    if (shouldFail(Op::SetForegroundWindow) || w == nullptr) return FALSE;
    logEvent("foreground " + titleOf(w));
    activateWindow(handle);
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    Window* w = windowOrInvalidHandle(handle);
    if (w == nullptr) return 0;
    if (processId) *processId = w->process ? static_cast<DWORD>(w->process->pid) : 0;
    return w->thread ? static_cast<DWORD>(w->thread->id) : 0;
}

BOOL BringWindowToTop(HWND handle) {
    Window* w = findWindowObject(handle);
    if (shouldFail(Op::BringWindowToTop) || w == nullptr) return FALSE;
    raiseWindow(handle);
    logEvent("raise " + titleOf(w));
    return TRUE;
}

void InitCommonControls() {}
