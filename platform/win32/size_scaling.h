// The device's records hold sizes in 32 bits (its store, its program memory); a desktop's drives
// and memory are far larger. Both sizes of a pair are scaled alike, so that the percentage
// computed from the record is the one that the full sizes give. Plain arithmetic: no platform
// call, so that it is tested on any host.
#pragma once

#include <cstdint>

// The percentage as the indicator computes it from two sizes: (part / total) * 100 in double
// precision, truncated toward zero; 0 for a total of 0.
int32_t sizePercent(uint64_t part, uint64_t total);

// part32 and total32: the sizes divided by the same power of two, the smallest that makes both
// fit 32 bits, with part32 then moved by the few units needed (the division rounds each size
// down) for sizePercent(part32, total32) to equal sizePercent(part, total).
void scaleSizePair(uint64_t part, uint64_t total, uint32_t* part32, uint32_t* total32);
