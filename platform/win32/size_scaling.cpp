#include "platform/win32/size_scaling.h"

int32_t sizePercent(uint64_t part, uint64_t total) {
    if (total == 0) return 0;
    double quotient = static_cast<double>(part) / static_cast<double>(total);
    double percent = quotient * 100.0;
    // A part above the total (never reported by a sound drive) must not overflow the conversion.
    if (percent >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(percent);
}

void scaleSizePair(uint64_t part, uint64_t total, uint32_t* part32, uint32_t* total32) {
    const uint64_t larger = part > total ? part : total;
    int shift = 0;
    while ((larger >> shift) > UINT32_MAX) ++shift;
    uint32_t p = static_cast<uint32_t>(part >> shift);
    const uint32_t t = static_cast<uint32_t>(total >> shift);
    if (shift > 0) {
        // Rounding both sizes down moves their ratio by less than two parts in the scaled total
        // (at least 2^31 after a shift), so a few steps of the part restore the percentage.
        const int32_t wanted = sizePercent(part, total);
        for (int step = 0; step < 8 && sizePercent(p, t) < wanted && p < UINT32_MAX; ++step) ++p;
        for (int step = 0; step < 8 && sizePercent(p, t) > wanted && p > 0; ++step) --p;
    }
    *part32 = p;
    *total32 = t;
}
