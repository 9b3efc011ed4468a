// The real orvo.exe on a desktop without the Pocket PC shell (a Wine desktop with its own
// taskbar and notification area), observed only through the system: the screen's pixels, the
// notification area's drawing of the icon, the files and the windows.
//
//   orvo-desktop-check.exe ORVO_EXE [PICTURES]
//
// It starts orvo.exe twice, and checks that:
// - nothing outside the taskbar (which holds the notification area) changes on the screen while
//   Orvo runs, ticks and ends, over a window of another program where the Pocket PC's taskbar
//   would be;
// - the notification area shows, at every tick, exactly the icon composed from the program's own
//   images and the glyph rules for the kind and the reading of that moment (or the status icon);
//   a machine without a battery (BatteryFlag 128) never shows the battery;
// - a right click opens the menu with Orvo in the foreground, and Esc on the keyboard closes it;
// - when "TaskbarCreated" is broadcast after the icon went, the icon is back at once;
// - the digits keep at least 4.5 : 1 contrast on the light taskbar of Wine's own colours, and,
//   with --dark-taskbar (the run script makes the taskbar's colour dark for that start alone),
//   on a dark one;
// - Close All asks another program's window to close, never the desktop's own ("Progman");
// - with no registry value, the settings file is in the program's folder; a change made in the
//   Settings dialog is written there, or, when the run script made that folder's file one that
//   cannot be written, into the user's application-data folder, and read back at the next start;
//   the start-up shortcut points at the program;
// - Settings, Programs and About open as ordinary dialogs centred in the work area, with a
//   caption and a close box, every text whole; Settings hides what means nothing on a desktop,
//   and Esc there saves and changes nothing; the close box and Alt+F4 close the others;
// - main storage shows the percentage of its full 64-bit sizes;
// - Hot Reset, confirmed, says in a box captioned "Orvo" that it cannot be done;
// - Exit and a close from elsewhere end Orvo with exit code 0 and leave no icon.
// - with --dpi DPI (the run script starts the desktop at that DPI), the icon has the size the
//   notification area asks for, with the picture and digits unscaled at its centre.
// PICTURES, when given, names the pictures: of the taskbar's corner, PICTURES-meter.bmp with the
// meter and its tooltip and PICTURES-menu.bmp with its menu open (with --dark-taskbar,
// PICTURES-meter-dark.bmp with the meter and its tooltip); of the dialogs' windows,
// PICTURES-settings.bmp, PICTURES-programs.bmp and PICTURES-about.bmp; with --dpi, the picture itself.
// Exit status 0 when every check holds.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/size_scaling.h"
#include "res/resource.h"
#include "scenario/settings_image.h"
#include "tests/e2e/desktop/desktop_check.h"
#include "tests/e2e/system_helpers.h"

using namespace desktop;

namespace {

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// --- The notification area --------------------------------------------------------------------

HWND trayWindow() { return FindWindowW(L"Shell_TrayWnd", NULL); }

RECT trayRect() {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(trayWindow(), &r);
    return r;
}

// Where the icon is drawn over the empty tray's pixels: every opaque pixel of the icon shows its
// colour, every transparent one the tray as it was. Returns the position, or x = -1.
POINT findIcon(const Pixels& tray, const Pixels& empty, const Icon& icon) {
    if (icon.mask.empty()) return POINT{-1, -1};
    for (int y = 0; y + icon.size <= tray.height; ++y) {
        for (int x = tray.width - icon.size; x >= 0; --x) {
            bool match = true;
            for (int r = 0; r < icon.size && match; ++r) {
                for (int c = 0; c < icon.size && match; ++c) {
                    size_t i = static_cast<size_t>(r * icon.size + c);
                    DWORD want = icon.mask[i] != 0 ? empty.at(x + c, y + r) : icon.colour[i];
                    match = tray.at(x + c, y + r) == want;
                }
            }
            if (match) return POINT{x, y};
        }
    }
    return POINT{-1, -1};
}

// --- Another program's window where the Pocket PC's taskbar would be ---------------------------

HWND gWitness = NULL;
LONG gWitnessCloses = 0;
LONG gProgmanCloses = 0;

LRESULT CALLBACK witnessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        const int w = client.right;
        const int h = client.bottom;
        // A calm blue in which neighbouring pixels always differ a little, so that any drawing
        // over the window shows while the pictures of the desktop stay pleasant.
        std::vector<DWORD> px(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[static_cast<size_t>(y) * w + x] = static_cast<DWORD>((0x30 + (x & 3)) << 16 | (0x68 + (y & 3)) << 8 |
                                                                       (0xA0 + ((x + y) & 1) * 4));
        BITMAPINFO info = topDownPixels(w, h);
        SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, px.data(), &info, DIB_RGB_COLORS);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    // Close All reaches it as any program's window: it counts the request and stays.
    if (message == WM_CLOSE) {
        ++gWitnessCloses;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A stand-in for the desktop's own window, as the shell has it: Close All must never close it
// (the real one answers with the shut-down dialog).
LRESULT CALLBACK progmanProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ++gProgmanCloses;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI witnessThread(void* ready) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = witnessProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"OrvoDesktopWitness";
    RegisterClassW(&wc);
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Without a caption, whose colours would follow the activation rather than any drawing.
    gWitness = CreateWindowExW(WS_EX_NOACTIVATE, wc.lpszClassName, L"Another program", WS_POPUP,
                               work.left, work.top, work.right - work.left, work.bottom - work.top, NULL, NULL,
                               wc.hInstance, NULL);
    ShowWindow(gWitness, SW_SHOWNOACTIVATE);
    UpdateWindow(gWitness);
    WNDCLASSW progman = {};
    progman.lpfnWndProc = progmanProc;
    progman.hInstance = wc.hInstance;
    progman.lpszClassName = L"Progman";
    RegisterClassW(&progman);
    // Behind every other window, as the desktop is, and visible with its usual title.
    // Off the screen, so that it changes no pixel a check compares.
    HWND desktopStandIn = CreateWindowExW(WS_EX_NOACTIVATE, L"Progman", L"Program Manager", WS_POPUP, -100, -100, 1, 1,
                                          NULL, NULL, wc.hInstance, NULL);
    SetWindowPos(desktopStandIn, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetEvent(static_cast<HANDLE>(ready));
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) DispatchMessageW(&msg);
    return 0;
}

// A visible top-level window of the class, whoever made it.
HWND visibleWindow(const wchar_t* className) {
    for (HWND w = FindWindowExW(NULL, NULL, className, NULL); w != NULL; w = FindWindowExW(NULL, w, className, NULL)) {
        if (IsWindowVisible(w)) return w;
    }
    return NULL;
}

// The screen outside the taskbar (which holds the notification area).
struct Outside {
    Pixels screen;
    RECT tray;
};

Outside captureOutside() { return Outside{capture(screenRect()), trayRect()}; }

// The first pixel outside the taskbar that differs, or an empty text.
std::string difference(const Outside& before, const Outside& now) {
    for (int y = 0; y < now.screen.height; ++y) {
        for (int x = 0; x < now.screen.width; ++x) {
            POINT p = {x, y};
            if (PtInRect(&before.tray, p) || PtInRect(&now.tray, p)) continue;
            if (before.screen.at(x, y) != now.screen.at(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d) %06lX -> %06lX", x, y,
                              static_cast<unsigned long>(before.screen.at(x, y)),
                              static_cast<unsigned long>(now.screen.at(x, y)));
                return text;
            }
        }
    }
    return "";
}

