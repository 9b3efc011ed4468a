// Cases of the platform's own GDI conformance tests (gdi32's bitmap, dc and gdiobj tests, user32's
// cursoricon tests), for the calls Orvo's indicator code makes: memory contexts and the bitmap
// they hold, compatible bitmaps, DIB sections, icons made from bitmaps. Each assertion is the
// reference's; a comment names the case it comes from.
//
// Not offered here, with the reason:
// - GetDeviceCaps, CreateBitmap, CreateDIBitmap, GetDIBits, SetBkColor and the palette cases: the
//   logic never calls them, and the simulated display knows one background colour (white).
// - DIB sections of 1, 4, 8, 16 or 24 bits: the simulated display driver offers 32-bit BI_RGB only
//   (CreateDIBSection refuses the others with ERROR_INVALID_PARAMETER).
// - Monochrome icons (no colour bitmap, a mask of twice the height): the logic always gives a
//   colour bitmap; the simulator keeps the mask as one image.
// - GetIconInfo, CopyImage, cursors and animated cursors: never called by the logic.
#include <gtest/gtest.h>

#include <cstring>

#include "gdi.h"
#include "sim_api.h"
#include "world.h"

namespace {

class ConformanceGdi : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetGdi();
        sim::clearFaults();
        sim::resizeScreen(64, 64);
        screen = GetDC(nullptr);
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override { ReleaseDC(nullptr, screen); }

    static BITMAP info(HGDIOBJ bitmap) {
        BITMAP bm;
        std::memset(&bm, 0, sizeof bm);
        EXPECT_EQ(GetObjectW(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        return bm;
    }
    static HBITMAP dibSection(HDC dc, int width, int height, DWORD** bits) {
        BITMAPINFO bi;
        std::memset(&bi, 0, sizeof bi);
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        *bits = static_cast<DWORD*>(p);
        return b;
    }

    HDC screen = nullptr;
};

// dc.c test_DC_bitmap, bitmap.c test_select_object: a new memory context holds a 1 x 1
// monochrome bitmap, and selecting another one hands it back.
TEST_F(ConformanceGdi, AMemoryContextHoldsAOneByOneMonochromeBitmapThatSelectObjectReturns) {
    HDC memory = CreateCompatibleDC(screen);
    ASSERT_NE(memory, nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ original = SelectObject(memory, colour);
    ASSERT_NE(original, nullptr) << "the context's own bitmap";
    BITMAP bm = info(original);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmWidthBytes, 2) << "rows of a monochrome bitmap are whole 16-bit words";
    EXPECT_EQ(SelectObject(memory, original), colour) << "putting it back returns the one taken out";
    EXPECT_TRUE(DeleteObject(colour)) << "deselected, the bitmap is free to delete";
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(sim::liveGdiObjects(), 0u) << "the context's own bitmap goes with it";
}

// bitmap.c test_CreateCompatibleBitmap / test_mono_bitmap: a bitmap compatible with a memory
// context has the format of the bitmap selected there, monochrome while the context's own is.
TEST_F(ConformanceGdi, CompatibleBitmapsTakeTheFormatOfWhatTheContextHolds) {
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP fromMemory = CreateCompatibleBitmap(memory, 5, 3);
    ASSERT_NE(fromMemory, nullptr);
    BITMAP bm = info(fromMemory);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);

    HBITMAP fromScreen = CreateCompatibleBitmap(screen, 5, 3);
    EXPECT_EQ(info(fromScreen).bmBitsPixel, 32) << "the screen's depth";
    HGDIOBJ original = SelectObject(memory, fromScreen);
    HBITMAP fromColourMemory = CreateCompatibleBitmap(memory, 2, 2);
    EXPECT_EQ(info(fromColourMemory).bmBitsPixel, 32) << "a colour bitmap selected: colour";

    // bitmap.c test_bitmap: no pixels at all gives a 1 x 1 monochrome bitmap.
    HBITMAP empty = CreateCompatibleBitmap(screen, 0, 0);
    ASSERT_NE(empty, nullptr);
    bm = info(empty);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);

    SelectObject(memory, original);
    for (HBITMAP b : {fromMemory, fromScreen, fromColourMemory, empty}) EXPECT_TRUE(DeleteObject(b));
    DeleteDC(memory);
}

