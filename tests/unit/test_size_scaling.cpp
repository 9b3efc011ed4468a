// The desktop layer's scaling of 64-bit sizes into the device's 32-bit records: the percentage
// that the indicator computes from the record (percentOfTotal, the logic's own function) must
// be the one that the full sizes give, for every pair, and the pair must keep its ratio.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "indicators/readings.h"
#include "platform/win32/size_scaling.h"

namespace {

constexpr uint64_t GB = 1024ull * 1024 * 1024;

// The percentage from full sizes by the indicator's rule: the quotient in double, times 100,
// truncated.
int32_t fullPercent(uint64_t part, uint64_t total) {
    return static_cast<int32_t>(static_cast<double>(part) / static_cast<double>(total) * 100.0);
}

void expectTrueScaling(uint64_t part, uint64_t total) {
    uint32_t p = 0;
    uint32_t t = 0;
    scaleSizePair(part, total, &p, &t);
    EXPECT_EQ(percentOfTotal(p, t), fullPercent(part, total)) << part << " of " << total;
    // Both are divided alike: the ratio moves by no more than a few units of the scaled total.
    EXPECT_NEAR(static_cast<double>(p) / t, static_cast<double>(part) / total, 8.0 / t) << part << " of " << total;
    // The smallest division that fits: the scaled total uses the top bit or needed no division.
    if (total > UINT32_MAX) {
        EXPECT_GE(t, 0x80000000u);
    }
}

TEST(SizeScaling, TheDiskOfTheReportAndSizesThatFitAlready) {
    // 74 GB free of 252 GB used to read 100 (both cut to 0xFFFFFFFF): it is 29.
    uint32_t p = 0;
    uint32_t t = 0;
    scaleSizePair(74 * GB, 252 * GB, &p, &t);
    EXPECT_EQ(percentOfTotal(p, t), 29);
    expectTrueScaling(74 * GB, 252 * GB);
    // Below 4 GB nothing changes, the Part's own rounding cases included (29 of 100 is 28).
    scaleSizePair(29, 100, &p, &t);
    EXPECT_EQ(p, 29u);
    EXPECT_EQ(t, 100u);
    EXPECT_EQ(percentOfTotal(p, t), 28);
    scaleSizePair(0xFFFFFFFFull, 0xFFFFFFFFull, &p, &t);
    EXPECT_EQ(p, 0xFFFFFFFFu);
    EXPECT_EQ(t, 0xFFFFFFFFu);
    // Exactly 4 GB needs one halving; a full and an empty drive stay full and empty.
    expectTrueScaling(4 * GB, 4 * GB);
    expectTrueScaling(0, 4 * GB);
    expectTrueScaling(1, 16 * 1024 * GB);
    scaleSizePair(0, 0, &p, &t);
    EXPECT_EQ(percentOfTotal(p, t), 0);
    // A part above its total (never reported by a sound drive) stays above it, without overflow.
    scaleSizePair(9 * GB, 8 * GB, &p, &t);
    EXPECT_GT(p, t);
}

TEST(SizeScaling, EveryPairKeepsItsPercentageWhereDroppingBitsAloneWouldNot) {
    std::mt19937_64 random(12);
    int plainShiftWrong = 0;
    for (int i = 0; i < 200000; ++i) {
        uint64_t total = (random() >> (random() % 30)) | 0x100000000ull;
        uint64_t part = random() % (total + 1);
        // Pairs near a percentage boundary, where a size rounded down crosses it.
        if (i % 2 == 0) {
            uint64_t percent = random() % 100 + 1;
            part = (total * percent + 99) / 100;
        }
        expectTrueScaling(part, total);
        int shift = 0;
        while ((total >> shift) > UINT32_MAX) ++shift;
        plainShiftWrong += percentOfTotal(static_cast<uint32_t>(part >> shift), static_cast<uint32_t>(total >> shift)) !=
                           fullPercent(part, total);
        if (HasFailure()) return;
    }
    // The pairs include those that the mere division gets wrong, which the correction mends.
    EXPECT_GT(plainShiftWrong, 100);
}

TEST(SizeScaling, SizePercentIsTheIndicatorsRule) {
    for (uint32_t part : {0u, 1u, 29u, 57u, 58u, 100u}) EXPECT_EQ(sizePercent(part, 100), percentOfTotal(part, 100));
    EXPECT_EQ(sizePercent(2, 3), 66);
    EXPECT_EQ(sizePercent(5, 0), 0);
    EXPECT_EQ(sizePercent(UINT64_MAX, 1), INT32_MAX);
}

}  // namespace
