#include "tests/conformance/platform_cases.h"

#include <cstring>

namespace conformance {

void (*onMenuPopup)(HWND owner, WPARAM menu) = nullptr;

namespace {

HINSTANCE gInstance = NULL;
std::vector<std::string> gLog;
std::vector<HWND> gWindows;  // the windows whose messages are logged, named by their index

std::string nameOf(HWND h) {
    for (size_t i = 0; i < gWindows.size(); ++i) {
        if (gWindows[i] == h) return "w" + std::to_string(i);
    }
    return "?";
}

LRESULT CALLBACK loggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) gLog.push_back(nameOf(window) + " WM_DESTROY");
    if (message == WM_NCDESTROY) gLog.push_back(nameOf(window) + " WM_NCDESTROY");
    if (message == WM_INITMENUPOPUP) {
        gLog.push_back("WM_INITMENUPOPUP " + std::to_string(lParam));
        if (onMenuPopup != nullptr) onMenuPopup(window, wParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool sameText(const WCHAR* a, const WCHAR* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

BITMAP info(HGDIOBJ bitmap) {
    BITMAP bm;
    std::memset(&bm, 0, sizeof bm);
    GetObjectW(bitmap, sizeof bm, &bm);
    return bm;
}

HBITMAP dibSection(HDC dc, int width, int height, DWORD** bits) {
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
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

// A memory context holding a new bitmap of the screen's format and the size asked, filled with
// one colour, for a case to draw into; both go when the case ends.
class Target {
public:
    Target(HDC screen, int width, int height, COLORREF fill)
        : dc_(CreateCompatibleDC(screen)), bitmap_(CreateCompatibleBitmap(screen, width, height)),
          original_(SelectObject(dc_, bitmap_)) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) SetPixel(dc_, x, y, fill);
        }
    }
    ~Target() {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ original_;
};

// A 2 x 1 icon made from two DIB sections written through their bits: the left pixel opaque red,
// the right one transparent (black in the colour image); NULL when a section cannot be made.
HICON redAndClearIcon(HDC screen, RuleCheck check) {
    DWORD* maskBits = NULL;
    DWORD* colourBits = NULL;
    HBITMAP mask = dibSection(screen, 2, 1, &maskBits);
    HBITMAP colour = dibSection(screen, 2, 1, &colourBits);
    HICON icon = NULL;
    if (mask != NULL && colour != NULL && maskBits != NULL && colourBits != NULL) {
        maskBits[0] = 0x000000;      // opaque
        maskBits[1] = 0xFFFFFF;      // transparent
        colourBits[0] = 0x00FF0000;  // red, as 0x00RRGGBB
        colourBits[1] = 0x00000000;
        ICONINFO ii = {TRUE, 0, 0, mask, colour};
        icon = CreateIconIndirect(&ii);
    } else {
        check(false, "two DIB sections are made, with their bits");
    }
    if (mask != NULL) DeleteObject(mask);
    if (colour != NULL) DeleteObject(colour);
    return icon;
}

}  // namespace

const WCHAR* windowClassName() { return TEXT("OrvoConformance"); }

bool registerWindowClass(HINSTANCE instance) {
    gInstance = instance;
    WNDCLASSW wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = loggingProc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClassName();
    return RegisterClassW(&wc) != 0;
}

HWND makeWindow(HWND parent) {
    HWND h = CreateWindowExW(0, windowClassName(), TEXT("test"), parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                             NULL, gInstance, NULL);
    gWindows.push_back(h);
    return h;
}

std::vector<std::string>& messageLog() { return gLog; }

void forgetWindows() {
    gWindows.clear();
    gLog.clear();
}

// dc.c test_DC_bitmap, bitmap.c test_select_object: a new memory context holds a 1 x 1
// monochrome bitmap, and selecting another one hands it back.
void memoryContextHoldsAMonochromePixel(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ original = SelectObject(memory, colour);
    check(original != NULL, "a memory context has a bitmap of its own, which SelectObject returns");
    BITMAP bm = info(original);
    check(bm.bmWidth == 1 && bm.bmHeight == 1 && bm.bmBitsPixel == 1 && bm.bmPlanes == 1,
          "a memory context's own bitmap is 1 x 1 and monochrome");
    check(bm.bmWidthBytes == 2, "rows of a monochrome bitmap are whole 16-bit words");
    check(SelectObject(memory, original) == colour, "putting it back returns the one taken out");
    check(DeleteObject(colour) != FALSE, "deselected, the bitmap is free to delete");
    check(DeleteDC(memory) != FALSE, "the memory context is deleted");
    ReleaseDC(NULL, screen);
}

// bitmap.c test_CreateCompatibleBitmap / test_mono_bitmap / test_bitmap: a bitmap compatible with
// a memory context has the format of the bitmap selected there, monochrome while the context's own
// is; no pixels at all give a 1 x 1 monochrome bitmap.
void compatibleBitmapsTakeTheFormatOfWhatTheContextHolds(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP fromMemory = CreateCompatibleBitmap(memory, 5, 3);
    BITMAP bm = info(fromMemory);
    check(fromMemory != NULL && bm.bmBitsPixel == 1 && bm.bmWidth == 5 && bm.bmHeight == 3,
          "a bitmap compatible with a fresh memory context is monochrome, of the size asked");
    HBITMAP fromScreen = CreateCompatibleBitmap(screen, 5, 3);
    const int screenDepth = info(fromScreen).bmBitsPixel;
    check(screenDepth > 1, "a bitmap compatible with the screen has the screen's colours");
    HGDIOBJ original = SelectObject(memory, fromScreen);
    HBITMAP fromColourMemory = CreateCompatibleBitmap(memory, 2, 2);
    check(info(fromColourMemory).bmBitsPixel == screenDepth,
          "a bitmap compatible with a memory context holding colour has those colours");
    HBITMAP empty = CreateCompatibleBitmap(screen, 0, 0);
    bm = info(empty);
    check(empty != NULL && bm.bmWidth == 1 && bm.bmHeight == 1 && bm.bmBitsPixel == 1,
          "no pixels at all: a 1 x 1 monochrome bitmap");
    SelectObject(memory, original);
    bool deleted = true;
    for (HBITMAP b : {fromMemory, fromScreen, fromColourMemory, empty}) deleted = DeleteObject(b) != FALSE && deleted;
    check(deleted, "each bitmap, deselected, is deleted");
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

// bitmap.c test_mono_bitmap / test_bitmap_colors: copying colour into a monochrome bitmap makes the
// background colour (white) white and every other colour black; back into colour they stay so.
void colourIntoMonochromeKeepsOnlyTheBackgroundWhite(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC colourDc = CreateCompatibleDC(screen);
    HDC monoDc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 1);
    HBITMAP mono = CreateCompatibleBitmap(monoDc, 3, 1);
    HGDIOBJ colourOriginal = SelectObject(colourDc, colour);
    HGDIOBJ monoOriginal = SelectObject(monoDc, mono);
    SetPixel(colourDc, 0, 0, RGB(255, 255, 255));
    SetPixel(colourDc, 1, 0, RGB(0x80, 0x90, 0xA0));
    SetPixel(colourDc, 2, 0, RGB(0xFE, 0xFF, 0xFF));
    check(BitBlt(monoDc, 0, 0, 3, 1, colourDc, 0, 0, SRCCOPY) != FALSE, "colour copies into monochrome");
    check(GetPixel(monoDc, 0, 0) == RGB(255, 255, 255) && GetPixel(monoDc, 1, 0) == RGB(0, 0, 0),
          "colour into monochrome: the background colour white, another black");
    check(GetPixel(monoDc, 2, 0) == RGB(0, 0, 0), "only the background colour itself is white");
    check(SetPixel(monoDc, 1, 0, RGB(255, 255, 255)) == RGB(255, 255, 255), "a monochrome pixel is set white");
    check(BitBlt(colourDc, 0, 0, 3, 1, monoDc, 0, 0, SRCCOPY) != FALSE, "monochrome copies into colour");
    check(GetPixel(colourDc, 1, 0) == RGB(255, 255, 255) && GetPixel(colourDc, 2, 0) == RGB(0, 0, 0),
          "monochrome into colour: white stays white, black black");
    SelectObject(colourDc, colourOriginal);
    SelectObject(monoDc, monoOriginal);
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteDC(colourDc);
    DeleteDC(monoDc);
    ReleaseDC(NULL, screen);
}

// gdiobj.c / bitmap.c test_select_object: one bitmap in one memory context at a time, none in a
// screen context; stock objects delete as a no-op; a deleted handle is no object. (A bitmap still
// selected is not deleted, says the reference; Wine deletes it once it is deselected: the unit
// tests hold the device to the reference.)
void aBitmapGoesIntoOneMemoryContextAtATime(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ aOriginal = SelectObject(a, bitmap);
    check(aOriginal != NULL, "a bitmap goes into a memory context");
    check(SelectObject(b, bitmap) == NULL, "a bitmap already selected into another context goes into no other");
    check(SelectObject(screen, bitmap) == NULL, "a screen context takes no bitmap");
    check(SelectObject(a, bitmap) == bitmap, "selecting it again where it is returns it");
    check(DeleteObject(GetStockObject(WHITE_BRUSH)) != FALSE, "deleting a stock object succeeds and does nothing");
    SelectObject(a, aOriginal);
    check(DeleteObject(bitmap) != FALSE, "deselected, the bitmap is deleted");
    check(DeleteObject(bitmap) == FALSE, "a deleted handle is no object");
    DeleteDC(a);
    DeleteDC(b);
    ReleaseDC(NULL, screen);
}

// bitmap.c test_dibsections: what is written through the bits is what GDI reads, and GDI's
// drawing shows in the bits after GdiFlush; a bottom-up section keeps its last row first.
void dibSectionBitsAndGdiSeeTheSamePixels(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    DWORD* bits = NULL;
    HBITMAP dib = dibSection(screen, 2, 2, &bits);
    if (dib != NULL && bits != NULL) {
        BITMAP bm = info(dib);
        check(bm.bmBitsPixel == 32 && bm.bmWidthBytes == 8, "a 32-bit section of 2 x 2 has rows of 8 bytes");
        HGDIOBJ original = SelectObject(memory, dib);
        bits[0] = 0x00112233;  // bottom-up: the first row in memory is the picture's bottom row
        check(GetPixel(memory, 0, 1) == RGB(0x11, 0x22, 0x33), "what is written through the bits GDI reads");
        SetPixel(memory, 1, 0, RGB(0xAA, 0xBB, 0xCC));
        GdiFlush();
        check(bits[3] == 0x00AABBCCu, "what GDI draws shows in the bits after GdiFlush");
        SelectObject(memory, original);
        DeleteObject(dib);
    } else {
        check(false, "a 32-bit DIB section is made, with its bits");
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

// cursoricon.c test_CreateIcon / test_DrawIcon with DIB sections: the icon is made of the pixels
// written through the sections' bits; a destroyed icon is no icon.
void iconsFromDibSectionsUseTheBitsWrittenThroughThem(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HICON icon = redAndClearIcon(screen, check);
    {
        const Target blue(screen, 2, 1, RGB(0, 0, 255));
        check(icon != NULL && DrawIconEx(blue.dc(), 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL) != FALSE,
              "an icon is made of the sections and drawn at its own size");
        check(GetPixel(blue.dc(), 0, 0) == RGB(255, 0, 0), "the icon's opaque pixel shows the colour written");
        check(GetPixel(blue.dc(), 1, 0) == RGB(0, 0, 255), "its transparent one leaves the background");
    }
    check(DestroyIcon(icon) != FALSE, "the icon is destroyed");
    check(DestroyIcon(icon) == FALSE, "a destroyed icon is no icon");
    ReleaseDC(NULL, screen);
}

// DrawIconEx: with DI_MASK or DI_IMAGE alone the one image is drawn with SRCCOPY, whatever was
// there; with both, the mask is ANDed and the image XORed.
void drawIconExWithOneFlagCopiesThatImage(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HICON icon = redAndClearIcon(screen, check);
    {
        const Target blue(screen, 4, 1, RGB(0, 0, 255));
        const HDC memory = blue.dc();
        check(icon != NULL && DrawIconEx(memory, 0, 0, icon, 2, 1, 0, NULL, DI_MASK) != FALSE &&
              GetPixel(memory, 0, 0) == RGB(0, 0, 0) && GetPixel(memory, 1, 0) == RGB(255, 255, 255),
              "DrawIconEx with DI_MASK alone copies the mask");
        check(DrawIconEx(memory, 2, 0, icon, 2, 1, 0, NULL, DI_IMAGE) != FALSE && GetPixel(memory, 2, 0) == RGB(255, 0, 0) &&
              GetPixel(memory, 3, 0) == RGB(0, 0, 0),
              "DrawIconEx with DI_IMAGE alone copies the image, its black over the blue");
        check(DrawIconEx(memory, 0, 0, icon, 2, 1, 0, NULL, DI_NORMAL) != FALSE && GetPixel(memory, 0, 0) == RGB(255, 0, 0) &&
              GetPixel(memory, 1, 0) == RGB(255, 255, 255),
              "DrawIconEx with both: white ANDed with white, XORed with black, stays white");
    }
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
}

// FillRect: the rectangle without its right and bottom edges, in the brush's colour; a colour
// bitmap cleared white that way is a transparent mask for an icon.
void fillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mask = CreateCompatibleBitmap(screen, 3, 3);
    HGDIOBJ original = SelectObject(memory, mask);
    const RECT r = {0, 0, 2, 2};
    check(FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) != 0 &&
              GetPixel(memory, 1, 1) == RGB(255, 255, 255),
          "FillRect fills the rectangle in the brush's colour");
    check(GetPixel(memory, 2, 1) == RGB(0, 0, 0) && GetPixel(memory, 1, 2) == RGB(0, 0, 0),
          "FillRect leaves the rectangle's right and bottom edges");
    SelectObject(memory, original);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 3);
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    HBITMAP target = CreateCompatibleBitmap(screen, 3, 3);
    SelectObject(memory, target);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) SetPixel(memory, x, y, RGB(0, 0, 200));
    }
    check(icon != NULL && DrawIconEx(memory, 0, 0, icon, 3, 3, 0, NULL, DI_NORMAL) != FALSE &&
              GetPixel(memory, 0, 0) == RGB(0, 0, 200) && GetPixel(memory, 2, 2) == RGB(0, 0, 0),
          "a colour mask cleared white with a brush is transparent where white, opaque where black");
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteObject(mask);
    DeleteObject(colour);
    DeleteDC(memory);
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
}

