// The platform's rules that the simulator keeps where Orvo's code meets them, shown on the real
// system: the same cases as the simulator's conformance tests (tests/unit/test_conformance_*.cpp),
// asserted alike. The device's timer periods differ from the desktop's and are not shown here.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/e2e/compat/simulator_rules.h"

namespace {

CheckFunction gCheck = nullptr;
std::vector<std::string> gLog;
std::vector<HWND> gNamed;

std::string nameOf(HWND h) {
    for (size_t i = 0; i < gNamed.size(); ++i) {
        if (gNamed[i] == h) return "w" + std::to_string(i);
    }
    return "?";
}

LRESULT CALLBACK loggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) gLog.push_back(nameOf(window) + " WM_DESTROY");
    if (message == WM_NCDESTROY) gLog.push_back(nameOf(window) + " WM_NCDESTROY");
    if (message == WM_INITMENUPOPUP) {
        gLog.push_back("WM_INITMENUPOPUP " + std::to_string(lParam));
        EndMenu();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND make(HWND parent) {
    HWND h = CreateWindowExW(0, L"OrvoRulesCheck", L"test", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, NULL,
                             GetModuleHandleW(NULL), NULL);
    gNamed.push_back(h);
    return h;
}

BITMAP info(HGDIOBJ bitmap) {
    BITMAP bm = {};
    GetObjectW(bitmap, sizeof bm, &bm);
    return bm;
}

void memoryContexts() {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ original = SelectObject(memory, colour);
    BITMAP bm = info(original);
    gCheck(original != NULL && bm.bmWidth == 1 && bm.bmHeight == 1 && bm.bmBitsPixel == 1,
           "a memory context holds a 1 x 1 monochrome bitmap, and SelectObject returns it");
    HBITMAP fromColour = CreateCompatibleBitmap(memory, 2, 2);
    gCheck(info(fromColour).bmBitsPixel == GetDeviceCaps(screen, BITSPIXEL),
           "a bitmap compatible with a memory context holding colour is colour");
    gCheck(SelectObject(memory, original) == colour, "the original goes back, the colour bitmap comes out");
    HBITMAP fromMono = CreateCompatibleBitmap(memory, 5, 3);
    bm = info(fromMono);
    gCheck(bm.bmBitsPixel == 1 && bm.bmWidth == 5, "a bitmap compatible with a fresh memory context is monochrome");
    HBITMAP empty = CreateCompatibleBitmap(screen, 0, 0);
    bm = info(empty);
    gCheck(empty != NULL && bm.bmWidth == 1 && bm.bmBitsPixel == 1, "no pixels at all: a 1 x 1 monochrome bitmap");

    // Colour copied into monochrome: the background colour (white) white, every other black.
    HDC monoDc = CreateCompatibleDC(screen);
    HGDIOBJ monoOriginal = SelectObject(monoDc, fromMono);
    HGDIOBJ colourOriginal = SelectObject(memory, colour);
    SetPixel(memory, 0, 0, RGB(255, 255, 255));
    SetPixel(memory, 1, 0, RGB(0x80, 0x90, 0xA0));
    SetPixel(memory, 2, 0, RGB(0xFE, 0xFF, 0xFF));
    BitBlt(monoDc, 0, 0, 3, 1, memory, 0, 0, SRCCOPY);
    gCheck(GetPixel(monoDc, 0, 0) == RGB(255, 255, 255) && GetPixel(monoDc, 1, 0) == RGB(0, 0, 0) &&
               GetPixel(monoDc, 2, 0) == RGB(0, 0, 0),
           "colour into monochrome keeps only the background white");
    SelectObject(monoDc, monoOriginal);
    SelectObject(memory, colourOriginal);
    DeleteDC(monoDc);
    for (HBITMAP b : {colour, fromColour, fromMono, empty}) DeleteObject(b);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

HBITMAP dibSection(HDC dc, int width, int height, DWORD** bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = NULL;
    HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, NULL, 0);
    *bits = static_cast<DWORD*>(p);
    return b;
}

void iconsFromDibSections() {
    HDC screen = GetDC(NULL);
    DWORD* maskBits = NULL;
    DWORD* colourBits = NULL;
    HBITMAP mask = dibSection(screen, 2, 1, &maskBits);
    HBITMAP colour = dibSection(screen, 2, 1, &colourBits);
    maskBits[0] = 0x000000;
    maskBits[1] = 0xFFFFFF;
    colourBits[0] = 0x00FF0000;
    colourBits[1] = 0x00000000;
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    DeleteObject(colour);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 2, 1);
    HGDIOBJ original = SelectObject(memory, target);
    SetPixel(memory, 0, 0, RGB(0, 0, 255));
    SetPixel(memory, 1, 0, RGB(0, 0, 255));
    DrawIconEx(memory, 0, 0, icon, 2, 1, 0, NULL, DI_NORMAL);
    gCheck(icon != NULL && GetPixel(memory, 0, 0) == RGB(255, 0, 0) && GetPixel(memory, 1, 0) == RGB(0, 0, 255),
           "an icon made from DIB sections shows the bits written through them");
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteDC(memory);
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
}

