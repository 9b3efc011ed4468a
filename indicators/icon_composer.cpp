#include "indicators/icon_composer.h"

#include <cstring>
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

// The art (pictures, digit strips, status icons) exists at 16 and 32 pixels. The icon is made at
// the place's size: the 32-pixel art from 32 pixels on, else the 16-pixel art, drawn pixel for
// pixel and centred, never stretched; a margin around it is transparent (white in the mask, black
// in the colour image). On the taskbar the size is the art's own, so there is no margin.
struct IconGeometry {
    int size;    // the icon's width and height
    bool large;  // the 32-pixel art
    int art;     // the art's width and height
    int margin;  // where the art begins, across and down
};

IconGeometry iconGeometry(int size) {
    IconGeometry g;
    g.size = size;
    g.large = g.size >= 32;
    g.art = g.large ? 32 : 16;
    g.margin = (g.size - g.art) / 2;
    return g;
}

// Clears the canvases to a transparent icon where the art leaves a margin. With brushes, not
// WHITENESS: under Wine that also sets a 32-bit bitmap's unused byte, and the mask's white is then
// taken for opaque.
bool clearMargin(const IconGeometry& g, HDC mask, HDC colour) {
    if (g.size == g.art) return true;
    const RECT whole = {0, 0, g.size, g.size};
    return FillRect(mask, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) != 0 &&
           FillRect(colour, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) != 0;
}

// The colour image again, as a 32-bit image whose alpha holds the mask's opacity: 255 where the
// mask is black, 0 (and black) where it is white; NULL when it cannot be made. An icon of a size
// between the art's goes to the notification area with it, so that one which passes an icon on
// to its own process by the colour image is not misled by the mask: Wine's carries a mask whose
// rows are padded (a width that is not a multiple of 16) short, and the rows it drops come out
// opaque. The simulator keeps no alpha: there the mask alone decides, with the same pixels.
HBITMAP colourWithAlpha(HDC reference, HBITMAP maskBitmap, HBITMAP colourBitmap, int size) {
    BITMAPINFO format;
    std::memset(&format, 0, sizeof format);
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* maskBits = NULL;
    void* colourBits = NULL;
    HBITMAP maskCopy = CreateDIBSection(reference, &format, DIB_RGB_COLORS, &maskBits, NULL, 0);
    HBITMAP result = CreateDIBSection(reference, &format, DIB_RGB_COLORS, &colourBits, NULL, 0);
    HDC from = CreateCompatibleDC(reference);
    HDC to = CreateCompatibleDC(reference);
    HGDIOBJ fromOriginal = NULL;
    HGDIOBJ toOriginal = NULL;
    bool ok = maskCopy != NULL && result != NULL && from != NULL && to != NULL;
    if (ok) {
        fromOriginal = SelectObject(from, maskBitmap);
        toOriginal = SelectObject(to, maskCopy);
        ok = fromOriginal != NULL && toOriginal != NULL;
    }
    ok = ok && BitBlt(to, 0, 0, size, size, from, 0, 0, SRCCOPY);
    ok = ok && SelectObject(from, colourBitmap) != NULL && SelectObject(to, result) != NULL;
    ok = ok && BitBlt(to, 0, 0, size, size, from, 0, 0, SRCCOPY);
    if (fromOriginal != NULL) SelectObject(from, fromOriginal);
    if (toOriginal != NULL) SelectObject(to, toOriginal);
    if (from != NULL) DeleteDC(from);
    if (to != NULL) DeleteDC(to);
    if (ok) {
        GdiFlush();  // the copies are in the bits before they are read
        const DWORD* mask = static_cast<const DWORD*>(maskBits);
        DWORD* colour = static_cast<DWORD*>(colourBits);
        for (int i = 0; i < size * size; ++i) {
            colour[i] = (mask[i] & 0xFFFFFF) == 0xFFFFFF ? 0 : (colour[i] | 0xFF000000);
        }
    }
    if (maskCopy != NULL) DeleteObject(maskCopy);
    if (!ok && result != NULL) {
        DeleteObject(result);
        result = NULL;
    }
    return result;
}

// The icon from the two canvases (deselected), or NULL; with a margin its colour image carries
// the opacity as alpha too.
HICON makeIcon(HDC reference, const IconGeometry& g, HBITMAP mask, HBITMAP colour) {
    HBITMAP withAlpha = NULL;
    if (g.size != g.art) {
        withAlpha = colourWithAlpha(reference, mask, colour, g.size);
        if (withAlpha == NULL) return NULL;
    }
    ICONINFO info;
    info.fIcon = TRUE;
    info.xHotspot = 0;
    info.yHotspot = 0;
    info.hbmMask = mask;
    info.hbmColor = withAlpha != NULL ? withAlpha : colour;
    HICON icon = CreateIconIndirect(&info);
    if (withAlpha != NULL) DeleteObject(withAlpha);
    return icon;
}