// bitmap.c test_mono_bitmap / test_bitmap_colors: copying colour into a monochrome bitmap makes the
// background colour (white) white and every other colour black; back into colour they stay so.
TEST_F(ConformanceGdi, CopyingColourIntoMonochromeKeepsOnlyTheBackgroundWhite) {
    HDC colourDc = CreateCompatibleDC(screen);
    HDC monoDc = CreateCompatibleDC(screen);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 1);
    HBITMAP mono = CreateCompatibleBitmap(monoDc, 3, 1);
    HGDIOBJ colourOriginal = SelectObject(colourDc, colour);
    HGDIOBJ monoOriginal = SelectObject(monoDc, mono);
    SetPixel(colourDc, 0, 0, RGB(255, 255, 255));
    SetPixel(colourDc, 1, 0, RGB(0x80, 0x90, 0xA0));
    SetPixel(colourDc, 2, 0, RGB(0xFE, 0xFF, 0xFF));
    ASSERT_TRUE(BitBlt(monoDc, 0, 0, 3, 1, colourDc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(monoDc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(monoDc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(monoDc, 2, 0), RGB(0, 0, 0)) << "only the background colour itself is white";
    EXPECT_EQ(SetPixel(monoDc, 1, 0, RGB(255, 255, 255)), RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(colourDc, 0, 0, 3, 1, monoDc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(colourDc, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(colourDc, 2, 0), RGB(0, 0, 0));
    SelectObject(colourDc, colourOriginal);
    SelectObject(monoDc, monoOriginal);
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteDC(colourDc);
    DeleteDC(monoDc);
}

// gdiobj.c / bitmap.c test_select_object: one bitmap in one memory context at a time, none in a
// screen context; a bitmap still selected is not deleted; stock objects delete as a no-op.
TEST_F(ConformanceGdi, ABitmapGoesIntoOneMemoryContextAtATime) {
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ aOriginal = SelectObject(a, bitmap);
    ASSERT_NE(aOriginal, nullptr);
    EXPECT_EQ(SelectObject(b, bitmap), nullptr) << "already selected into another context";
    EXPECT_EQ(SelectObject(screen, bitmap), nullptr) << "a screen context takes no bitmap";
    EXPECT_EQ(SelectObject(a, bitmap), bitmap) << "selecting it again where it is returns it";
    EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    SelectObject(a, aOriginal);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "a deleted handle";
    DeleteDC(a);
    DeleteDC(b);
}

// bitmap.c test_dibsections: what is written through the bits is what GDI reads, and GDI's
// drawing shows in the bits after GdiFlush; a bottom-up section keeps its last row first.
TEST_F(ConformanceGdi, DibSectionBitsAndGdiSeeTheSamePixels) {
    HDC memory = CreateCompatibleDC(screen);
    DWORD* bits = nullptr;
    HBITMAP dib = dibSection(screen, 2, 2, &bits);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    BITMAP bm = info(dib);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 8);
    HGDIOBJ original = SelectObject(memory, dib);
    bits[0] = 0x00112233;  // bottom-up: the first row in memory is the picture's bottom row
    EXPECT_EQ(GetPixel(memory, 0, 1), RGB(0x11, 0x22, 0x33));
    SetPixel(memory, 1, 0, RGB(0xAA, 0xBB, 0xCC));
    GdiFlush();
    EXPECT_EQ(bits[3], 0x00AABBCCu);
    SelectObject(memory, original);
    DeleteObject(dib);
    DeleteDC(memory);
}

// cursoricon.c test_CreateIcon / test_DrawIcon with DIB sections: the icon is made of the pixels
// written through the sections' bits.
TEST_F(ConformanceGdi, IconsFromDibSectionsUseTheBitsWrittenThroughThem) {
    DWORD* maskBits = nullptr;
    DWORD* colourBits = nullptr;
    HBITMAP mask = dibSection(screen, 2, 1, &maskBits);
    HBITMAP colour = dibSection(screen, 2, 1, &colourBits);
    ASSERT_NE(mask, nullptr);
    ASSERT_NE(colour, nullptr);
    maskBits[0] = 0x000000;    // opaque
    maskBits[1] = 0xFFFFFF;    // transparent
    colourBits[0] = 0x00FF0000;  // red, as 0x00RRGGBB
    colourBits[1] = 0x00000000;
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(colour);

    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 2, 1);
    HGDIOBJ original = SelectObject(memory, target);
    SetPixel(memory, 0, 0, RGB(0, 0, 255));
    SetPixel(memory, 1, 0, RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 0, 0)) << "the opaque pixel shows the colour written";
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(0, 0, 255)) << "the transparent one leaves the background";
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteDC(memory);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon)) << "a destroyed handle";
}