// cursoricon.c test_CreateIcon: no mask, no icon.
void anIconNeedsAMask(RuleCheck check) {
    HDC screen = GetDC(NULL);
    HBITMAP colour = CreateCompatibleBitmap(screen, 2, 2);
    ICONINFO ii = {TRUE, 0, 0, NULL, colour};
    check(CreateIconIndirect(&ii) == NULL, "an icon without a mask is not made");
    DeleteObject(colour);
    ReleaseDC(NULL, screen);
}

// bitmap.c test_BitBlt: BLACKNESS and WHITENESS need no source; a pixel outside the bitmap is none.
void blackAndWhiteNeedNoSource(RuleCheck check) {
    HDC screen = GetDC(NULL);
    {
        const Target grey(screen, 2, 2, RGB(128, 128, 128));
        const HDC memory = grey.dc();
        check(BitBlt(memory, 0, 0, 2, 2, NULL, 0, 0, WHITENESS) != FALSE && GetPixel(memory, 1, 1) == RGB(255, 255, 255),
              "WHITENESS needs no source");
        check(BitBlt(memory, 0, 0, 1, 1, NULL, 0, 0, BLACKNESS) != FALSE && GetPixel(memory, 0, 0) == RGB(0, 0, 0),
              "BLACKNESS needs no source");
        check(GetPixel(memory, 2, 0) == CLR_INVALID, "a pixel outside the bitmap is CLR_INVALID");
    }
    ReleaseDC(NULL, screen);
}

