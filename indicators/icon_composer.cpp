#include "indicators/icon_composer.h"

#include <initializer_list>

#include "app/app_state.h"
#include "indicators/icon_slots.h"
#include "indicators/indicator_place.h"
#include "settings/settings_record.h"

const GlyphRect SmallGlyphs[10] = {{0, 0, 5}, {5, 0, 4},  {9, 0, 5},  {14, 0, 5}, {19, 0, 6},
                                   {0, 8, 5}, {5, 8, 5},  {10, 8, 5}, {15, 8, 5}, {20, 8, 5}};
const GlyphRect LargeGlyphs[10] = {{0, 0, 10},  {10, 0, 8},  {18, 0, 10}, {28, 0, 10}, {38, 0, 12},
                                   {0, 16, 10}, {10, 16, 10}, {20, 16, 10}, {30, 16, 10}, {40, 16, 10}};

DigitLayout layoutDigits(int value, int iconSize, const GlyphRect glyphs[10]) {
    DigitLayout layout{};
    if (value < 0) value = 0;
    if (value <= 9) {
        layout.count = 1;
        layout.glyphs[0] = {value, (iconSize - glyphs[value].width) / 2};
    } else if (value <= 99) {
        int tens = value / 10;
        int units = value % 10;
        int x = (iconSize - glyphs[tens].width - glyphs[units].width) / 2;
        layout.count = 2;
        layout.glyphs[0] = {tens, x};
        layout.glyphs[1] = {units, x + glyphs[tens].width};
    } else {
        int x = (iconSize - 2 * glyphs[0].width - glyphs[1].width) / 2;
        layout.count = 3;
        layout.glyphs[0] = {1, x};
        layout.glyphs[1] = {0, x + glyphs[1].width};
        layout.glyphs[2] = {0, x + glyphs[1].width + glyphs[0].width};
    }
    return layout;
}

PictureIds pictureIds(IndicatorKind kind, bool large) {
    static const PictureIds small[IndicatorKindCount] = {{BatteryMaskSmall, BatteryColourSmall},
                                                         {MemoryMaskSmall, MemoryColourSmall},
                                                         {StorageMaskSmall, StorageColourSmall},
                                                         {CardMaskSmall, CardColourSmall}};
    static const PictureIds big[IndicatorKindCount] = {{BatteryMaskLarge, BatteryColourLarge},
                                                       {MemoryMaskLarge, MemoryColourLarge},
                                                       {StorageMaskLarge, StorageColourLarge},
                                                       {CardMaskLarge, CardColourLarge}};
    return large ? big[kind] : small[kind];
}

WORD statusIconId(StatusIcon icon, bool large) {
    switch (icon) {
        case ChargingIcon: return large ? ChargingIconLarge : ChargingIconSmall;
        case BatteryUnknownIcon: return large ? BatteryUnknownIconLarge : BatteryUnknownIconSmall;
        case NoCardIcon: return large ? NoCardIconLarge : NoCardIconSmall;
        default: return 0;
    }
}

namespace {

// A memory context with a new size x size bitmap of the window's format selected into it.
struct Drawing {
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ original = NULL;
};

Drawing makeDrawing(HDC reference, int size) {
    Drawing c;
    c.dc = CreateCompatibleDC(reference);
    c.bitmap = CreateCompatibleBitmap(reference, size, size);
    if (c.dc != NULL && c.bitmap != NULL) c.original = SelectObject(c.dc, c.bitmap);
    return c;
}

void releaseDrawing(Drawing& c) {
    if (c.dc != NULL && c.original != NULL) SelectObject(c.dc, c.original);
    // The context goes first: a bitmap still selected into it is free to delete afterwards.
    if (c.dc != NULL) DeleteDC(c.dc);
    if (c.bitmap != NULL) DeleteObject(c.bitmap);
    c = Drawing();
}

}  // namespace