// The mouse leaves the notification area for an empty corner of the desktop, and the shell's
// tooltip that a resting mouse brings up (drawn just above the taskbar) is given time to go:
// it is the shell's, not Orvo's, and would otherwise count as a change of the screen.
void restMouseAwayFromTray() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, 2);
    waitFor([] { return visibleWindow(L"tooltips_class32") == NULL; }, 8000);
}

// The screen settles back to its marked pixels once the windows have repainted.
bool screenUnchanged(const Outside& mark, const char* when) {
    restMouseAwayFromTray();
    std::string diff;
    bool same = waitFor([&] {
        diff = difference(mark, captureOutside());
        return diff.empty();
    }, 3000);
    if (!same) note(std::string(when) + ": the screen changed at " + diff);
    return same;
}

// --- Orvo --------------------------------------------------------------------------------------

struct Program {
    PROCESS_INFORMATION process = {};
    HWND main = NULL;
};

std::wstring gExe;
std::wstring gFolder;

bool start(Program* p) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring commandLine = L"\"" + gExe + L"\"";
    // Started from another folder, so that the folder it keeps its settings in is its own.
    WCHAR elsewhere[MAX_PATH];
    GetSystemWindowsDirectoryW(elsewhere, MAX_PATH);
    if (!CreateProcessW(gExe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, elsewhere, &si, &p->process)) {
        return false;
    }
    waitFor([p] { return (p->main = FindWindowW(L"ORVO", L"Orvo")) != NULL; }, 20000);
    return p->main != NULL;
}

bool ended(Program* p, DWORD* code) {
    if (WaitForSingleObject(p->process.hProcess, 20000) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(p->process.hProcess, code);
    CloseHandle(p->process.hProcess);
    CloseHandle(p->process.hThread);
    p->process = PROCESS_INFORMATION();
    return true;
}

std::vector<BYTE> readFile(const std::wstring& path, bool* exists) {
    std::vector<BYTE> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    *exists = f != INVALID_HANDLE_VALUE;
    if (!*exists) return bytes;
    bytes.resize(GetFileSize(f, NULL));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, NULL);
    bytes.resize(read);
    CloseHandle(f);
    return bytes;
}

int32_t field(const std::vector<BYTE>& image, size_t offset) {
    int32_t v = 0;
    if (image.size() >= offset + 4) std::memcpy(&v, &image[offset], 4);
    return v;
}

// --- The user's hand: the mouse on the tray icon, keys in menus, buttons in dialogs -------------

// The mouse moves to the point, rests there a moment, and clicks (with the right button where asked).
void clickAt(POINT at, bool rightButton = false) {
    INPUT input[3] = {};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        i.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(1, &input[0], sizeof(INPUT));
    Sleep(100);
    input[1].mi.dwFlags |= rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, &input[1], sizeof(INPUT));
}

// The popup menu open on the screen.
HWND visibleMenu() { return visibleWindow(L"#32768"); }

// Clicks the point until a menu opens: a busy desktop may let a click go by.
HWND openMenu(POINT at) {
    HWND found = NULL;
    for (int attempt = 0; attempt < 4 && found == NULL; ++attempt) {
        if (attempt > 0) {
            char text[160];
            POINT cursor = {0, 0};
            GetCursorPos(&cursor);
            WCHAR cls[64] = {0};
            GetClassNameW(WindowFromPoint(at), cls, 64);
            std::snprintf(text, sizeof text, "no menu yet: the cursor is at %ld, %ld over %s; clicking again",
                          cursor.x, cursor.y, narrow(cls).c_str());
            note(text);
        }
        clickAt(at);
        waitFor([&] { return (found = visibleMenu()) != NULL; }, 4000);
    }
    return found;
}