// win.c test_SetWindowLong: a window that does not exist, an index that does not exist; a previous
// value of 0 is no failure; the previous procedure comes back.
void setWindowLongSaysWhyItFailed(RuleCheck check) {
    SetLastError(0xdeadbeef);
    check(SetWindowLongPtrW(NULL, GWLP_WNDPROC, 0) == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
          "SetWindowLongPtrW on no window: ERROR_INVALID_WINDOW_HANDLE");
    HWND w = makeWindow(NULL);
    SetLastError(0xdeadbeef);
    check(SetWindowLongPtrW(w, static_cast<int>(0xdeadbeef), 0) == 0 && GetLastError() == ERROR_INVALID_INDEX,
          "SetWindowLongPtrW with no such index: ERROR_INVALID_INDEX");
    SetLastError(0xdeadbeef);
    check(GetWindowLongPtrW(w, static_cast<int>(0xdeadbeef)) == 0 && GetLastError() == ERROR_INVALID_INDEX,
          "GetWindowLongPtrW with no such index: ERROR_INVALID_INDEX");
    SetLastError(0xdeadbeef);
    check(GetWindowLongPtrW(NULL, GWLP_USERDATA) == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
          "GetWindowLongPtrW on no window: ERROR_INVALID_WINDOW_HANDLE");
    SetLastError(0xdeadbeef);
    check(SetWindowLongPtrW(w, GWLP_USERDATA, 5) == 0 && GetLastError() == 0xdeadbeef,
          "a previous value of 0 is no failure: the last error is left as it was");
    check(SetWindowLongPtrW(w, GWLP_USERDATA, 0) == 5, "the previous value comes back");
    check(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW)) ==
              reinterpret_cast<LONG_PTR>(loggingProc),
          "replacing the procedure returns the one it replaced");
    check(GetWindowLongPtrW(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(DefWindowProcW),
          "and the window runs the new one");
    DestroyWindow(w);
}

