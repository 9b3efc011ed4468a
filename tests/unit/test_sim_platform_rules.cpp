// Rules of the platform that the simulated device keeps as the reference gives them: icons the
// system loader loads, DIB sections the program reads and writes, shortcuts that are never
// replaced, and posts without a window.
#include <gtest/gtest.h>

#include "file_system.h"
#include "gdi.h"
#include "res/resource.h"
#include "scheduler.h"
#include "shell_services.h"
#include "sim_api.h"
#include "world.h"

namespace {

class PlatformRules : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetGdi();
        sim::clearFaults();
        sim::fileSystem().reset();
        sim::resizeScreen(64, 64);
    }
};

TEST_F(PlatformRules, LoadIconTakesOnlyTheSystemSizeAndSharesIt) {
    // The program icon holds 32 and 16 pixel images; a small status icon only a 16 pixel one.
    HICON program = LoadIconW(nullptr, MAKEINTRESOURCEW(ProgramIcon));
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(ProgramIcon)), program) << "loaded again: the same handle";
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(ChargingIconSmall)), nullptr) << "no image of the system's size";
    EXPECT_FALSE(DestroyIcon(program)) << "a shared icon is the module's";
    EXPECT_EQ(sim::liveIcons(), 0u);
    // LoadImage at a size of the caller's choosing: a handle of its own each time.
    HICON a = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(ChargingIconSmall), IMAGE_ICON, 16, 16, 0));
    HICON b = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(ChargingIconSmall), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(sim::liveIcons(), 2u);
    EXPECT_TRUE(DestroyIcon(a));
    EXPECT_TRUE(DestroyIcon(b));
    EXPECT_EQ(sim::liveIcons(), 0u);
}

TEST_F(PlatformRules, DibSectionsShowGdiDrawingAndGdiUsesTheProgramsPixels) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -2;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    DWORD* pixels = static_cast<DWORD*>(bits);
    HGDIOBJ original = SelectObject(memory, dib);
    sim::screenSurface().set(1, 0, RGB(0x11, 0x22, 0x33));
    BitBlt(memory, 0, 0, 4, 2, screen, 0, 0, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(pixels[1], 0x112233u) << "blue in the low byte, red above green, as a 32-bit DIB holds it";
    // What the program writes is what GDI copies.
    pixels[4] = 0x00AABBCC;
    BitBlt(screen, 10, 10, 4, 2, memory, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(screen, 10, 11), RGB(0xAA, 0xBB, 0xCC));
    // Bottom-up sections keep their last row first in memory.
    info.bmiHeader.biHeight = 2;
    void* upBits = nullptr;
    HBITMAP up = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &upBits, nullptr, 0);
    ASSERT_NE(up, nullptr);
    SelectObject(memory, up);
    BitBlt(memory, 0, 0, 4, 2, screen, 10, 10, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(static_cast<DWORD*>(upBits)[0], 0x00AABBCCu);
    // Formats the simulated driver does not offer are refused.
    info.bmiHeader.biBitCount = 24;
    EXPECT_EQ(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &upBits, nullptr, 0), nullptr);
    SelectObject(memory, original);
    DeleteObject(dib);
    DeleteObject(up);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
}

TEST_F(PlatformRules, AShortcutIsNeverReplacedAndItsTargetHasAMaximum) {
    sim::fileSystem().makeDirectories(u"\\Windows\\StartUp");
    WCHAR link[] = u"\\Windows\\StartUp\\A.lnk";
    std::u16string longest(255, u'x');
    EXPECT_TRUE(SHCreateShortcut(link, longest.data())) << "255 units and the terminator fit";
    EXPECT_FALSE(SHCreateShortcut(link, longest.data())) << "an existing shortcut stays as it is";
    WCHAR other[] = u"\\Windows\\StartUp\\B.lnk";
    std::u16string tooLong(256, u'x');
    EXPECT_FALSE(SHCreateShortcut(other, tooLong.data()));
    EXPECT_EQ(sim::fileSystem().find(other), nullptr);
}

TEST_F(PlatformRules, APostWithoutAWindowGoesToThePostingThreadsQueue) {
    MSG received = {};
    bool posted = false;
    sim::Thread* t = sim::createThread(nullptr, [&] {
        posted = PostMessageW(nullptr, WM_APP + 7, 1, 2) != FALSE;
        GetMessageW(&received, nullptr, 0, 0);
    });
    (void)t;
    sim::runUntilIdle();
    EXPECT_TRUE(posted);
    EXPECT_EQ(received.hwnd, nullptr);
    EXPECT_EQ(received.message, static_cast<UINT>(WM_APP + 7));
    EXPECT_EQ(received.wParam, 1u);
    EXPECT_EQ(received.lParam, 2);
    EXPECT_FALSE(PostMessageW(nullptr, WM_APP, 0, 0)) << "the driver has no queue";
}

}  // namespace