// A top-level window of the process with this class and caption.
HWND windowOf(DWORD process, const wchar_t* className, const wchar_t* caption) {
    struct Search {
        DWORD process;
        const wchar_t* className;
        const wchar_t* caption;
        HWND found;
    } s = {process, className, caption, NULL};
    EnumWindows(
        [](HWND w, LPARAM l) -> BOOL {
            Search* s = reinterpret_cast<Search*>(l);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            WCHAR cls[64] = {0};
            WCHAR text[128] = {0};
            GetClassNameW(w, cls, 64);
            GetWindowTextW(w, text, 128);
            if (owner == s->process && IsWindowVisible(w) && wcscmp(cls, s->className) == 0 &&
                (s->caption == nullptr || wcscmp(text, s->caption) == 0)) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitForWindow(DWORD process, const wchar_t* className, const wchar_t* caption) {
    HWND w = NULL;
    waitFor([&] { return (w = windowOf(process, className, caption)) != NULL; }, 10000);
    return w;
}

std::wstring windowText(HWND window) {
    WCHAR text[256] = {0};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring dialogText(HWND box) {
    WCHAR text[256] = {0};
    GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text is its static control
    return text;
}

// --- What the notification area shows -----------------------------------------------------------

struct Shown {
    std::string name;  // empty: none of the expected icons
    POINT at = {-1, -1};
    std::vector<POINT> digits;  // in the icon
};

Shown shownIcon(const Pixels& empty, const std::vector<Icon>& icons) {
    Pixels tray = capture(trayRect());
    if (tray.width != empty.width || tray.height != empty.height) return Shown();
    for (const Icon& icon : icons) {
        POINT at = findIcon(tray, empty, icon);
        if (at.x >= 0) return Shown{icon.name, at, icon.digits};
    }
    return Shown();
}

Shown waitForIcon(const Pixels& empty, bool battery, bool memory, bool storage) {
    Shown shown;
    waitFor([&] { return !(shown = shownIcon(empty, expectedIcons(battery, memory, storage))).name.empty(); }, 15000);
    return shown;
}

// The relative luminance of a 0x00RRGGBB pixel and the contrast ratio of two, as the
// accessibility guidelines define them.
double luminance(DWORD pixel) {
    auto channel = [](DWORD v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(pixel >> 16 & 0xFF) + 0.7152 * channel(pixel >> 8 & 0xFF) + 0.0722 * channel(pixel & 0xFF);
}

double contrast(DWORD a, DWORD b) {
    const double la = luminance(a), lb = luminance(b);
    return (la > lb ? la + 0.05 : lb + 0.05) / (la > lb ? lb + 0.05 : la + 0.05);
}

// The digits' lowest contrast as the notification area shows them: every pixel a glyph sets, on
// the screen now, against the empty taskbar's pixel there. 0 when the icon has no digits.
double digitContrast(const Pixels& empty, const Shown& shown) {
    if (shown.digits.empty()) return 0;
    const Pixels tray = capture(trayRect());
    if (tray.width != empty.width || tray.height != empty.height) return 0;
    double lowest = 100;
    for (const POINT& d : shown.digits) {
        const int x = shown.at.x + d.x, y = shown.at.y + d.y;
        const double ratio = contrast(tray.at(x, y), empty.at(x, y));
        if (ratio < lowest) lowest = ratio;
    }
    return lowest;
}

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f : 1", ratio);
    return text;
}

POINT iconCentre(const Shown& shown) {
    RECT tray = trayRect();
    const int half = iconSize() / 2;
    return POINT{tray.left + shown.at.x + half, tray.top + shown.at.y + half};
}

int kindOf(const std::string& name) {
    for (int k = 0; k < 4; ++k)
        if (name.rfind(kindNames[k], 0) == 0) return k;
    return -1;
}

// The screen's corner from the point given to its bottom-right, with a margin.
bool writeCorner(const std::wstring& path, POINT from) {
    RECT screen = screenRect();
    RECT corner = {from.x - 40 < 0 ? 0 : from.x - 40, from.y - 40 < 0 ? 0 : from.y - 40, screen.right, screen.bottom};
    return writeBmp(path, capture(corner));
}

// The meter with its tooltip, as the mouse resting on it shows it. The shell's tooltip shows when
// the mouse comes onto the icon, moved as a hand moves it (a tooltip that timed out while the
// mouse rested there stays away), so the mouse first leaves the icon for as long as the tooltip
// takes to see it gone (its leave timer, 100 ms), then comes back.
bool writeMeterPicture(const std::wstring& path, POINT at) {
    auto moveMouse = [](POINT to) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = to.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = to.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(INPUT));
    };
    moveMouse(POINT{at.x, at.y - 3 * iconSize()});
    waitFor([] { return visibleWindow(L"tooltips_class32") == NULL; }, 3000);
    Sleep(200);
    moveMouse(at);
    if (!waitFor([] { return visibleWindow(L"tooltips_class32") != NULL; }, 3000)) {
        note("no tooltip over the meter for its picture");
    }
    Sleep(300);
    return writeCorner(path, POINT{at.x - 200, at.y - 60});
}

// Opens the tray icon's menu with the mouse and chooses its n-th item (separators not counted)
// with the arrow keys.
bool chooseFromMenu(const Shown& shown, int item, const std::wstring& pictures = L"") {
    POINT at = iconCentre(shown);
    if (!pictures.empty()) {
        check(writeMeterPicture(pictures + L"-meter.bmp", at), "the picture of the tray meter is written");
    }
    HWND menu = openMenu(at);
    if (menu == NULL) {
        note("no menu after a click at " + std::to_string(at.x) + ", " + std::to_string(at.y) + " on " + shown.name);
        return false;
    }
    if (!pictures.empty()) {
        // The mouse leaves the icon for the menu, so that the tooltip goes.
        RECT m;
        GetWindowRect(menu, &m);
        SetCursorPos(m.left + 4, m.bottom - 4);
        Sleep(800);
        check(writeCorner(pictures + L"-menu.bmp", POINT{m.left, m.top}), "the picture of the tray meter's menu is written");
    }
    // The menu's keys reach the menu's own window: the hidden window that owns it is never the
    // foreground one, so the keyboard's messages would go elsewhere.
    for (int i = 0; i < item; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return waitFor([] { return visibleMenu() == NULL; }, 5000);
}

void pressButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::wstring startupLink() {
    WCHAR folder[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(NULL, folder, CSIDL_STARTUP, FALSE);
    return std::wstring(folder) + L"\\Orvo.lnk";
}

// The machine has a system battery (BatteryFlag 128 says it has none: then Orvo leaves the
// battery out of its rotation).
bool machineHasBattery() {
    SYSTEM_POWER_STATUS power = {};
    return GetSystemPowerStatus(&power) && power.BatteryFlag != 128;
}

std::wstring userSettingsFile() {
    WCHAR folder[MAX_PATH] = {0};
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + L"\\Orvo\\orvo.dat";
}

void pressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// --- Dialogs as a desktop has them ------------------------------------------------------------

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// An ordinary desktop dialog: inside the work area and centred in it (a pixel either way for the
// halving), smaller than the work area, with a caption and a close box, and its Done button in sight.
void checkDesktopPlacement(HWND dialog, const std::string& name) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT r = {};
    GetWindowRect(dialog, &r);
    note(name + " at " + rectText(r) + " in the work area " + rectText(work));
    check(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom,
          (name + " lies inside the work area").c_str());
    check(r.right - r.left < work.right - work.left && r.bottom - r.top < work.bottom - work.top,
          (name + " keeps its own size: it does not fill the work area").c_str());
    const int horizontal = (r.left - work.left) - (work.right - r.right);
    const int vertical = (r.top - work.top) - (work.bottom - r.bottom);
    check(horizontal >= -1 && horizontal <= 1 && vertical >= -1 && vertical <= 1,
          (name + " is centred in the work area").c_str());
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) != 0,
          (name + " has a caption and a close box (WS_CAPTION, WS_SYSMENU)").c_str());
    HWND done = GetDlgItem(dialog, IDOK);
    RECT client = {};
    RECT button = {};
    GetClientRect(dialog, &client);
    if (done != NULL) {
        GetWindowRect(done, &button);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&button), 2);
    }
    check(done != NULL && IsWindowVisible(done) && button.left >= 0 && button.right <= client.right &&
              button.top >= 0 && button.bottom <= client.bottom,
          (name + " shows its Done button").c_str());
}

