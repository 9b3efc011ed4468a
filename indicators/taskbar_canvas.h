// The indicator's square on the taskbar: the taskbar pixels saved from under it and what the
// screen showed right after the last drawing.
#pragma once

#include "indicators/indicator_kind.h"
#include "platform/winapi.h"

struct TaskbarCanvas {
    int iconXInUse;
    HBITMAP savedBackground;
    HBITMAP drawnCapture;
};

extern TaskbarCanvas canvas;

// S and the top row y of the square, from largeIcons at the moment of the call.
int indicatorSize();
int indicatorTop();

void captureBackground();
void restoreBackground();
void presentIndicator(IndicatorKind kind);
// Releases both bitmaps and forgets them.
void releaseCanvasBitmaps();

// Pixel accessors for the pure comparison: the value at (column, row) of a block.
typedef COLORREF (*PixelReader)(const void* block, int column, int row);

// TRUE when every one of the size x size pixels of the screen square equals the capture's, or
// when there is no capture. Compares row by row from the top and stops at the first difference.
BOOL isLastDrawingIntact(const void* screenSquare, PixelReader readScreen, const void* capture,
                         PixelReader readCapture, int size);
