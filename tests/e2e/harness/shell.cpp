// The stand-in Pocket PC shell: the taskbar across the top, painted by its own procedure on its
// own thread, the desktop below it and the input-panel button, all made at boot below every
// window made later, as on the device.
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tests/e2e/harness/harness.h"
#include "res/resource.h"

namespace e2e {

const WCHAR* const kStartupFolder = L"\\Windows\\StartUp";

namespace {

DeviceThread gShellThread;
HWND gTaskbar = NULL;
HWND gDesktop = NULL;
// false: the shell runs without its taskbar window, as a desktop does (also after a reset).
std::atomic<bool> gHasTaskbar{true};
HWND gSipButton = NULL;
HANDLE gShellReady = NULL;
// The pattern shifts with every repaint that the shell is asked for, so that a repaint under
// the indicator can be told from the pixels painted before it. The window system's own repaints
// (a window uncovering the taskbar) paint the same pattern again.
std::atomic<int> gGeneration{0};

COLORREF taskbarPixel(int x, int y, int generation) {
    return RGB((x * 8 + y * 3) & 0xFF, (x * 5 + y * 7 + generation * 40) & 0xFF, 0x80 | ((x + y) & 1) * 0x3F);
}

void paintTaskbar(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const int width = screenWidth();
    const int height = taskbarHeight();
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = taskbarPixel(x, y, gGeneration.load());
            pixels[static_cast<size_t>(y) * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    BITMAPINFO info = topDownPixels(width, height);
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    EndPaint(window, &ps);
    // Wine keeps a window's drawing in a surface of its own, which reaches the screen when the
    // thread next waits. A wait of no length puts the taskbar on the screen now, as the device
    // has it when the taskbar's procedure returns (the indicator is redrawn over it right after).
    MsgWaitForMultipleObjectsEx(0, NULL, 0, QS_ALLINPUT, 0);
}

std::mutex gCountLock;
std::map<UINT, size_t> gTaskbarMessages;  // what the taskbar's own procedure has handled

LRESULT CALLBACK taskbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> hold(gCountLock);
        ++gTaskbarMessages[message];
    }
    switch (message) {
        case WM_PAINT:
            paintTaskbar(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            // A tap on the taskbar leaves the active window as it is, as on the device.
            return MA_NOACTIVATE;
        case WM_CLOSE:
            return 0;  // the shell's windows do not close
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK plainShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow(const WCHAR* className, const WCHAR* title, WNDPROC proc, RECT r) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = className;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    // Never activated: a tap on the shell does not reorder the windows above it.
    return CreateWindowExW(WS_EX_NOACTIVATE, className, title, WS_POPUP | WS_VISIBLE, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, NULL, NULL, wc.hInstance, NULL);
}

void makeShellWindows() {
    const int w = screenWidth();
    const int h = screenHeight();
    gDesktop = makeWindow(L"DesktopExplorerWindow", L"Desktop", plainShellProc, RECT{0, bandHeight(), w, h});
    gSipButton = makeWindow(L"MS_SIPBUTTON", L"MS_SIPBUTTON", plainShellProc, RECT{w - 24, h - 26, w, h});
    gTaskbar = NULL;
    if (gHasTaskbar) {
        gTaskbar = makeWindow(L"HHTaskBar", L"", taskbarProc, RECT{0, 0, w, taskbarHeight()});
        UpdateWindow(gTaskbar);
    }
}

void reserveBand() {
    RECT work = {0, bandHeight(), screenWidth(), screenHeight()};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
}

DWORD WINAPI shellMain(void*) {
    joinDevice(&gShellThread);
    // The shell keeps the taskbar's band for itself: windows placed by the system go below it.
    reserveBand();
    makeShellWindows();
    SetEvent(gShellReady);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    leaveDevice(&gShellThread);
    return 0;
}

struct TrayIcon {
    HWND window = NULL;
    UINT id = 0;
    UINT callbackMessage = 0;
    int iconResource = 0;
    // The notification area's own copy of the icon, read from the system as it made it.
    TrayImage image;
    std::wstring tip;
};
std::mutex gTrayLock;
std::vector<TrayIcon> gTray;

// An icon's size and pixels, its colour image and its mask, as the system holds them.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> colour;
    std::vector<DWORD> mask;
};

bool bitmapPixels(HBITMAP bitmap, int width, int height, std::vector<DWORD>* out) {
    BITMAPINFO info = topDownPixels(width, height);
    out->assign(static_cast<size_t>(width) * height, 0);
    HDC dc = GetDC(NULL);
    int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), out->data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    return rows == height;
}

bool iconPixels(HICON icon, IconPixels* out) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return false;
    BITMAP bm = {};
    bool ok = info.hbmColor != NULL && GetObjectW(info.hbmColor, sizeof bm, &bm) != 0;
    if (ok) {
        out->width = bm.bmWidth;
        out->height = bm.bmHeight;
        ok = bitmapPixels(info.hbmColor, out->width, out->height, &out->colour) &&
             bitmapPixels(info.hbmMask, out->width, out->height, &out->mask);
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return ok;
}

// The icon's resource id, found by comparing its pixels with each icon of its module loaded at
// the same size: the program loads its icons at the size it wants, each a handle of its own.
int iconResourceId(HWND window, HICON icon) {
    IconPixels given;
    if (!iconPixels(icon, &given)) return 0;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (int id : {TrayIconSmall, TrayIconLarge, ProgramIcon, BatteryUnknownIconSmall, ChargingIconSmall, NoCardIconSmall,
                   ChargingIconLarge, BatteryUnknownIconLarge, NoCardIconLarge}) {
        HICON loaded = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, given.width, given.height, 0));
        if (loaded == NULL) continue;
        IconPixels candidate;
        bool same = iconPixels(loaded, &candidate) && candidate.colour == given.colour && candidate.mask == given.mask;
        DestroyIcon(loaded);
        if (same) return id;
    }
    return 0;
}

