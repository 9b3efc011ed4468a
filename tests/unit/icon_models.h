// The icons the indicator must show on the simulated device, built from its image resources by the
// tables of tests/indicator_icon_model.h, apart from the code under test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "indicators/indicator_kind.h"
#include "resources.h"
#include "tests/indicator_icon_model.h"

namespace iconModel {

struct IconModel {
    int size = 0;
    std::vector<COLORREF> mask;  // 0xFFFFFF transparent, 0 opaque
    std::vector<COLORREF> colour;
};

inline sim::Image bitmapResource(unsigned id) {
    sim::Image img;
    EXPECT_TRUE(sim::decodeBitmapResource(id, &img)) << id;
    return img;
}

// The kind's picture with the placed glyphs drawn into it.
inline IconModel numberIcon(IndicatorKind kind, const Placements& glyphs, bool large) {
    IconModel m;
    m.size = large ? 32 : 16;
    m.mask = bitmapResource(Pictures[kind][large ? 2 : 0]).pixels;
    m.colour = bitmapResource(Pictures[kind][large ? 3 : 1]).pixels;
    const sim::Image strip = bitmapResource(large ? LargeDigitStrip : SmallDigitStrip);
    drawDigits(m.mask, m.colour, glyphs, large, [&](int x, int y) { return strip.at(x, y); });
    return m;
}

// A status icon as its resource holds it.
inline IconModel statusIcon(unsigned id) {
    sim::Image colour, mask;
    EXPECT_TRUE(sim::decodeIconResource(id, 32, &colour, &mask)) << id;
    IconModel m;
    m.size = colour.width;
    m.mask = mask.pixels;
    m.colour = colour.pixels;
    return m;
}

}  // namespace iconModel
