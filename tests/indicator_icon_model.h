// What an indicator's number icon must be, written out apart from the code under test: the glyph
// cells of the two digit strips, the pictures of each kind, the digits' placement and their
// drawing (each glyph cell XORed into the mask and copied into the colour image). Shared by the
// checks on the simulated device and by the desktop check under Wine, which read the pixels of
// the images each in their own way.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "res/resource.h"

namespace iconModel {

struct Glyph {
    int x, y, w;
};
inline constexpr Glyph SmallGlyphs[10] = {{0, 0, 5}, {5, 0, 4}, {9, 0, 5},  {14, 0, 5}, {19, 0, 6},
                                          {0, 8, 5}, {5, 8, 5}, {10, 8, 5}, {15, 8, 5}, {20, 8, 5}};
inline constexpr Glyph LargeGlyphs[10] = {{0, 0, 10},  {10, 0, 8},  {18, 0, 10}, {28, 0, 10}, {38, 0, 12},
                                          {0, 16, 10}, {10, 16, 10}, {20, 16, 10}, {30, 16, 10}, {40, 16, 10}};
// Mask and colour bitmap ids per kind: small mask, small colour, large mask, large colour.
inline constexpr int Pictures[4][4] = {{BatteryMaskSmall, BatteryColourSmall, BatteryMaskLarge, BatteryColourLarge},
                                       {MemoryMaskSmall, MemoryColourSmall, MemoryMaskLarge, MemoryColourLarge},
                                       {StorageMaskSmall, StorageColourSmall, StorageMaskLarge, StorageColourLarge},
                                       {CardMaskSmall, CardColourSmall, CardMaskLarge, CardColourLarge}};

using Placements = std::vector<std::pair<int, int>>;  // (digit, x)

// The digit layout table, written out on its own: one digit, two, or "100", centred.
inline Placements layout(int value, bool large) {
    const Glyph* g = large ? LargeGlyphs : SmallGlyphs;
    const int s = large ? 32 : 16;
    if (value >= 100) {
        int x = (s - 2 * g[0].w - g[1].w) / 2;
        return {{1, x}, {0, x + g[1].w}, {0, x + g[1].w + g[0].w}};
    }
    if (value >= 10) {
        int t = value / 10, u = value % 10;
        int x = (s - g[t].w - g[u].w) / 2;
        return {{t, x}, {u, x + g[t].w}};
    }
    return {{value, (s - g[value].w) / 2}};
}

// Draws the placed glyphs into the kind's mask and colour images (size x size, top row first);
// `stripAt(x, y)` is the digit strip's pixel. Dark digits (for a light notification area) are
// black and opaque wherever a glyph is set, the rest of the picture untouched.
template <class Pixel, class StripAt>
void drawDigits(std::vector<Pixel>& mask, std::vector<Pixel>& colour, const Placements& glyphs, bool large,
                StripAt stripAt, bool dark = false) {
    const int size = large ? 32 : 16, row = large ? 18 : 9, height = large ? 16 : 8;
    const Glyph* table = large ? LargeGlyphs : SmallGlyphs;
    for (const auto& [digit, x] : glyphs) {
        const Glyph& g = table[digit];
        for (int r = 0; r < height && row + r < size; ++r) {
            for (int c = 0; c < g.w; ++c) {
                const size_t at = static_cast<size_t>((row + r) * size + x + c);
                const Pixel s = stripAt(g.x + c, g.y + r);
                if (dark) {
                    mask[at] &= ~s;
                    colour[at] &= ~s;
                } else {
                    mask[at] ^= s;
                    colour[at] = s;
                }
            }
        }
    }
}

// An icon of `art` x `art` pixels put unscaled into one of `size` x `size`, its top left corner at
// ((size - art) / 2, (size - art) / 2); everything around it transparent: white in the mask,
// black in the colour image. `transparent` and `black` are those two pixels in the caller's form.
template <class Pixel>
void centreIn(std::vector<Pixel>& mask, std::vector<Pixel>& colour, int art, int size, Pixel transparent, Pixel black) {
    const int margin = (size - art) / 2;
    std::vector<Pixel> bigMask(static_cast<size_t>(size) * size, transparent);
    std::vector<Pixel> bigColour(static_cast<size_t>(size) * size, black);
    for (int r = 0; r < art; ++r) {
        for (int c = 0; c < art; ++c) {
            const size_t from = static_cast<size_t>(r) * art + c;
            const size_t to = static_cast<size_t>(r + margin) * size + (c + margin);
            bigMask[to] = mask[from];
            bigColour[to] = colour[from];
        }
    }
    mask.swap(bigMask);
    colour.swap(bigColour);
}

}  // namespace iconModel