// The notification area's copy of an icon, read from the system as it made it.
TrayImage copyIcon(HICON icon) {
    TrayImage image;
    IconPixels pixels;
    if (icon == NULL || !iconPixels(icon, &pixels)) return image;
    image.present = true;
    image.width = pixels.width;
    image.height = pixels.height;
    image.mask = pixels.mask;
    image.colour = pixels.colour;
    return image;
}

std::wstring tipOf(const NOTIFYICONDATAW& data) {
    size_t length = 0;
    while (length < ARRAYSIZE(data.szTip) && data.szTip[length] != 0) ++length;
    return std::wstring(data.szTip, length);
}

// The window the user works in, as the shell last saw it: the taskbar shows its title, so it
// repaints whenever that changes.
HWND gForeground = NULL;
bool gForegroundKnown = false;

}  // namespace

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
int taskbarHeight() { return (screenWidth() > 320 || screenHeight() > 320) ? 52 : 26; }
bool hasTaskbar() { return gHasTaskbar && gTaskbar != NULL; }
// The shell paints the same pattern until a repaint is asked for: its last painting is this one.
COLORREF taskbarAsPainted(int x, int y) { return taskbarPixel(x, y, gGeneration.load()); }
int bandHeight() { return gHasTaskbar ? taskbarHeight() : 0; }

void startShell() {
    gShellReady = CreateEventW(NULL, TRUE, FALSE, NULL);
    gShellThread.handle = CreateThread(NULL, 0, shellMain, NULL, 0, NULL);
    WaitForSingleObject(gShellReady, INFINITE);
}

size_t taskbarOwnMessages(UINT message) {
    std::lock_guard<std::mutex> hold(gCountLock);
    auto it = gTaskbarMessages.find(message);
    return it == gTaskbarMessages.end() ? 0 : it->second;
}

DWORD shellThreadId() { return gShellThread.id; }

HWND taskbarWindow() { return gTaskbar; }

WNDPROC shellTaskbarProcedure() { return taskbarProc; }

// --- Other programs that hook the taskbar ----------------------------------------------------

namespace {

// Stand-ins without a process of their own: each one's procedure is plain code of the runner.
struct StandInPrograms {
    using Name = std::wstring;
    static HWND taskbar() { return gTaskbar; }
    static WNDPROC replace(HWND taskbar, WNDPROC procedure) {
        return reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(taskbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    }
    static void started(int, WNDPROC, const Name&) {}
    static bool stillRuns(int) { return true; }
    static void ended(int) {}
};
using Hookers = scenario::TaskbarHookers<StandInPrograms>;

}  // namespace

std::string taskbarHooker(const std::wstring& name, scenario::HookerAction action) { return Hookers::act(name, action); }

std::string taskbarProcedureOwner() {
    if (gTaskbar == NULL) return "none";
    const WNDPROC proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(gTaskbar, GWLP_WNDPROC));
    if (proc == taskbarProc) return "shell";
    const int owner = Hookers::ownerOf(proc);
    if (owner >= 0) return quote(Hookers::nameOf(owner));
    return isProgramCode(reinterpret_cast<const void*>(proc)) ? "orvo" : "unknown";
}

void removeTaskbar() {
    gHasTaskbar = false;
    runOn(&gShellThread, [] {
        DestroyWindow(gTaskbar);
        gTaskbar = NULL;
        reserveBand();
        MoveWindow(gDesktop, 0, 0, screenWidth(), screenHeight(), TRUE);
        UpdateWindow(gDesktop);
    });
}

void repaintTaskbar() {
    if (gTaskbar == NULL) return;
    runOn(&gShellThread, [] {
        ++gGeneration;
        InvalidateRect(gTaskbar, NULL, FALSE);
        UpdateWindow(gTaskbar);
    });
}

