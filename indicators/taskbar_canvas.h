// The indicator's square on the taskbar: the taskbar pixels saved from under it and what the
// screen showed right after the last drawing.
#pragma once

#include "indicators/indicator_kind.h"
#include "platform/winapi.h"

// A square of the screen: its top-left corner and its side.
struct Square {
    int x;
    int y;
    int size;
};

struct TaskbarCanvas {
    int iconXInUse;
    // Both are size x size DIB sections of 32-bit pixels, top row first, made for `square`.
    HBITMAP savedBackground;
    HBITMAP drawnCapture;
    DWORD* savedBits;
    DWORD* drawnBits;
    // Where the bitmaps belong: the place and size of the square they were made for, which is
    // where the last drawing lies even after the settings have moved or resized the indicator.
    Square square;
};

extern TaskbarCanvas canvas;

inline bool sameSquare(Square a, Square b) { return a.x == b.x && a.y == b.y && a.size == b.size; }

// The x the indicator uses for a stored iconX: iconX itself within IconXMin..IconXMax, else
// IconXFallback.
int iconXInUseFor(int iconX);
// The canvas as a run starts, for the indicator at x = iconXInUse: no bitmaps (nothing is
// released: a new run holds none yet).
void resetCanvas(int iconXInUse);
// The indicator's x alone, where there is no drawing to move (the notification icon).
void setIconXInUse(int iconX);

// S and the top row y of the square, from largeIcons at the moment of the call.
int indicatorSize();
int indicatorTop();
// The square where the indicator belongs now.
Square indicatorSquare();

// The part of `square` that lies on a screen of width x height, in the square's own coordinates
// (left, top inclusive; right, bottom exclusive); empty when it lies wholly off the screen.
RECT visiblePart(Square square, int screenWidth, int screenHeight);

// Creates savedBackground for the indicator's square and fills it from the screen.
void captureBackground();
// Erases the last drawing: puts the saved taskbar pixels back over it, provided the screen still
// shows that drawing (a taskbar that has repainted the square since is left as it painted it).
// FALSE when a platform call failed and the drawing may still be there.
BOOL restoreBackground();
// Draws the kind's current icon over the taskbar's pixels at the indicator's square, then
// releases the slot's previous icon.
void presentIndicator(IndicatorKind kind);
// Erases the last drawing and makes the canvas anew for the indicator at x = `iconX` and the
// size that largeIcons now gives; nothing when neither the square nor x changed.
void moveCanvas(int iconX);
// Releases both bitmaps and forgets them.
void releaseCanvasBitmaps();

// TRUE when the pixels of `visible` are equal in the screen's square and in the capture (both
// size x size blocks, top row first). Without a capture there is no last drawing: FALSE.
// Compares row by row from the top and stops at the first difference.
BOOL isLastDrawingIntact(const DWORD* screenSquare, const DWORD* capture, int size, RECT visible);
