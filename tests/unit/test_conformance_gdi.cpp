// Cases of the platform's own GDI conformance tests (gdi32's bitmap, dc and gdiobj tests, user32's
// cursoricon tests), for the calls Orvo's indicator code makes: memory contexts and the bitmap
// they hold, compatible bitmaps, DIB sections, icons made from bitmaps. The cases themselves are
// in tests/conformance/platform_cases.cpp, which the compatibility check runs on the real system
// too; here they run on the simulated device, with what the device adds (its screen's depth, no
// object left behind).
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
#include "tests/conformance/platform_cases.h"
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

    HDC screen = nullptr;
};

void expectRule(bool holds, const char* rule) { EXPECT_TRUE(holds) << rule; }

TEST_F(ConformanceGdi, AMemoryContextHoldsAOneByOneMonochromeBitmapThatSelectObjectReturns) {
    conformance::memoryContextHoldsAMonochromePixel(expectRule);
    EXPECT_EQ(sim::liveGdiObjects(), 0u) << "the context's own bitmap goes with it";
}

TEST_F(ConformanceGdi, CompatibleBitmapsTakeTheFormatOfWhatTheContextHolds) {
    conformance::compatibleBitmapsTakeTheFormatOfWhatTheContextHolds(expectRule);
    HBITMAP fromScreen = CreateCompatibleBitmap(screen, 5, 3);
    EXPECT_EQ(info(fromScreen).bmBitsPixel, 32) << "the simulated screen's depth";
    DeleteObject(fromScreen);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
}

TEST_F(ConformanceGdi, CopyingColourIntoMonochromeKeepsOnlyTheBackgroundWhite) {
    conformance::colourIntoMonochromeKeepsOnlyTheBackgroundWhite(expectRule);
}

TEST_F(ConformanceGdi, ABitmapGoesIntoOneMemoryContextAtATime) {
    conformance::aBitmapGoesIntoOneMemoryContextAtATime(expectRule);
    // The reference's answer, which Wine does not give: DeleteObject fails on a bitmap still
    // selected into a context, and the bitmap stays usable.
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ original = SelectObject(memory, bitmap);
    EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
    EXPECT_EQ(SelectObject(memory, original), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(memory);
}

TEST_F(ConformanceGdi, DibSectionBitsAndGdiSeeTheSamePixels) { conformance::dibSectionBitsAndGdiSeeTheSamePixels(expectRule); }

TEST_F(ConformanceGdi, IconsFromDibSectionsUseTheBitsWrittenThroughThem) {
    conformance::iconsFromDibSectionsUseTheBitsWrittenThroughThem(expectRule);
    EXPECT_EQ(sim::liveGdiObjects(), 0u);
}

TEST_F(ConformanceGdi, DrawIconExWithOneFlagCopiesThatImage) { conformance::drawIconExWithOneFlagCopiesThatImage(expectRule); }

TEST_F(ConformanceGdi, FillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask) {
    conformance::fillRectLeavesTheRightAndBottomEdgesAndMakesATransparentMask(expectRule);
}

TEST_F(ConformanceGdi, AnIconNeedsAMask) { conformance::anIconNeedsAMask(expectRule); }

TEST_F(ConformanceGdi, BlackAndWhiteNeedNoSource) { conformance::blackAndWhiteNeedNoSource(expectRule); }

}  // namespace
