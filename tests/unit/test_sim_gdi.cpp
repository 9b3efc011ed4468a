// The simulated GDI does on every pixel what the indicator relies on: copies, XOR into a mask,
// icons drawn through their mask, equal values from the screen and from bitmaps, and objects
// that stay alive while selected.
#include <gtest/gtest.h>

#include "gdi.h"
#include "sim_api.h"
#include "world.h"

namespace {

class SimGdi : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetGdi();
        sim::clearFaults();
        sim::resizeScreen(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) sim::screenSurface().set(x, y, RGB(x * 4, y * 4, (x ^ y) & 0xFF));
    }
};

TEST_F(SimGdi, RasterOperationsAndIconDrawing) {
    HDC screen = GetDC(NULL);
    ASSERT_NE(screen, nullptr);
    HDC maskDc = CreateCompatibleDC(screen);
    HDC colourDc = CreateCompatibleDC(screen);
    HBITMAP mask = CreateCompatibleBitmap(screen, 4, 4);
    HBITMAP colour = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ m0 = SelectObject(maskDc, mask);
    HGDIOBJ c0 = SelectObject(colourDc, colour);
    // Mask: white everywhere, then a white pixel XORed in at (1, 1) makes it opaque.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) SetPixel(maskDc, x, y, 0xFFFFFF);
    SetPixel(colourDc, 0, 0, 0xFFFFFF);  // a white source pixel for the XOR
    BitBlt(maskDc, 1, 1, 1, 1, colourDc, 0, 0, SRCINVERT);
    EXPECT_EQ(GetPixel(maskDc, 1, 1), 0u);
    EXPECT_EQ(GetPixel(maskDc, 2, 2), 0xFFFFFFu);
    SetPixel(colourDc, 0, 0, 0);
    SetPixel(colourDc, 1, 1, RGB(10, 20, 30));
    EXPECT_FALSE(DeleteObject(mask)) << "a selected bitmap is not deleted";
    SelectObject(maskDc, m0);
    SelectObject(colourDc, c0);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    COLORREF under = GetPixel(screen, 11, 11), beside = GetPixel(screen, 12, 12);
    EXPECT_TRUE(DrawIconEx(screen, 10, 10, icon, 0, 0, 0, NULL, DI_NORMAL));
    EXPECT_EQ(GetPixel(screen, 11, 11), RGB(10, 20, 30)) << "opaque: the colour image";
    EXPECT_EQ(GetPixel(screen, 12, 12), beside) << "transparent: the screen unchanged";
    EXPECT_NE(under, RGB(10, 20, 30));
    // The icon keeps its own copies: the bitmaps may go at once.
    EXPECT_TRUE(DeleteObject(mask));
    EXPECT_TRUE(DeleteObject(colour));
    DeleteDC(maskDc);
    DeleteDC(colourDc);
    // A copy of the screen holds the same values as the screen.
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, 8, 8, screen, 8, 8, SRCCOPY);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(GetPixel(memory, x, y), GetPixel(screen, 8 + x, 8 + y));
    SelectObject(memory, old);
    DeleteObject(copy);
    DeleteDC(memory);
    DestroyIcon(icon);
    ReleaseDC(NULL, screen);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
    EXPECT_EQ(sim::liveIcons(), 0u);
    EXPECT_EQ(sim::liveDeviceContexts(), 0u);
}

TEST_F(SimGdi, IconOfMismatchedBitmapsDrawsOnlyWhereBothExist) {
    HDC screen = GetDC(NULL);
    HBITMAP mask = CreateCompatibleBitmap(screen, 2, 2);    // all black: opaque
    HBITMAP colour = CreateCompatibleBitmap(screen, 6, 6);  // all black
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    COLORREF outside = GetPixel(screen, 3, 3);
    DrawIconEx(screen, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL);
    EXPECT_EQ(GetPixel(screen, 1, 1), 0u);
    EXPECT_EQ(GetPixel(screen, 3, 3), outside);
    DestroyIcon(icon);
    DeleteObject(mask);
    DeleteObject(colour);
    ReleaseDC(NULL, screen);
}

}  // namespace