// The same case as the simulator's DrawIconExWithOneFlagCopiesThatImage.
void iconImagesDrawnAlone() {
    HDC screen = GetDC(NULL);
    DWORD* maskBits = NULL;
    DWORD* colourBits = NULL;
    HBITMAP mask = dibSection(screen, 2, 1, &maskBits);
    HBITMAP colour = dibSection(screen, 2, 1, &colourBits);
    maskBits[0] = 0x000000;
    maskBits[1] = 0xFFFFFF;
    colourBits[0] = 0x00FF0000;
    colourBits[1] = 0x00000000;
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    DeleteObject(colour);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 4, 1);
    HGDIOBJ original = SelectObject(memory, target);
    for (int x = 0; x < 4; ++x) SetPixel(memory, x, 0, RGB(0, 0, 255));
    DrawIconEx(memory, 0, 0, icon, 2, 1, 0, NULL, DI_MASK);
    DrawIconEx(memory, 2, 0, icon, 2, 1, 0, NULL, DI_IMAGE);
    gCheck(icon != NULL && GetPixel(memory, 0, 0) == RGB(0, 0, 0) && GetPixel(memory, 1, 0) == RGB(255, 255, 255),
           "DrawIconEx with DI_MASK alone copies the mask");
    gCheck(GetPixel(memory, 2, 0) == RGB(255, 0, 0) && GetPixel(memory, 3, 0) == RGB(0, 0, 0),
           "DrawIconEx with DI_IMAGE alone copies the image");
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteDC(memory);
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
}

// The same case as the simulator's FillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask.
void masksClearedWithABrush() {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mask = CreateCompatibleBitmap(screen, 3, 3);
    HGDIOBJ original = SelectObject(memory, mask);
    const RECT r = {0, 0, 2, 2};
    const int filled = FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    gCheck(filled != 0 && GetPixel(memory, 1, 1) == RGB(255, 255, 255) && GetPixel(memory, 2, 1) == RGB(0, 0, 0) &&
               GetPixel(memory, 1, 2) == RGB(0, 0, 0),
           "FillRect fills the rectangle without its right and bottom edges");
    SelectObject(memory, original);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 3);
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    HBITMAP target = CreateCompatibleBitmap(screen, 3, 3);
    SelectObject(memory, target);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) SetPixel(memory, x, y, RGB(0, 0, 200));
    DrawIconEx(memory, 0, 0, icon, 3, 3, 0, NULL, DI_NORMAL);
    gCheck(icon != NULL && GetPixel(memory, 0, 0) == RGB(0, 0, 200) && GetPixel(memory, 2, 2) == RGB(0, 0, 0),
           "a colour mask cleared white with a brush is transparent where white, opaque where black");
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteObject(mask);
    DeleteObject(colour);
    DeleteDC(memory);
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
}