// A status icon loaded at the art's size, put unscaled into an icon of the place's size. The
// loaded icon is released; NULL when the new one cannot be made.
HICON centredIcon(HICON loaded, const IconGeometry& g) {
    HICON icon = NULL;
    HDC screen = GetDC(NULL);
    if (screen != NULL) {
        Drawing mask = makeDrawing(screen, g.size);
        Drawing colour = makeDrawing(screen, g.size);
        if (mask.original != NULL && colour.original != NULL) {
            // Drawn with one of the two flags alone, each image is copied as it is (SRCCOPY).
            bool ok = clearMargin(g, mask.dc, colour.dc);
            ok = ok && DrawIconEx(mask.dc, g.margin, g.margin, loaded, g.art, g.art, 0, NULL, DI_MASK);
            ok = ok && DrawIconEx(colour.dc, g.margin, g.margin, loaded, g.art, g.art, 0, NULL, DI_IMAGE);
            SelectObject(mask.dc, mask.original);
            SelectObject(colour.dc, colour.original);
            mask.original = NULL;
            colour.original = NULL;
            if (ok) icon = makeIcon(screen, g, mask.bitmap, colour.bitmap);
        }
        releaseDrawing(mask);
        releaseDrawing(colour);
        ReleaseDC(NULL, screen);
    }
    DestroyIcon(loaded);
    return icon;
}

}  // namespace

HICON iconAtSize(HICON loaded, int size) {
    const IconGeometry geometry = iconGeometry(size);
    if (loaded == NULL || geometry.size == geometry.art) return loaded;
    return centredIcon(loaded, geometry);
}

void composeIndicatorIcon(HWND window, IndicatorKind kind, int value) {
    HDC windowDc = GetDC(window);
    if (windowDc == NULL) return;
    const IconGeometry geometry = iconGeometry(indicatorIconPixels());
    const bool large = geometry.large;
    const int size = geometry.size;
    const int art = geometry.art;
    const int margin = geometry.margin;
    // The digits are laid out on the art and moved with it; the glyph cell's black last rows
    // reach below the art, where they leave the margin transparent.
    const int digitRow = margin + (large ? 18 : 9);
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
        ok = ok && clearMargin(geometry, mask.dc, colour.dc);
        ok = ok && BitBlt(mask.dc, margin, margin, art, art, source, 0, 0, SRCCOPY);
        ok = ok && SelectObject(source, colourImage) != NULL;
        ok = ok && BitBlt(colour.dc, margin, margin, art, art, source, 0, 0, SRCCOPY);
        ok = ok && SelectObject(source, strip) != NULL;
        DigitLayout layout = layoutDigits(value, art, glyphs);
        if (indicatorDigitsDark()) {
            // On a light surface the digits are black and opaque, the picture around them as it
            // is: both images are cleared where a glyph is set (set with OR, then flipped back).
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                const int x = margin + layout.glyphs[i].x;
                for (HDC target : {mask.dc, colour.dc}) {
                    ok = ok && BitBlt(target, x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCPAINT);
                    ok = ok && BitBlt(target, x, digitRow, g.width, glyphHeight, source, g.x, g.y, SRCINVERT);
                }
            }
        } else {
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                ok = BitBlt(mask.dc, margin + layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y,
                            SRCINVERT) != FALSE;
            }
            for (int i = 0; ok && i < layout.count; ++i) {
                const GlyphRect& g = glyphs[layout.glyphs[i].digit];
                ok = BitBlt(colour.dc, margin + layout.glyphs[i].x, digitRow, g.width, glyphHeight, source, g.x, g.y,
                            SRCCOPY) != FALSE;
            }
        }
        if (sourceOriginal != NULL) SelectObject(source, sourceOriginal);
        // The bitmaps go into the icon deselected, as the platform requires.
        SelectObject(mask.dc, mask.original);
        SelectObject(colour.dc, colour.original);
        mask.original = NULL;
        colour.original = NULL;
        if (ok) icon = makeIcon(windowDc, geometry, mask.bitmap, colour.bitmap);
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
    const IconGeometry geometry = iconGeometry(indicatorIconPixels());
    // Loaded at the art's size as an icon of the program's own: the system's icon loader gives
    // only its standard size, as a handle shared with every later load.
    HICON icon = static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(statusIconId(statusIcon, geometry.large)),
                                               IMAGE_ICON, geometry.art, geometry.art, 0));
    icon = iconAtSize(icon, geometry.size);
    if (icon != NULL) installIcon(kind, icon);
}