void composeIndicatorIcon(HWND window, IndicatorKind kind, int value) {
    HDC windowDc = GetDC(window);
    if (windowDc == NULL) return;
    const bool large = indicatorIconsLarge() != FALSE;
    const int size = large ? 32 : 16;
    const int digitRow = large ? 18 : 9;
    const int glyphHeight = large ? 16 : 8;
    const GlyphRect* glyphs = large ? LargeGlyphs : SmallGlyphs;
    const PictureIds ids = pictureIds(kind, large);

    Drawing mask = makeDrawing(windowDc, size);
    Drawing colour = makeDrawing(windowDc, size);
    HDC source = CreateCompatibleDC(windowDc);
    HBITMAP maskImage = LoadBitmapW(hInstance, MAKEINTRESOURCEW(ids.mask));
    HBITMAP colourImage = LoadBitmapW(hInstance, MAKEINTRESOURCEW(ids.colour));
    HBITMAP strip = LoadBitmapW(hInstance, MAKEINTRESOURCEW(large ? LargeDigitStrip : SmallDigitStrip));

    HICON icon = NULL;
    // Every context, bitmap and image must exist before anything is drawn, and every step must
    // succeed: an icon built from a missing mask or strip would show a black box.
    if (mask.original != NULL && colour.original != NULL && source != NULL && maskImage != NULL &&
        colourImage != NULL && strip != NULL) {
        HGDIOBJ sourceOriginal = SelectObject(source, maskImage);
        bool ok = sourceOriginal != NULL;
        ok = ok && BitBlt(mask.dc, 0, 0, size, size, source, 0, 0, SRCCOPY);
        ok = ok && SelectObject(source, colourImage) != NULL;
        ok = ok && BitBlt(colour.dc, 0, 0, size, size, source, 0, 0, SRCCOPY);
        ok = ok && SelectObject(source, strip) != NULL;
        DigitLayout layout = layoutDigits(value, size, glyphs);
        if (indicatorDigitsDark()) {
            // On a light surface the digits are black and opaque, the picture around them as it
            // is: both images are cleared where a glyph is set (set with OR, then flipped back).
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                for (HDC target : {mask.dc, colour.dc}) {
                    ok = ok && BitBlt(target, layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCPAINT);
                    ok = ok && BitBlt(target, layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCINVERT);
                }
            }
        } else {
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                ok = BitBlt(mask.dc, layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCINVERT) != FALSE;
            }
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                ok = BitBlt(colour.dc, layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCCOPY) != FALSE;
            }
        }
        if (sourceOriginal != NULL) SelectObject(source, sourceOriginal);
        // The bitmaps go into the icon deselected, as the platform requires.
        SelectObject(mask.dc, mask.original);
        SelectObject(colour.dc, colour.original);
        mask.original = NULL;
        colour.original = NULL;
        if (ok) {
            ICONINFO info;
            info.fIcon = TRUE;
            info.xHotspot = 0;
            info.yHotspot = 0;
            info.hbmMask = mask.bitmap;
            info.hbmColor = colour.bitmap;
            icon = CreateIconIndirect(&info);
        }
    }
    if (source != NULL) DeleteDC(source);
    if (maskImage != NULL) DeleteObject(maskImage);
    if (colourImage != NULL) DeleteObject(colourImage);
    if (strip != NULL) DeleteObject(strip);
    releaseDrawing(mask);
    releaseDrawing(colour);
    if (icon != NULL) installIcon(kind, icon);
    ReleaseDC(window, windowDc);
}

void loadStatusIcon(IndicatorKind kind, StatusIcon statusIcon) {
    const bool large = indicatorIconsLarge() != FALSE;
    const int size = large ? 32 : 16;
    // Loaded at the indicator's size as an icon of the program's own: the system's icon loader
    // gives only its standard size, as a handle shared with every later load.
    HICON icon = static_cast<HICON>(
        LoadImageW(hInstance, MAKEINTRESOURCEW(statusIconId(statusIcon, large)), IMAGE_ICON, size, size, 0));
    if (icon != NULL) installIcon(kind, icon);
}