BOOL CALLBACK collectControl(HWND control, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(control);
    return TRUE;
}

// Every visible text of the dialog fits its control, measured in the dialog's font ("Tahoma",
// 8 points, as the templates name it) at the screen's resolution.
void checkTextsWhole(HWND dialog, const std::string& name) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog, collectControl, reinterpret_cast<LPARAM>(&controls));
    HDC dc = GetDC(dialog);
    HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    std::string cut;
    for (HWND control : controls) {
        WCHAR className[32] = {0};
        GetClassNameW(control, className, 32);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        // Plain texts: a static that shows neither an icon nor a picture.
        if (_wcsicmp(className, L"Static") != 0 || (style & SS_TYPEMASK) > SS_RIGHT || !IsWindowVisible(control)) continue;
        WCHAR text[128] = {0};
        const int length = GetWindowTextW(control, text, 128);
        if (length == 0) continue;
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, length, &extent);
        RECT client = {};
        GetClientRect(control, &client);
        if (extent.cx > client.right) {
            cut += (cut.empty() ? "" : "; ") + narrow(text) + " (" + std::to_string(extent.cx) + " > " +
                   std::to_string(client.right) + " pixels)";
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(dialog, dc);
    if (!cut.empty()) note(name + " cuts: " + cut);
    check(cut.empty(), (name + " shows every text whole").c_str());
}

void pressAltF4() {
    INPUT input[4] = {};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = VK_MENU;
    input[1].ki.wVk = input[2].ki.wVk = VK_F4;
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, input, sizeof(INPUT));
}

// A window's rectangle as the screen shows it. The mouse goes away first (its pointer, a
// hot-tracked control or the tray's tooltip would stand in the picture) and comes back after, so
// that the checks go on as without the picture; nothing may lie over the window, and the picture
// is taken once the window's drawing has reached the screen: it is painted now, and two looks in
// a row agree.
void writeWindowPicture(const std::wstring& path, HWND window, const std::string& name) {
    POINT mouse = {0, 0};
    GetCursorPos(&mouse);
    restMouseAwayFromTray();
    UpdateWindow(window);
    RECT r = {};
    GetWindowRect(window, &r);
    std::string over;
    for (HWND w = GetWindow(window, GW_HWNDPREV); w != NULL; w = GetWindow(w, GW_HWNDPREV)) {
        RECT other = {};
        RECT both = {};
        GetWindowRect(w, &other);
        if (!IsWindowVisible(w) || !IntersectRect(&both, &other, &r)) continue;
        WCHAR cls[64] = {0};
        GetClassNameW(w, cls, 64);
        over += (over.empty() ? "" : ", ") + narrow(cls) + " at " + rectText(other);
    }
    if (!over.empty()) note("over " + name + ": " + over);
    check(over.empty(), ("no other window lies over " + name + " in its picture").c_str());
    Pixels shot = capture(r);
    waitFor([&] {
        Sleep(75);
        Pixels again = capture(r);
        const bool settled = again.p == shot.p;
        shot = again;
        return settled;
    }, 2000);
    check(writeBmp(path, shot), ("the picture of " + name + " is written").c_str());
    SetCursorPos(mouse.x, mouse.y);
}

