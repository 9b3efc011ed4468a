// The indicator's pure computations: percentages, the battery reading, card entries, digit
// layout, the rotation step and the intact-drawing comparison.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "indicators/icon_composer.h"
#include "indicators/readings.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"

namespace {

TEST(Percentages, FreeShareInDoublePrecisionTruncated) {
    EXPECT_EQ(percentOfTotal(29, 100), 28);
    EXPECT_EQ(percentOfTotal(57, 100), 56);
    EXPECT_EQ(percentOfTotal(58, 100), 57);
    EXPECT_EQ(percentOfTotal(30, 100), 30);
    EXPECT_EQ(percentOfTotal(1, 3), 33);
    EXPECT_EQ(percentOfTotal(2, 3), 66);
    EXPECT_EQ(percentOfTotal(7, 7), 100);
    EXPECT_EQ(percentOfTotal(0, 5), 0);
    EXPECT_EQ(percentOfTotal(0xFFFFFFFFu, 0xFFFFFFFFu), 100);
    EXPECT_EQ(percentOfTotal(12582912, 33554432), 37);
    EXPECT_EQ(percentOfTotal(5, 0), 0);
    // A part above the total is no reason for undefined behaviour: it reads as all free.
    EXPECT_EQ(percentOfTotal(0xFFFFFFFFu, 1), 100);
    EXPECT_EQ(percentOfTotal(101, 100), 100);
    EXPECT_EQ(percentOfTotal(0x80000000u, 0xFFFFFFFFu), 50);
    int odd = 0;
    for (uint32_t p = 0; p <= 100; ++p) odd += percentOfTotal(p, 100) != static_cast<int>(p);
    EXPECT_EQ(odd, 3) << "only 29, 57 and 58 land below themselves";
}

TEST(Percentages, CardIn64BitIntegers) {
    EXPECT_EQ(cardPercent(29, 100), 29);
    EXPECT_EQ(cardPercent(1, 1000), 0);
    EXPECT_EQ(cardPercent(6000000000ULL, 8000000000ULL), 75);
    EXPECT_EQ(cardPercent(100, 100), 100);
    EXPECT_EQ(cardPercent(1, 0), 0);
    // Sizes whose product with 100 no longer fits in 64 bits are still exact.
    const uint64_t top = 0xFFFFFFFFFFFFFFFFULL;
    EXPECT_EQ(cardPercent(top - 1, top), 99);
    EXPECT_EQ(cardPercent(top / 2, top), 49);
    EXPECT_EQ(cardPercent(top / 4 * 3, top), 74);
    EXPECT_EQ(cardPercent(0x0100000000000000ULL * 37, 0x0100000000000000ULL * 100), 37);
    EXPECT_EQ(cardPercent(top, 5), 100) << "free space above the total";
    for (uint64_t total : {uint64_t{7}, uint64_t{1} << 40, (uint64_t{1} << 62) + 12345, top - 3}) {
        for (uint64_t part : {uint64_t{0}, total / 3, total / 2, total - 1}) {
            // floor(part * 100 / total) from the definition, in long double where it is exact
            // enough for a result of two digits.
            long double exact = static_cast<long double>(part) * 100.0L / static_cast<long double>(total);
            int64_t expected = static_cast<int64_t>(exact);
            if (static_cast<long double>(expected + 1) * static_cast<long double>(total) <=
                static_cast<long double>(part) * 100.0L) {
                ++expected;
            }
            EXPECT_EQ(cardPercent(part, total), expected) << part << " of " << total;
        }
    }
}

TEST(BatteryReading, UnknownChargeShowsAStatusIcon) {
    EXPECT_EQ(batteryReading(255, 8).statusIcon, ChargingIcon);
    for (BYTE flag : {9, 1, 0, 2, 4, 0x80}) EXPECT_EQ(batteryReading(255, flag).statusIcon, BatteryUnknownIcon);
    IndicatorReading r = batteryReading(101, 8);
    EXPECT_EQ(r.statusIcon, NoStatusIcon);
    EXPECT_EQ(r.percent, 101);
    EXPECT_EQ(batteryReading(254, 0).percent, 254);
    EXPECT_EQ(statusIconId(ChargingIcon, true), ChargingIconLarge);
    EXPECT_EQ(statusIconId(ChargingIcon, false), ChargingIconSmall);
    EXPECT_EQ(statusIconId(BatteryUnknownIcon, true), BatteryUnknownIconLarge);
    EXPECT_EQ(statusIconId(BatteryUnknownIcon, false), BatteryUnknownIconSmall);
    EXPECT_EQ(statusIconId(NoCardIcon, true), NoCardIconLarge);
    EXPECT_EQ(statusIconId(NoCardIcon, false), NoCardIconSmall);
}

TEST(CardEntries, NeedBothDirectoryAndTemporary) {
    EXPECT_TRUE(isStorageCardEntry(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
    EXPECT_TRUE(isStorageCardEntry(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(isStorageCardEntry(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(isStorageCardEntry(FILE_ATTRIBUTE_TEMPORARY));
}

std::vector<std::pair<int, int>> placements(int value, int size, const GlyphRect* glyphs) {
    DigitLayout l = layoutDigits(value, size, glyphs);
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < l.count; ++i) out.push_back({l.glyphs[i].digit, l.glyphs[i].x});
    return out;
}

TEST(DigitLayout, SmallIcons) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(placements(5, 16, SmallGlyphs), (P{{5, 5}}));
    EXPECT_EQ(placements(1, 16, SmallGlyphs), (P{{1, 6}}));
    EXPECT_EQ(placements(42, 16, SmallGlyphs), (P{{4, 2}, {2, 8}}));
    EXPECT_EQ(placements(100, 16, SmallGlyphs), (P{{1, 1}, {0, 5}, {0, 10}}));
    EXPECT_EQ(placements(254, 16, SmallGlyphs), placements(100, 16, SmallGlyphs));
    EXPECT_EQ(placements(10, 16, SmallGlyphs), (P{{1, 3}, {0, 7}}));
}

TEST(DigitLayout, LargeIcons) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(placements(100, 32, LargeGlyphs), (P{{1, 2}, {0, 10}, {0, 20}}));
    EXPECT_EQ(placements(7, 32, LargeGlyphs), (P{{7, 11}}));
    EXPECT_EQ(placements(47, 32, LargeGlyphs), (P{{4, 5}, {7, 17}}));
}

TEST(DigitLayout, EveryValueFitsTheIcon) {
    for (int size : {16, 32}) {
        const GlyphRect* g = size == 16 ? SmallGlyphs : LargeGlyphs;
        for (int v = -3; v <= 300; ++v) {
            DigitLayout l = layoutDigits(v, size, g);
            ASSERT_GE(l.glyphs[0].x, 0) << v;
            const GlyphPlacement& last = l.glyphs[l.count - 1];
            ASSERT_LE(last.x + g[last.digit].width, size) << v;
        }
    }
}

TEST(Rotation, NextEnabledKindWraps) {
    int all[4] = {1, 1, 1, 1};
    EXPECT_EQ(nextIndicator(Battery, all), ProgramMemory);
    EXPECT_EQ(nextIndicator(ProgramMemory, all), MainStorage);
    EXPECT_EQ(nextIndicator(MainStorage, all), StorageCard);
    EXPECT_EQ(nextIndicator(StorageCard, all), Battery);
    int batteryAndCard[4] = {1, 0, 0, 1};
    EXPECT_EQ(nextIndicator(Battery, batteryAndCard), StorageCard);
    EXPECT_EQ(nextIndicator(StorageCard, batteryAndCard), Battery);
    int memoryAndStorage[4] = {0, 1, 1, 0};
    EXPECT_EQ(nextIndicator(MainStorage, memoryAndStorage), ProgramMemory);
    // From a kind that has just been disabled, the rotation moves on after it.
    int noStorage[4] = {1, 1, 0, 7};
    EXPECT_EQ(nextIndicator(MainStorage, noStorage), StorageCard);
}

TEST(IntactDrawing, EveryVisiblePixelMustMatch) {
    for (int size : {16, 32}) {
        std::vector<DWORD> screen(static_cast<size_t>(size * size));
        for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<DWORD>(i * 2654435761u) & 0xFFFFFF;
        const RECT whole = {0, 0, size, size};
        std::vector<DWORD> capture = screen;
        EXPECT_TRUE(isLastDrawingIntact(screen.data(), capture.data(), size, whole));
        EXPECT_FALSE(isLastDrawingIntact(screen.data(), nullptr, size, whole)) << "no capture: nothing was drawn";
        for (size_t changed : {size_t{0}, screen.size() / 2, screen.size() - 1}) {
            capture = screen;
            capture[changed] ^= 1;
            EXPECT_FALSE(isLastDrawingIntact(screen.data(), capture.data(), size, whole));
        }
        // The byte above the colour is not the screen's and never counts.
        capture = screen;
        capture[3] |= 0xFF000000u;
        EXPECT_TRUE(isLastDrawingIntact(screen.data(), capture.data(), size, whole));
        // Only the part on the screen counts: a square partly off its right edge compares the
        // columns before the edge.
        const RECT left = {0, 0, 5, size};
        capture = screen;
        capture[static_cast<size_t>(size + 7)] ^= 0x10;
        EXPECT_TRUE(isLastDrawingIntact(screen.data(), capture.data(), size, left));
        EXPECT_FALSE(isLastDrawingIntact(screen.data(), capture.data(), size, whole));
        capture[static_cast<size_t>(size + 4)] ^= 0x10;
        EXPECT_FALSE(isLastDrawingIntact(screen.data(), capture.data(), size, left));
        EXPECT_TRUE(isLastDrawingIntact(screen.data(), capture.data(), size, RECT{0, 0, 0, 0})) << "nothing visible";
    }
}

TEST(IntactDrawing, VisiblePartOfTheSquare) {
    auto same = [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(visiblePart(Square{120, 5, 16}, 240, 320), RECT{0, 0, 16, 16}));
    EXPECT_TRUE(same(visiblePart(Square{230, 5, 16}, 240, 320), RECT{0, 0, 10, 16}));
    EXPECT_TRUE(same(visiblePart(Square{239, 10, 32}, 240, 320), RECT{0, 0, 1, 32}));
    EXPECT_TRUE(same(visiblePart(Square{240, 5, 16}, 240, 320), RECT{0, 0, 0, 0}));
    EXPECT_TRUE(same(visiblePart(Square{639, 5, 16}, 240, 320), RECT{0, 0, 0, 0}));
    EXPECT_TRUE(same(visiblePart(Square{624, 10, 32}, 640, 480), RECT{0, 0, 16, 32}));
    EXPECT_TRUE(same(visiblePart(Square{-4, 5, 16}, 240, 320), RECT{4, 0, 16, 16}));
    EXPECT_TRUE(same(visiblePart(Square{0x7FFFFFF0, 5, 32}, 240, 320), RECT{0, 0, 0, 0}));
}

}  // namespace

namespace {

// The stored position is used as it is within the taskbar's range; anything else puts the
// indicator at the fallback x, and the stored value itself is left alone.
TEST(IndicatorPosition, AStoredXOutsideItsRangeGivesTheFallback) {
    for (int x : {IconXMin, 1, 120, IconXMax}) EXPECT_EQ(iconXInUseFor(x), x);
    for (int x : {-1, IconXMax + 1, 900, INT32_MIN, INT32_MAX}) EXPECT_EQ(iconXInUseFor(x), IconXFallback) << x;
}

// Any non-zero flag counts, whatever its value.
TEST(EnabledKinds, EveryNonZeroShowFlagCountsOnce) {
    SettingsRecord r = defaultSettings();
    EXPECT_EQ(countEnabledIndicators(r), 3);
    r.showStorageCard = -1;
    r.showBattery = 2;
    EXPECT_EQ(countEnabledIndicators(r), 4);
    r.showBattery = r.showProgramMemory = r.showMainStorage = r.showStorageCard = 0;
    EXPECT_EQ(countEnabledIndicators(r), 0);
}

}  // namespace