void windows() {
    SetLastError(0xdeadbeef);
    gCheck(SetWindowLongPtrW(NULL, GWLP_WNDPROC, 0) == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
           "SetWindowLongPtrW on no window: ERROR_INVALID_WINDOW_HANDLE");
    HWND w = make(NULL);
    SetLastError(0xdeadbeef);
    gCheck(SetWindowLongPtrW(w, static_cast<int>(0xdeadbeef), 0) == 0 && GetLastError() == ERROR_INVALID_INDEX,
           "SetWindowLongPtrW with no such index: ERROR_INVALID_INDEX");
    DestroyWindow(w);
    SetLastError(0xdeadbeef);
    // Windows (and the simulator) answer ERROR_INVALID_WINDOW_HANDLE; Wine answers
    // ERROR_ACCESS_DENIED, as for another thread's window. Either says the call failed.
    const BOOL again = DestroyWindow(w);
    const DWORD error = GetLastError();
    gCheck(!again && (error == ERROR_INVALID_WINDOW_HANDLE || error == ERROR_ACCESS_DENIED),
           "DestroyWindow on a window that is gone fails with a handle or access error");

    gLog.clear();
    gNamed.clear();
    HWND parent = make(NULL);
    HWND child1 = make(parent);
    make(parent);
    make(child1);
    DestroyWindow(parent);
    const std::vector<std::string> order = {"w0 WM_DESTROY",    "w1 WM_DESTROY",    "w3 WM_DESTROY",    "w2 WM_DESTROY",
                                            "w3 WM_NCDESTROY", "w1 WM_NCDESTROY", "w2 WM_NCDESTROY", "w0 WM_NCDESTROY"};
    gCheck(gLog == order, "WM_DESTROY down the tree, WM_NCDESTROY back up");

    gLog.clear();
    HWND owner = make(NULL);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 10, L"One");
    SetForegroundWindow(owner);
    TrackPopupMenuEx(menu, TPM_RETURNCMD, 5, 5, owner, NULL);
    gCheck(!gLog.empty() && gLog.front() == "WM_INITMENUPOPUP 0", "a popup menu sends WM_INITMENUPOPUP to its owner");
    DestroyMenu(menu);
    DestroyWindow(owner);
}

int gWantedId = 0;
bool gOfferedTheTabStop = false;

INT_PTR CALLBACK focusProbe(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    gOfferedTheTabStop = reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, gWantedId);
    EndDialog(dialog, 1);
    return TRUE;
}

void dialogFocus() {
    HINSTANCE self = GetModuleHandleW(NULL);
    const int cases[][2] = {{SettingsPortraitTemplate, IDC_SHOW_BATTERY}, {AboutDialogTemplate, IDC_ABOUT_CONTINUE}, {ProgramsDialogTemplate, IDC_CLOSE}};
    for (const auto& c : cases) {
        gWantedId = c[1];
        gOfferedTheTabStop = false;
        HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(c[0]), MAKEINTRESOURCEW(5));  // a dialog template
        HGLOBAL loaded = found ? LoadResource(self, found) : NULL;
        if (loaded != NULL) {
            DialogBoxIndirectParamW(self, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), NULL, focusProbe, 0);
        }
        gCheck(gOfferedTheTabStop, "WM_INITDIALOG offers the first tab stop");
    }
}

void upDown() {
    HWND parent = make(NULL);
    HWND edit = CreateWindowExW(0, L"EDIT", L"50", WS_CHILD, 0, 0, 40, 20, parent, NULL, GetModuleHandleW(NULL), NULL);
    HWND u = CreateWindowExW(0, UPDOWN_CLASSW, NULL, WS_CHILD | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 20, 20, parent,
                             NULL, GetModuleHandleW(NULL), NULL);
    SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(100, 0));
    SendMessageW(u, UDM_SETPOS, 0, MAKELONG(50, 0));
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(1, 40));
    LRESULT r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 40 && HIWORD(r) != 0, "an inverted range: the buddy's 50 is out of it, the position held to it");
    SendMessageW(u, UDM_SETPOS, 0, MAKELONG(0, 0));
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 1 && HIWORD(r) == 0, "the position is held to the inverted range");
    SetWindowTextW(edit, L"11");
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 11 && HIWORD(r) == 0, "UDM_GETPOS reads the buddy's number");
    SetWindowTextW(edit, L"21st");
    r = SendMessageW(u, UDM_GETPOS, 0, 0);
    gCheck(LOWORD(r) == 11 && HIWORD(r) != 0, "text that is no number is an error that keeps the last position");
    gCheck(reinterpret_cast<HWND>(SendMessageW(u, UDM_GETBUDDY, 0, 0)) == edit, "UDM_GETBUDDY gives the buddy");
    DestroyWindow(parent);
}

}  // namespace

void checkSimulatorRules(CheckFunction check) {
    gCheck = check;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = loggingProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"OrvoRulesCheck";
    RegisterClassW(&wc);
    memoryContexts();
    iconsFromDibSections();
    iconImagesDrawnAlone();
    masksClearedWithABrush();
    windows();
    dialogFocus();
    upDown();
}
