#include "indicators/taskbar_canvas.h"

#include <cstring>

#include "indicators/icon_slots.h"
#include "platform/try_once_more.h"
#include "res/resource.h"
#include "settings/settings_record.h"

TaskbarCanvas canvas = {IconXFallback, NULL, NULL, NULL, NULL, {IconXFallback, 5, 16}};

int iconXInUseFor(int iconX) { return iconX >= IconXMin && iconX <= IconXMax ? iconX : IconXFallback; }

void resetCanvas(int iconXInUse) {
    canvas = TaskbarCanvas{iconXInUse, NULL, NULL, NULL, NULL, Square{iconXInUse, indicatorTop(), indicatorSize()}};
}

void setIconXInUse(int iconX) { canvas.iconXInUse = iconX; }

int indicatorSize() { return usesLargeIcons(settings) ? 32 : 16; }
int indicatorTop() { return usesLargeIcons(settings) ? 10 : 5; }
Square indicatorSquare() { return Square{canvas.iconXInUse, indicatorTop(), indicatorSize()}; }

RECT visiblePart(Square square, int screenWidth, int screenHeight) {
    RECT v;
    v.left = square.x < 0 ? -square.x : 0;
    v.top = square.y < 0 ? -square.y : 0;
    v.right = square.size;
    v.bottom = square.size;
    // Widened to 64 bits: a square near the largest x must not wrap around.
    if (static_cast<long long>(square.x) + square.size > screenWidth) {
        v.right = static_cast<LONG>(static_cast<long long>(screenWidth) - square.x);
    }
    if (static_cast<long long>(square.y) + square.size > screenHeight) {
        v.bottom = static_cast<LONG>(static_cast<long long>(screenHeight) - square.y);
    }
    if (v.right <= v.left || v.bottom <= v.top) v.left = v.top = v.right = v.bottom = 0;
    return v;
}

BOOL isLastDrawingIntact(const DWORD* screenSquare, const DWORD* capture, int size, RECT visible) {
    if (capture == NULL) return FALSE;
    for (LONG row = visible.top; row < visible.bottom; ++row) {
        for (LONG column = visible.left; column < visible.right; ++column) {
            size_t at = static_cast<size_t>(row) * size + column;
            // Only the colour counts: the fourth byte of a pixel is not the screen's.
            if ((screenSquare[at] & 0xFFFFFF) != (capture[at] & 0xFFFFFF)) return FALSE;
        }
    }
    return TRUE;
}