// Settings as a desktop dialog: what means nothing there is hidden, the start-up box says what it
// does, and Esc leaves with nothing saved (the file's bytes, the shortcut) or changed (the icons).
void checkSettingsOnDesktop(const Program& orvo, const Pixels& emptyTray, const std::wstring& file,
                            const std::wstring& pictures = L"") {
    bool exists = false;
    const std::vector<BYTE> before = readFile(file, &exists);
    const bool linked = GetFileAttributesW(startupLink().c_str()) != INVALID_FILE_ATTRIBUTES;
    Shown shown = waitForIcon(emptyTray, false, false, true);
    if (!check(chooseFromMenu(shown, 6), "Settings... is chosen again")) return;
    HWND dialog = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo Settings");
    if (!check(dialog != NULL, "the Settings dialog opens again")) return;
    checkDesktopPlacement(dialog, "the Settings dialog");
    HWND position = GetDlgItem(dialog, IDC_ICON_X);
    HWND label = position != NULL ? GetWindow(position, GW_HWNDPREV) : NULL;
    check(position != NULL && !IsWindowVisible(position) && !IsWindowVisible(GetDlgItem(dialog, IDC_ICON_X_SPIN)),
          "the icon's X coordinate and its spin are hidden");
    check(label != NULL && windowText(label) == L"Icon X-Coordinate" && !IsWindowVisible(label),
          "and so is their label");
    check(GetDlgItem(dialog, IDC_LARGE_ICONS) != NULL && !IsWindowVisible(GetDlgItem(dialog, IDC_LARGE_ICONS)),
          "the large-icons box is hidden");
    check(windowText(GetDlgItem(dialog, IDC_RUN_AT_STARTUP)) == L"Run at start-up",
          "the start-up box reads \"Run at start-up\"");
    checkTextsWhole(dialog, "the Settings dialog");
    if (!pictures.empty()) writeWindowPicture(pictures + L"-settings.bmp", dialog, "the Settings dialog");
    pressButton(dialog, IDC_SHOW_BATTERY);
    pressButton(dialog, IDC_SHOW_PROGRAM_MEMORY);
    pressButton(dialog, IDC_RUN_AT_STARTUP);
    SetForegroundWindow(dialog);
    waitFor([&] { return GetForegroundWindow() == dialog; }, 3000);
    pressKey(VK_ESCAPE);
    if (!check(waitFor([&] { return !IsWindow(dialog); }, 5000), "Esc closes the Settings dialog")) {
        // The boxes as they were, then Done: the checks after this one go on from the same settings.
        pressButton(dialog, IDC_SHOW_BATTERY);
        pressButton(dialog, IDC_SHOW_PROGRAM_MEMORY);
        pressButton(dialog, IDC_RUN_AT_STARTUP);
        pressButton(dialog, IDOK);
        waitFor([&] { return !IsWindow(dialog); }, 5000);
        return;
    }
    check(readFile(file, &exists) == before && exists, "after Esc the settings file keeps its bytes");
    check((GetFileAttributesW(startupLink().c_str()) != INVALID_FILE_ATTRIBUTES) == linked,
          "after Esc the start-up shortcut is as it was");
    const DWORD began = GetTickCount();
    bool stays = true;
    waitFor([&] {
        stays = stays && kindOf(waitForIcon(emptyTray, false, false, true).name) == 2;
        return GetTickCount() - began > 2500;
    }, 10000);
    check(stays, "after Esc the icon goes on showing main storage alone, once a second");
}

// Programs and About as desktop dialogs; the close box and Alt+F4 close them, and closing the
// list closes no program.
void checkProgramsAndAboutOnDesktop(const Program& orvo, const Pixels& emptyTray, LONG witnessClosesBefore,
                                    const std::wstring& pictures = L"") {
    Shown shown = waitForIcon(emptyTray, false, false, true);
    if (check(chooseFromMenu(shown, 4), "Programs... is chosen from the menu")) {
        HWND dialog = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo");
        if (check(dialog != NULL, "the Programs dialog opens")) {
            checkDesktopPlacement(dialog, "the Programs dialog");
            checkTextsWhole(dialog, "the Programs dialog");
            if (!pictures.empty()) writeWindowPicture(pictures + L"-programs.bmp", dialog, "the Programs dialog");
            // What the close box sends.
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (!check(waitFor([&] { return !IsWindow(dialog); }, 5000), "the close box closes the Programs dialog")) {
                pressButton(dialog, IDOK);
                waitFor([&] { return !IsWindow(dialog); }, 5000);
            }
            Sleep(300);
            check(gWitnessCloses == witnessClosesBefore, "closing the Programs dialog closes no program");
        }
    }
    shown = waitForIcon(emptyTray, false, false, true);
    if (check(chooseFromMenu(shown, 7), "About is chosen from the menu")) {
        HWND dialog = waitForWindow(orvo.process.dwProcessId, L"#32770", L"About Orvo");
        if (check(dialog != NULL, "the About box opens")) {
            checkDesktopPlacement(dialog, "the About box");
            checkTextsWhole(dialog, "the About box");
            if (!pictures.empty()) writeWindowPicture(pictures + L"-about.bmp", dialog, "the About box");
            // The keys go to the foreground window: they are pressed once the box is it.
            SetForegroundWindow(dialog);
            waitFor([&] { return GetForegroundWindow() == dialog; }, 3000);
            pressAltF4();
            if (!check(waitFor([&] { return !IsWindow(dialog); }, 5000), "Alt+F4 closes the About box")) {
                pressButton(dialog, IDOK);
                waitFor([&] { return !IsWindow(dialog); }, 5000);
            }
        }
    }
}

// --- The run -----------------------------------------------------------------------------------