// win.c test_DestroyWindow: a window that is gone cannot be destroyed again. Windows (and the
// device) answer ERROR_INVALID_WINDOW_HANDLE; Wine answers ERROR_ACCESS_DENIED, as for another
// thread's window. Either says the call failed.
void destroyingAWindowTwiceFails(RuleCheck check) {
    HWND w = makeWindow(NULL);
    check(DestroyWindow(w) != FALSE, "a window is destroyed");
    SetLastError(0xdeadbeef);
    const BOOL again = DestroyWindow(w);
    const DWORD error = GetLastError();
    check(!again && (error == ERROR_INVALID_WINDOW_HANDLE || error == ERROR_ACCESS_DENIED),
          "DestroyWindow on a window that is gone fails with a handle or access error");
    check(!IsWindow(w), "a destroyed window is no window");
}

// msg.c test_DestroyWindow: WM_DESTROY goes down the tree, parent first; WM_NCDESTROY comes back
// up, the children's before their parent's; then none of them is a window.
void destructionSendsDestroyDownAndNcDestroyUp(RuleCheck check) {
    forgetWindows();
    HWND parent = makeWindow(NULL);
    HWND child1 = makeWindow(parent);
    HWND child2 = makeWindow(parent);
    HWND grandchild = makeWindow(child1);
    check(DestroyWindow(parent) != FALSE, "the parent is destroyed");
    const std::vector<std::string> order = {"w0 WM_DESTROY",   "w1 WM_DESTROY",   "w3 WM_DESTROY",   "w2 WM_DESTROY",
                                            "w3 WM_NCDESTROY", "w1 WM_NCDESTROY", "w2 WM_NCDESTROY", "w0 WM_NCDESTROY"};
    check(gLog == order, "WM_DESTROY down the tree, WM_NCDESTROY back up");
    bool gone = true;
    for (HWND h : {parent, child1, child2, grandchild}) gone = gone && !IsWindow(h);
    check(gone, "none of them is a window any more");
    forgetWindows();
}

