#include "indicators/taskbar_canvas.h"

#include "indicators/icon_slots.h"
#include "indicators/tray_indicator.h"
#include "settings/settings_record.h"

TaskbarCanvas canvas = {100, NULL, NULL};

int indicatorSize() { return usesLargeIcons(settings) ? 32 : 16; }
int indicatorTop() { return usesLargeIcons(settings) ? 10 : 5; }

namespace {

struct ScreenSquare {
    HDC screen;
    int x;
    int y;
};

COLORREF readScreenSquare(const void* block, int column, int row) {
    const ScreenSquare* s = static_cast<const ScreenSquare*>(block);
    return GetPixel(s->screen, s->x + column, s->y + row);
}

COLORREF readMemoryBlock(const void* block, int column, int row) {
    return GetPixel(*static_cast<const HDC*>(block), column, row);
}

}  // namespace

void captureBackground() {
    // Without a taskbar the screen is other programs': nothing of it is read or written.
    if (indicatorInTray != 0) return;
    HDC screen = GetDC(NULL);
    if (screen == NULL) return;
    HDC memory = CreateCompatibleDC(screen);
    if (memory == NULL) {
        ReleaseDC(NULL, screen);
        return;
    }
    const int size = indicatorSize();
    canvas.savedBackground = CreateCompatibleBitmap(screen, size, size);
    if (canvas.savedBackground != NULL) {
        HGDIOBJ original = SelectObject(memory, canvas.savedBackground);
        BitBlt(memory, 0, 0, size, size, screen, canvas.iconXInUse, indicatorTop(), SRCCOPY);
        SelectObject(memory, original);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

void restoreBackground() {
    if (indicatorInTray != 0) {
        eraseTrayIndicator();
        return;
    }
    HDC screen = GetDC(NULL);
    if (screen == NULL) return;
    HDC memory = CreateCompatibleDC(screen);
    if (memory == NULL) {
        ReleaseDC(NULL, screen);
        return;
    }
    if (canvas.savedBackground != NULL) {
        const int size = indicatorSize();
        HGDIOBJ original = SelectObject(memory, canvas.savedBackground);
        BitBlt(screen, canvas.iconXInUse, indicatorTop(), size, size, memory, 0, 0, SRCCOPY);
        SelectObject(memory, original);
    }
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

void presentIndicator(IndicatorKind kind) {
    IconSlot& slot = iconSlots[kind];
    HICON icon = slot.current;
    const int size = indicatorSize();
    const int x = canvas.iconXInUse;
    const int y = indicatorTop();
    HDC screen = GetDC(NULL);
    if (screen != NULL) {
        HDC memory = CreateCompatibleDC(screen);
        if (memory == NULL) {
            if (icon != NULL) DrawIconEx(screen, x, y, icon, 0, 0, 0, NULL, DI_NORMAL);
        } else {
            HGDIOBJ original = NULL;
            BOOL intact = TRUE;
            if (canvas.drawnCapture != NULL) {
                original = SelectObject(memory, canvas.drawnCapture);
                ScreenSquare square{screen, x, y};
                intact = isLastDrawingIntact(&square, readScreenSquare, &memory, readMemoryBlock, size);
            }
            if (canvas.savedBackground == NULL) {
                // Its capture failed: a new bitmap holds no taskbar pixels yet, so it is filled from
                // the screen instead of being painted over the taskbar.
                canvas.savedBackground = CreateCompatibleBitmap(screen, size, size);
                intact = FALSE;
            }
            if (canvas.savedBackground != NULL) {
                HGDIOBJ previous = SelectObject(memory, canvas.savedBackground);
                if (original == NULL) original = previous;
                if (intact) {
                    BitBlt(screen, x, y, size, size, memory, 0, 0, SRCCOPY);
                } else {
                    BitBlt(memory, 0, 0, size, size, screen, x, y, SRCCOPY);
                }
            }
            if (icon != NULL) DrawIconEx(screen, x, y, icon, 0, 0, 0, NULL, DI_NORMAL);
            if (canvas.drawnCapture == NULL) canvas.drawnCapture = CreateCompatibleBitmap(screen, size, size);
            if (canvas.drawnCapture != NULL) {
                HGDIOBJ previous = SelectObject(memory, canvas.drawnCapture);
                if (original == NULL) original = previous;
                BitBlt(memory, 0, 0, size, size, screen, x, y, SRCCOPY);
            }
            if (original != NULL) SelectObject(memory, original);
            DeleteDC(memory);
        }
        ReleaseDC(NULL, screen);
    }
    if (slot.previous != NULL) {
        DestroyIcon(slot.previous);
        slot.previous = NULL;
    }
}

void releaseCanvasBitmaps() {
    if (canvas.savedBackground != NULL) DeleteObject(canvas.savedBackground);
    if (canvas.drawnCapture != NULL) DeleteObject(canvas.drawnCapture);
    canvas.savedBackground = NULL;
    canvas.drawnCapture = NULL;
}

BOOL isLastDrawingIntact(const void* screenSquare, PixelReader readScreen, const void* capture, PixelReader readCapture,
                         int size) {
    if (capture == NULL) return TRUE;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            if (readScreen(screenSquare, column, row) != readCapture(capture, column, row)) return FALSE;
        }
    }
    return TRUE;
}
