// The number icon: the kind's picture above the percentage in white digits (black ones where the
// notification area is light), built afresh for every reading; and the ready-made status icons
// for readings without a number.
#pragma once

#include "indicators/indicator_kind.h"
#include "indicators/readings.h"
#include "platform/winapi.h"
#include "res/resource.h"

struct GlyphRect {
    int x;
    int y;
    int width;
};

extern const GlyphRect SmallGlyphs[10];
extern const GlyphRect LargeGlyphs[10];

struct GlyphPlacement {
    int digit;
    int x;
};

struct DigitLayout {
    int count;
    GlyphPlacement glyphs[3];
};

// The glyphs of a value on an icon of width `iconSize`; values of 100 and above are drawn as 100,
// values below 0 as 0.
DigitLayout layoutDigits(int value, int iconSize, const GlyphRect glyphs[10]);

// Bitmap resource ids of a kind's picture, by size.
struct PictureIds {
    WORD mask;
    WORD colour;
};
PictureIds pictureIds(IndicatorKind kind, bool large);
WORD statusIconId(StatusIcon icon, bool large);

// An icon loaded at its art's size (16 or 32 pixels: the 32-pixel art from 32 pixels on) put
// unscaled at the centre of an icon of `size` pixels, with a transparent margin; `loaded` is
// released. `loaded` itself where the sizes agree; NULL when the new icon cannot be made.
HICON iconAtSize(HICON loaded, int size);

void composeIndicatorIcon(HWND window, IndicatorKind kind, int value);
void loadStatusIcon(IndicatorKind kind, StatusIcon icon);