BOOL CALLBACK countMainWindow(HWND window, LPARAM count) {
    WCHAR name[16] = {0};
    GetClassNameW(window, name, 16);
    if (wcscmp(name, L"ORVO") == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Four copies started at the same moment: exactly one stays (each could look for the running
// one's window before any has made it).
void checkSimultaneousStarts() {
    Program copies[4];
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    WCHAR elsewhere[MAX_PATH];
    GetSystemWindowsDirectoryW(elsewhere, MAX_PATH);
    int made = 0;
    for (Program& p : copies) {
        std::wstring commandLine = L"\"" + gExe + L"\"";
        made += CreateProcessW(gExe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, elsewhere, &si, &p.process) != 0;
    }
    if (!check(made == 4, "four copies of orvo.exe start at once")) return;
    auto running = [&] {
        int n = 0;
        for (Program& p : copies) n += WaitForSingleObject(p.process.hProcess, 0) == WAIT_TIMEOUT;
        return n;
    };
    auto windows = [] {
        int n = 0;
        EnumWindows(countMainWindow, reinterpret_cast<LPARAM>(&n));
        return n;
    };
    waitFor([&] { return running() <= 1 && windows() >= 1; }, 20000);
    Sleep(1000);  // the one left keeps running
    const int left = running();
    note("of four copies started at once, " + std::to_string(left) + " still run(s) with " +
         std::to_string(windows()) + " main window(s)");
    check(left == 1 && windows() == 1, "four copies started at once leave exactly one running");
    for (Program& p : copies) {
        if (WaitForSingleObject(p.process.hProcess, 0) == WAIT_TIMEOUT) {
            p.main = FindWindowW(L"ORVO", L"Orvo");
            PostMessageW(p.main, WM_CLOSE, 0, 0);
        }
        DWORD code = 99;
        check(ended(&p, &code) && code == 0, "each copy ends with exit code 0");
    }
}

// On a dark taskbar (the run script's second start of this check, with the taskbar's colour made
// dark for it alone): the meter's digits keep their contrast.
void checkDarkTaskbar(const std::wstring& pictures) {
    if (!check(waitFor([] { return IsWindowVisible(trayWindow()) != FALSE; }, 30000),
               "the desktop has a taskbar with a notification area")) {
        return;
    }
    Sleep(500);
    const Pixels emptyTray = capture(trayRect());
    Program orvo;
    if (!check(start(&orvo), "orvo.exe starts on the dark taskbar")) return;
    Shown number = waitForIcon(emptyTray, false, true, true);
    const double ratio = number.name.empty() ? 0 : digitContrast(emptyTray, number);
    if (!number.name.empty()) {
        const POINT d = number.digits.front();
        const DWORD under = emptyTray.at(number.at.x + d.x, number.at.y + d.y);
        check(luminance(under) < 0.1, "the taskbar under the digits is dark");
    }
    note("on the dark taskbar " + number.name + ": digits at " + ratioText(ratio));
    check(ratio >= 4.5, "on a dark taskbar the digits keep at least 4.5 : 1 contrast");
    if (!pictures.empty() && !number.name.empty()) {
        check(writeMeterPicture(pictures + L"-meter-dark.bmp", iconCentre(number)),
              "the picture of the tray meter on the dark taskbar is written");
    }
    PostMessageW(orvo.main, WM_CLOSE, 0, 0);
    DWORD code = 99;
    check(ended(&orvo, &code) && code == 0, "and it ends with exit code 0");
}

// At another DPI (the run script starts Wine's server anew with LogPixels set for each): the
// notification area asks for icons of SM_CXSMICON pixels, and shows Orvo's at that size with the
// 16- or 32-pixel picture and digits unscaled at its centre (expectedIcons: any scaling, by Orvo
// or by the notification area, changes its pixels). `picture`, when given, names a picture of the
// taskbar's corner with the meter.
void checkAtDpi(int dpi, const std::wstring& picture) {
    if (!check(waitFor([] { return IsWindowVisible(trayWindow()) != FALSE; }, 30000),
               "the desktop has a taskbar with a notification area")) {
        return;
    }
    HDC screen = GetDC(NULL);
    const int logPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    note("at " + std::to_string(logPixels) + " DPI the notification area asks for icons of " +
         std::to_string(GetSystemMetrics(SM_CXSMICON)) + " pixels");
    check(logPixels == dpi, ("the desktop runs at " + std::to_string(dpi) + " DPI").c_str());
    check(GetSystemMetrics(SM_CXSMICON) == MulDiv(16, dpi, 96), "small icons grow with the DPI");
    restMouseAwayFromTray();
    Sleep(300);
    const Pixels emptyTray = capture(trayRect());
    Program orvo;
    if (!check(start(&orvo), "orvo.exe starts")) return;
    const bool battery = machineHasBattery();
    Shown shown = waitForIcon(emptyTray, battery, true, true);
    note("at " + std::to_string(dpi) + " DPI the notification area shows " +
         (shown.name.empty() ? std::string("no expected icon") : shown.name + " at " + std::to_string(iconSize()) + " pixels"));
    check(!shown.name.empty(), ("at " + std::to_string(dpi) +
                                " DPI the icon has the small-icon size, its picture and digits unscaled at the centre")
                                   .c_str());
    if (!shown.name.empty() && !picture.empty()) {
        const POINT at = iconCentre(shown);
        check(writeCorner(picture, POINT{at.x - 160, trayRect().top}), "the picture of the meter at this DPI is written");
    }
    PostMessageW(orvo.main, WM_CLOSE, 0, 0);
    DWORD code = 99;
    check(ended(&orvo, &code) && code == 0, "and it ends with exit code 0");
}

void runChecks(const std::wstring& picture) {
    if (!check(waitFor([] { return IsWindowVisible(trayWindow()) != FALSE; }, 30000),
               "the desktop has a taskbar with a notification area")) {
        return;
    }
    check(FindWindowW(L"HHTaskBar", NULL) == NULL, "there is no Pocket PC taskbar");
    const std::wstring settingsFile = gFolder + L"\\orvo.dat";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Marund");
    SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(settingsFile.c_str());
    DeleteFileW(userSettingsFile().c_str());
    DeleteFileW(startupLink().c_str());
    // The run script may leave a file of defaults there that cannot be changed or deleted: the
    // program's folder cannot be written, as C:\\Program Files for a user.
    const bool folderLocked = GetFileAttributesW(settingsFile.c_str()) != INVALID_FILE_ATTRIBUTES;
    note(folderLocked ? "the program's folder cannot be written" : "the program's folder can be written");
    const bool battery = machineHasBattery();
    note(battery ? "this machine has a battery" : "this machine has no battery (BatteryFlag 128)");

    HANDLE ready = CreateEventW(NULL, TRUE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, witnessThread, ready, 0, NULL));
    WaitForSingleObject(ready, 10000);
    Sleep(500);  // let the new window reach the screen before it is taken as the mark
    const Pixels emptyTray = capture(trayRect());
    restMouseAwayFromTray();
    const Outside mark = captureOutside();

    // --- First start: defaults, the rotation in the notification area ---
    Program orvo;
    if (!check(start(&orvo), "orvo.exe starts and makes its main window")) return;
    Shown shown = waitForIcon(emptyTray, battery, !battery, false);
    check(!shown.name.empty(), battery ? "the first icon in the notification area is the battery's"
                                       : "without a battery the first icon is program memory's");
    const RECT cell = {shown.at.x, shown.at.y, shown.at.x + iconSize(), shown.at.y + iconSize()};
    {
        // The light taskbar a fresh prefix has.
        Shown number = waitForIcon(emptyTray, false, true, true);
        const double ratio = digitContrast(emptyTray, number);
        note("on the light taskbar (" + ratioText(contrast(emptyTray.at(cell.left, cell.top), 0)) + " against black) " +
             number.name + ": digits at " + ratioText(ratio));
        check(luminance(emptyTray.at(cell.left, cell.top)) > 0.5, "the taskbar is light in Wine's own colours");
        check(ratio >= 4.5, "on a light taskbar the digits keep at least 4.5 : 1 contrast");
    }
    auto iconGone = [&] {
        Pixels now = capture(trayRect());
        if (now.width != emptyTray.width || now.height != emptyTray.height) return false;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                if (now.at(x, y) != emptyTray.at(x, y)) return false;
        return true;
    };
    bool exists = false;
    check(readFile(settingsFile, &exists) == scenario::defaultSettingsImage() && exists,
          "the settings file is made in the program's folder with the defaults");

    std::vector<std::string> seen;
    DWORD unmatchedSince = 0;
    bool unmatchedTooLong = false;
    waitFor([&] {
        Shown now = shownIcon(emptyTray, expectedIcons(battery, true, true));
        if (now.name.empty()) {
            if (unmatchedSince == 0) unmatchedSince = GetTickCount();
            unmatchedTooLong = unmatchedTooLong || GetTickCount() - unmatchedSince > 1500;
        } else {
            unmatchedSince = 0;
            if (seen.empty() || seen.back().substr(seen.back().find(' ') + 1) != now.name) {
                seen.push_back(std::to_string(GetTickCount() % 100000) + " " + now.name);
            }
        }
        return seen.size() >= 7;
    }, 30000);
    std::string order;
    bool rotates = seen.size() >= 7;
    for (size_t i = 0; i < seen.size(); ++i) {
        order += (i ? ", " : "") + seen[i];
        // The next of the kinds shown: battery (when there is one), program memory, main storage.
        const int before = kindOf(seen[i - (i > 0 ? 1 : 0)].substr(seen[i - (i > 0 ? 1 : 0)].find(' ') + 1));
        const int next = before == 2 ? (battery ? 0 : 1) : before + 1;
        if (i > 0) rotates = rotates && kindOf(seen[i].substr(seen[i].find(' ') + 1)) == next;
    }
    note("the notification area showed: " + order);
    check(rotates, "every tick shows the next kind's composed icon in the notification area");
    check(!unmatchedTooLong, "the notification area never shows anything but an expected icon");
    if (!battery) {
        bool batteryShown = false;
        for (const std::string& one : seen) batteryShown = batteryShown || kindOf(one.substr(one.find(' ') + 1)) == 0;
        check(!batteryShown, "a machine without a battery never shows the battery");
    }

    // --- A right click opens the menu, with Orvo in the foreground: Esc closes it ---
    shown = waitForIcon(emptyTray, battery, true, true);
    clickAt(iconCentre(shown), true);  // a right click, as a desktop user opens a menu
    HWND rightMenu = NULL;
    check(waitFor([&] { return (rightMenu = visibleMenu()) != NULL; }, 4000), "a right click on the icon opens the menu");
    if (rightMenu != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &owner);
        check(owner == orvo.process.dwProcessId, "Orvo is the foreground program while its menu is open");
        pressKey(VK_ESCAPE);
        check(waitFor([] { return visibleMenu() == NULL; }, 4000), "Esc on the keyboard closes the menu");
    }

    // --- The notification area made anew: the icon is back at once ---
    {
        NOTIFYICONDATAW gone = {};
        gone.cbSize = sizeof gone;
        gone.hWnd = orvo.main;
        gone.uID = 5302;
        Shell_NotifyIconW(NIM_DELETE, &gone);
        waitFor(iconGone, 2000);
        SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        check(waitFor([&] { return !shownIcon(emptyTray, expectedIcons(battery, true, true)).name.empty(); }, 1500),
              "after TaskbarCreated the icon is back within 1.5 s");
    }

    // --- Close All: other programs' windows are asked to close, the desktop's own never ---
    shown = waitForIcon(emptyTray, battery, true, true);
    check(chooseFromMenu(shown, 5), "Close All is chosen from the menu");
    HWND ask = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo");
    if (check(ask != NULL, "Close All asks first")) {
        note("Close All asks: " + narrow(dialogText(ask)));
        pressButton(ask, IDYES);
        check(waitFor([&] { return !IsWindow(ask); }, 5000), "Yes closes the question");
    }
    check(waitFor([] { return gWitnessCloses > 0; }, 5000), "Close All asks another program's window to close");
    Sleep(300);
    check(gProgmanCloses == 0, "Close All never sends WM_CLOSE to the desktop's own window (\"Progman\")");
    check(screenUnchanged(mark, "ticks"), "the screen outside the taskbar is unchanged over the ticks");

    // --- Settings: battery and program memory off, refresh 1 s ---
    shown = waitForIcon(emptyTray, true, true, true);
    check(chooseFromMenu(shown, 6), "Settings... is chosen from the notification icon's menu");
    HWND dialog = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo Settings");
    if (check(dialog != NULL, "the Settings dialog opens")) {
        pressButton(dialog, IDC_SHOW_BATTERY);
        pressButton(dialog, IDC_SHOW_PROGRAM_MEMORY);
        SetDlgItemTextW(dialog, IDC_REFRESH, L"1");
        pressButton(dialog, IDOK);
        check(waitFor([&] { return !IsWindow(dialog); }, 10000), "Done closes it");
    }
    if (folderLocked) {
        check(readFile(settingsFile, &exists) == scenario::defaultSettingsImage(),
              "the program's file that cannot be written keeps its bytes");
    }
    std::vector<BYTE> saved = readFile(folderLocked ? userSettingsFile() : settingsFile, &exists);
    check(exists && saved.size() == 652 && field(saved, 68) == 0 && field(saved, 72) == 0 && field(saved, 76) == 1 &&
              field(saved, 84) == 1,
          folderLocked ? "Done writes the change into the user's application-data folder instead"
                       : "Done writes the change into the settings file");
    check(_wcsicmp(shellLinkTarget(startupLink()).c_str(), gExe.c_str()) == 0, "the start-up shortcut points at the program");

    // --- The dialogs as a desktop has them ---
    checkSettingsOnDesktop(orvo, emptyTray, folderLocked ? userSettingsFile() : settingsFile, picture);
    checkProgramsAndAboutOnDesktop(orvo, emptyTray, gWitnessCloses, picture);

    // --- Exit from the menu ---
    shown = waitForIcon(emptyTray, false, false, true);
    check(chooseFromMenu(shown, 8, picture), "Exit is chosen from the menu");
    DWORD code = 99;
    check(ended(&orvo, &code) && code == 0, "Exit ends Orvo with exit code 0");
    check(waitFor(iconGone, 5000), "Exit leaves no icon in the notification area");
    check(screenUnchanged(mark, "Exit"), "the screen outside the taskbar is as it was after Exit");

    // --- Second start: the file is read back; main storage exact over the ticks ---
    if (!check(start(&orvo), "orvo.exe starts again")) return;
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
    storagePercent(&freeBytes, &totalBytes);
    shown = waitForIcon(emptyTray, false, false, true);
    check(kindOf(shown.name) == 2, "the setting survives the restart (read from the user's folder first): main storage alone is shown");
    note("main storage " + std::to_string(freeBytes) + " of " + std::to_string(totalBytes) + " bytes free: " + shown.name);
    check(totalBytes > 0xFFFFFFFFull, "main storage is larger than 4 GB here");
    const DWORD began = GetTickCount();
    bool stays = true;
    waitFor([&] {
        stays = stays && kindOf(waitForIcon(emptyTray, false, false, true).name) == 2;
        return GetTickCount() - began > 3500;
    }, 10000);
    check(stays, "over the ticks it keeps the exact main storage percentage");

    // --- Hot Reset: confirmed, then told it cannot be done ---
    check(chooseFromMenu(shown, 1), "Hot Reset is chosen from the menu");
    HWND box = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo");
    if (check(box != NULL && dialogText(box) == L"Are you sure you want to reset your Pocket PC?", "it asks first")) {
        pressButton(box, IDYES);
        waitFor([&] { return !IsWindow(box); }, 5000);
        HWND told = waitForWindow(orvo.process.dwProcessId, L"#32770", L"Orvo");
        check(told != NULL && dialogText(told) == L"This computer does not support Hot Reset.",
              "after Yes a box captioned Orvo says the desktop cannot do it");
        if (told != NULL) pressButton(told, IDOK);
        waitFor([&] { return told == NULL || !IsWindow(told); }, 5000);
    }
    check(WaitForSingleObject(orvo.process.hProcess, 0) == WAIT_TIMEOUT, "Orvo goes on running");

    // --- Closed from elsewhere ---
    PostMessageW(orvo.main, WM_CLOSE, 0, 0);
    code = 99;
    check(ended(&orvo, &code) && code == 0, "a close from another program ends Orvo with exit code 0");
    check(waitFor(iconGone, 5000), "and leaves no icon");
    check(screenUnchanged(mark, "the end"), "the screen outside the taskbar is as it was at the end");
    SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(userSettingsFile().c_str());
    checkSimultaneousStarts();
    PostMessageW(gWitness, WM_CLOSE, 0, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Pixels and sizes as the screen has them, at any DPI.
    SetProcessDPIAware();
    const bool dark = argc > 1 && wcscmp(argv[1], L"--dark-taskbar") == 0;
    if (dark) {
        --argc;
        ++argv;
    }
    int dpi = 0;
    if (argc > 2 && wcscmp(argv[1], L"--dpi") == 0) {
        dpi = _wtoi(argv[2]);
        argc -= 2;
        argv += 2;
    }
    if (argc < 2) {
        std::printf("usage: orvo-desktop-check [--dark-taskbar | --dpi DPI] ORVO_EXE [PICTURES]\n");
        return 2;
    }
    WCHAR full[MAX_PATH];
    GetFullPathNameW(argv[1], MAX_PATH, full, NULL);
    gExe = full;
    gFolder = gExe.substr(0, gExe.find_last_of(L'\\'));
    programImages = LoadLibraryExW(gExe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (programImages == NULL) {
        std::printf("desktop: cannot read the images of %s\n", narrow(gExe).c_str());
        return 1;
    }
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (dpi != 0) {
        checkAtDpi(dpi, argc > 2 ? argv[2] : L"");
    } else if (dark) {
        checkDarkTaskbar(argc > 2 ? argv[2] : L"");
    } else {
        runChecks(argc > 2 ? argv[2] : L"");
    }
    std::printf("desktop: %d of %d checks passed\n", checksRun() - checksFailed(), checksRun());
    return checksFailed() == 0 ? 0 : 1;
}