// msg.c test_PostMessage / test_SendMessage: messages to a window that is gone.
void messagesToAWindowThatIsGoneFail(RuleCheck check) {
    HWND w = makeWindow(NULL);
    DestroyWindow(w);
    SetLastError(0xdeadbeef);
    check(!PostMessageW(w, WM_USER, 0, 0) && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
          "PostMessage to a window that is gone: ERROR_INVALID_WINDOW_HANDLE");
    SetLastError(0xdeadbeef);
    check(SendMessageW(w, WM_USER, 0, 0) == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
          "SendMessage to a window that is gone: 0 and ERROR_INVALID_WINDOW_HANDLE");
    SetLastError(0xdeadbeef);
    WCHAR text[8] = {'x', 0};
    check(GetWindowTextW(w, text, 8) == 0 && text[0] == 0 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE,
          "GetWindowText of a window that is gone: nothing, an empty buffer and ERROR_INVALID_WINDOW_HANDLE");
}

// win.c test_FindWindow, test_GetWindowText: names compare without regard to case; the text is cut
// to the buffer, terminator included.
void findWindowAndWindowText(RuleCheck check) {
    HWND w = makeWindow(NULL);
    SetWindowTextW(w, TEXT("Some Title"));
    check(FindWindowW(TEXT("orvoconformance"), NULL) == w, "FindWindow finds a class without regard to case");
    check(FindWindowW(NULL, TEXT("SOME TITLE")) == w, "and a title without regard to case");
    check(FindWindowW(TEXT("NoSuchClass"), NULL) == NULL, "and no window of a class nobody made");
    WCHAR text[5];
    check(GetWindowTextW(w, text, 5) == 4 && sameText(text, TEXT("Some")),
          "GetWindowText cuts the text to the buffer, terminator included");
    WCHAR name[32];
    check(GetClassNameW(w, name, 32) == 15 && sameText(name, windowClassName()), "GetClassName gives the class's name");
    DestroyWindow(w);
}

}  // namespace conformance