bool repaintOnActivation() {
    HWND now = GetForegroundWindow();

    // The desktop's own window and the shell's windows are no window a user works in.
    if (now == GetDesktopWindow() || now == gTaskbar || now == gDesktop || now == gSipButton) now = NULL;
    if (gForegroundKnown && now == gForeground) return false;
    bool first = !gForegroundKnown;
    gForeground = now;
    gForegroundKnown = true;
    if (getenv("ORVO_E2E_FOREGROUND")) {
        fprintf(stderr, "foreground %p %s\n", static_cast<void*>(now), now ? windowText(now).c_str() : "none");
    }
    if (first || gTaskbar == NULL) return false;
    // A posted repaint: the taskbar's procedure may send the program a request, whose thread can
    // be the one that waits for the pen or a box right now.
    postOn(&gShellThread, [] {
        ++gGeneration;
        InvalidateRect(gTaskbar, NULL, FALSE);
        UpdateWindow(gTaskbar);
    });
    return true;
}

// A warm reset rebuilds the shell: new windows, an empty notification area.
void rebuildShell() {
    {
        std::lock_guard<std::mutex> hold(gTrayLock);
        gTray.clear();
    }
    runOn(&gShellThread, [] {
        DestroyWindow(gTaskbar);
        DestroyWindow(gSipButton);
        DestroyWindow(gDesktop);
        ++gGeneration;
        makeShellWindows();
    });
    gForegroundKnown = false;
}

// The notification area (the seam's Shell_NotifyIcon).
BOOL WINAPI shellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    if (data == NULL || data->cbSize != sizeof(NOTIFYICONDATAW)) return FALSE;
    std::lock_guard<std::mutex> hold(gTrayLock);
    auto it = gTray.begin();
    while (it != gTray.end() && !(it->window == data->hWnd && it->id == data->uID)) ++it;
    switch (message) {
        case NIM_ADD: {
            if (it != gTray.end() || !IsWindow(data->hWnd)) return FALSE;
            TrayIcon t;
            t.window = data->hWnd;
            t.id = data->uID;
            t.callbackMessage = (data->uFlags & NIF_MESSAGE) ? data->uCallbackMessage : 0;
            if (data->uFlags & NIF_ICON) {
                t.iconResource = iconResourceId(data->hWnd, data->hIcon);
                t.image = copyIcon(data->hIcon);
            }
            if (data->uFlags & NIF_TIP) t.tip = tipOf(*data);
            gTray.push_back(t);
            logEvent("tray-add " + std::to_string(t.id) + " " + std::to_string(t.iconResource));
            return TRUE;
        }
        case NIM_DELETE:
            if (it == gTray.end()) return FALSE;
            gTray.erase(it);
            logEvent("tray-delete " + std::to_string(data->uID));
            return TRUE;
        case NIM_MODIFY:
            if (it == gTray.end()) return FALSE;
            if (data->uFlags & NIF_ICON) {
                it->iconResource = iconResourceId(data->hWnd, data->hIcon);
                it->image = copyIcon(data->hIcon);
            }
            if (data->uFlags & NIF_MESSAGE) it->callbackMessage = data->uCallbackMessage;
            if (data->uFlags & NIF_TIP) it->tip = tipOf(*data);
            logEvent("tray-modify " + std::to_string(it->id) + " " + quote(it->tip));
            return TRUE;
        default:
            return FALSE;
    }
}

void sendTaskbarCommand(WORD id) {
    if (gTaskbar == NULL) return;
    postOn(&gShellThread, [id] { SendMessageW(gTaskbar, WM_COMMAND, MAKEWPARAM(id, 0), 0); });
}

bool trayIconImage(UINT* id, TrayImage* image) {
    std::lock_guard<std::mutex> hold(gTrayLock);
    for (const TrayIcon& t : gTray) {
        if (!IsWindow(t.window)) continue;
        *id = t.id;
        *image = t.image;
        return true;
    }
    return false;
}

void restartNotificationArea() {
    {
        std::lock_guard<std::mutex> hold(gTrayLock);
        gTray.clear();
    }
    logEvent("tray-restart");
    // The shell's broadcast, to every top-level window (here: the runner's and the programs').
    const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == GetCurrentProcessId()) reinterpret_cast<std::vector<HWND>*>(l)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows) PostMessageW(w, message, 0, 0);
}

bool sendTrayMessage(LPARAM pointerMessage, const UINT* iconId) {
    TrayIcon icon{};
    {
        std::lock_guard<std::mutex> hold(gTrayLock);
        // Icons of programs that have ended went with their windows.
        while (!gTray.empty() && !IsWindow(gTray.front().window)) gTray.erase(gTray.begin());
        if (gTray.empty()) return false;
        icon = gTray.front();
    }
    return PostMessageW(icon.window, icon.callbackMessage, iconId ? *iconId : icon.id, pointerMessage) != FALSE;
}

}  // namespace e2e