namespace {

bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT visibleNow(Square square) {
    return visiblePart(square, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// A size x size block of 32-bit pixels, top row first, that the program reads and writes in its
// own memory: comparing and composing there costs no call per pixel.
struct Dib {
    HBITMAP bitmap = NULL;
    DWORD* bits = NULL;
};

Dib makeDib(HDC reference, int size) {
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    Dib d;
    d.bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (d.bitmap != NULL && bits == NULL) {
        DeleteObject(d.bitmap);
        d.bitmap = NULL;
    }
    d.bits = static_cast<DWORD*>(bits);
    return d;
}

void deleteDib(Dib& d) {
    if (d.bitmap != NULL) DeleteObject(d.bitmap);
    d = Dib();
}

void copyPixels(DWORD* to, const DWORD* from, int size) {
    std::memcpy(to, from, static_cast<size_t>(size) * size * sizeof(DWORD));
}

// The screen's context and a memory context for one operation on the square.
class ScreenAccess {
public:
    bool open() {
        screen_ = GetDC(NULL);
        if (screen_ == NULL) return false;
        memory_ = CreateCompatibleDC(screen_);
        return memory_ != NULL;
    }
    HDC screen() const { return screen_; }
    // Selects a bitmap into the memory context; false when it would not go in.
    bool select(HBITMAP bitmap) {
        HGDIOBJ previous = SelectObject(memory_, bitmap);
        if (previous == NULL) return false;
        if (original_ == NULL) original_ = previous;
        return true;
    }
    // The visible part of the square, from the screen into the selected bitmap or back.
    bool read(Square square, RECT v) {
        return BitBlt(memory_, v.left, v.top, v.right - v.left, v.bottom - v.top, screen_, square.x + v.left,
                      square.y + v.top, SRCCOPY) != FALSE;
    }
    bool write(Square square, RECT v) {
        return BitBlt(screen_, square.x + v.left, square.y + v.top, v.right - v.left, v.bottom - v.top, memory_, v.left,
                      v.top, SRCCOPY) != FALSE;
    }
    bool drawIcon(HICON icon) { return DrawIconEx(memory_, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL) != FALSE; }
    // Gives the memory context its own bitmap back, so that the bitmaps can be deleted.
    void close() {
        if (memory_ != NULL) {
            if (original_ != NULL) SelectObject(memory_, original_);
            DeleteDC(memory_);
        }
        if (screen_ != NULL) ReleaseDC(NULL, screen_);
        screen_ = memory_ = NULL;
        original_ = NULL;
    }
    ~ScreenAccess() { close(); }

private:
    HDC screen_ = NULL;
    HDC memory_ = NULL;
    HGDIOBJ original_ = NULL;
};

// The visible part of the square as the screen shows it now, read into `live`, a new block
// selected into the memory context; false when a call failed on the way.
bool readSquare(ScreenAccess& access, Square square, RECT v, Dib& live) {
    live = makeDib(access.screen(), square.size);
    if (live.bitmap == NULL || !access.select(live.bitmap) || !access.read(square, v)) return false;
    GdiFlush();
    return true;
}

// One attempt at erasing; false when a platform call failed on the way.
bool eraseOnce() {
    if (canvas.drawnCapture == NULL || canvas.savedBackground == NULL) return true;
    const Square square = canvas.square;
    const RECT v = visibleNow(square);
    if (isEmpty(v)) return true;
    ScreenAccess access;
    if (!access.open()) return false;
    Dib live;
    bool ok = readSquare(access, square, v, live);
    if (ok) {
        // Only the drawing itself is erased: a square that the taskbar has painted since holds
        // the taskbar's pixels, newer than the saved ones.
        if (isLastDrawingIntact(live.bits, canvas.drawnBits, square.size, v)) {
            ok = access.select(canvas.savedBackground) && access.write(square, v);
        }
    }
    access.close();
    deleteDib(live);
    return ok;
}

// Draws `icon` (or nothing) at the square over the taskbar's pixels and records the result; the
// screen is left as it was when anything needed fails, so that nothing drawn there is ever
// unknown to the canvas.
void drawAt(Square square, RECT v, HICON icon) {
    ScreenAccess access;
    if (!access.open()) return;
    if (canvas.savedBackground == NULL) {
        Dib saved = makeDib(access.screen(), square.size);
        canvas.savedBackground = saved.bitmap;
        canvas.savedBits = saved.bits;
        if (saved.bitmap == NULL) return;
    }
    // The capture exists from the first drawing on; made beforehand, so that a drawing is never
    // left on the screen without one.
    Dib newCapture;
    if (canvas.drawnCapture == NULL) {
        newCapture = makeDib(access.screen(), square.size);
        if (newCapture.bitmap == NULL) return;
    }
    Dib live;
    bool ok = readSquare(access, square, v, live);
    if (ok) {
        // Intact: the screen shows the last drawing, and the saved pixels are the taskbar's under
        // it. Otherwise the taskbar has painted the square since (or nothing was drawn yet): its
        // pixels now are the background.
        if (!isLastDrawingIntact(live.bits, canvas.drawnBits, square.size, v)) {
            copyPixels(canvas.savedBits, live.bits, square.size);
        }
        // The new square, composed in memory and put on the screen in one copy.
        copyPixels(live.bits, canvas.savedBits, square.size);
        // An icon that would not draw leaves the last drawing where it is.
        ok = (icon == NULL || access.drawIcon(icon)) && access.write(square, v);
    }
    if (ok) {
        GdiFlush();
        if (newCapture.bitmap != NULL) {
            canvas.drawnCapture = newCapture.bitmap;
            canvas.drawnBits = newCapture.bits;
            newCapture = Dib();
        }
        copyPixels(canvas.drawnBits, live.bits, square.size);
    }
    access.close();
    deleteDib(live);
    deleteDib(newCapture);
}

}  // namespace

void captureBackground() {
    const Square square = indicatorSquare();
    canvas.square = square;
    ScreenAccess access;
    if (!access.open()) return;
    Dib saved = makeDib(access.screen(), square.size);
    canvas.savedBackground = saved.bitmap;
    canvas.savedBits = saved.bits;
    const RECT v = visibleNow(square);
    if (saved.bitmap != NULL && !isEmpty(v) && access.select(saved.bitmap)) access.read(square, v);
}

BOOL restoreBackground() {
    // Lasting harm otherwise: the drawing would stay on the shell's taskbar.
    return tryOnceMore(eraseOnce) ? TRUE : FALSE;
}

void presentIndicator(IndicatorKind kind) {
    IconSlot& slot = iconSlots[kind];
    const Square square = indicatorSquare();
    // The indicator moved or changed size without the canvas being told: the old drawing goes
    // first, and the canvas is made anew where the indicator now belongs.
    if (!sameSquare(square, canvas.square)) moveCanvas(canvas.iconXInUse);
    const RECT v = visibleNow(square);
    if (!isEmpty(v)) drawAt(square, v, slot.current);
    releasePreviousIcon(kind);
}

void moveCanvas(int iconX) {
    const Square wanted = {iconX, indicatorTop(), indicatorSize()};
    if (sameSquare(wanted, canvas.square) && iconX == canvas.iconXInUse) return;
    restoreBackground();
    releaseCanvasBitmaps();
    canvas.iconXInUse = iconX;
    captureBackground();
}

void releaseCanvasBitmaps() {
    if (canvas.savedBackground != NULL) DeleteObject(canvas.savedBackground);
    if (canvas.drawnCapture != NULL) DeleteObject(canvas.drawnCapture);
    canvas.savedBackground = NULL;
    canvas.drawnCapture = NULL;
    canvas.savedBits = NULL;
    canvas.drawnBits = NULL;
}