// DrawIconEx: with DI_MASK or DI_IMAGE alone the one image is drawn with SRCCOPY, whatever was
// there; with both, the mask is ANDed and the image XORed.
TEST_F(ConformanceGdi, DrawIconExWithOneFlagCopiesThatImage) {
    DWORD* maskBits = nullptr;
    DWORD* colourBits = nullptr;
    HBITMAP mask = dibSection(screen, 2, 1, &maskBits);
    HBITMAP colour = dibSection(screen, 2, 1, &colourBits);
    ASSERT_NE(mask, nullptr);
    ASSERT_NE(colour, nullptr);
    maskBits[0] = 0x000000;  // opaque
    maskBits[1] = 0xFFFFFF;  // transparent
    colourBits[0] = 0x00FF0000;
    colourBits[1] = 0x00000000;
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(colour);

    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 4, 1);
    HGDIOBJ original = SelectObject(memory, target);
    for (int x = 0; x < 4; ++x) SetPixel(memory, x, 0, RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(memory, 0, 0, icon, 2, 1, 0, nullptr, DI_MASK));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0)) << "the mask's opaque pixel, copied";
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(255, 255, 255)) << "the mask's transparent pixel, copied";
    ASSERT_TRUE(DrawIconEx(memory, 2, 0, icon, 2, 1, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(GetPixel(memory, 2, 0), RGB(255, 0, 0)) << "the image, copied";
    EXPECT_EQ(GetPixel(memory, 3, 0), RGB(0, 0, 0)) << "the image's black, copied over the blue";
    ASSERT_TRUE(DrawIconEx(memory, 0, 0, icon, 2, 1, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(255, 255, 255)) << "white ANDed with white, XORed with black";
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteDC(memory);
    DestroyIcon(icon);
}

// FillRect: the rectangle without its right and bottom edges, in the brush's colour; a colour
// bitmap cleared white that way is a transparent mask for an icon.
TEST_F(ConformanceGdi, FillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask) {
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mask = CreateCompatibleBitmap(screen, 3, 3);
    HGDIOBJ original = SelectObject(memory, mask);
    const RECT r = {0, 0, 2, 2};
    EXPECT_NE(FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 2, 1), RGB(0, 0, 0)) << "the right edge is left";
    EXPECT_EQ(GetPixel(memory, 1, 2), RGB(0, 0, 0)) << "the bottom edge is left";
    SelectObject(memory, original);
    HBITMAP colour = CreateCompatibleBitmap(screen, 3, 3);
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    HBITMAP target = CreateCompatibleBitmap(screen, 3, 3);
    SelectObject(memory, target);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) SetPixel(memory, x, y, RGB(0, 0, 200));
    ASSERT_TRUE(DrawIconEx(memory, 0, 0, icon, 3, 3, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 200)) << "white in the mask: transparent";
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(0, 0, 0)) << "black in the mask: opaque";
    SelectObject(memory, original);
    DeleteObject(target);
    DeleteObject(mask);
    DeleteObject(colour);
    DeleteDC(memory);
    DestroyIcon(icon);
}

// cursoricon.c test_CreateIcon: no mask, no icon.
TEST_F(ConformanceGdi, AnIconNeedsAMask) {
    HBITMAP colour = CreateCompatibleBitmap(screen, 2, 2);
    ICONINFO ii = {TRUE, 0, 0, nullptr, colour};
    EXPECT_EQ(CreateIconIndirect(&ii), nullptr);
    DeleteObject(colour);
}

// bitmap.c test_BitBlt: BLACKNESS and WHITENESS need no source; a context without pixels fails.
TEST_F(ConformanceGdi, BlackAndWhiteNeedNoSource) {
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
    HGDIOBJ original = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(memory, 0, 0, 2, 2, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(255, 255, 255));
    EXPECT_TRUE(BitBlt(memory, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 2, 0), CLR_INVALID) << "outside the bitmap";
    SelectObject(memory, original);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace
