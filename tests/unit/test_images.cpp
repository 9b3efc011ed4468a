// The program's images as the indicator composition relies on them: pictures and masks, digit
// strips and glyph rectangles, status and program icons; and the DIB decoder itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "resources.h"
#include "tests/indicator_icon_model.h"

namespace {

using sim::Image;

constexpr COLORREF Black = 0x000000;
constexpr COLORREF White = 0xFFFFFF;

Image bitmap(unsigned id) {
    Image img;
    EXPECT_TRUE(sim::decodeBitmapResource(id, &img)) << "bitmap " << id;
    return img;
}

struct Kind {
    const char* name;
    unsigned smallMask, smallColour, largeMask, largeColour;
};
const Kind kKinds[] = {
    {"battery", BatteryMaskSmall, BatteryColourSmall, BatteryMaskLarge, BatteryColourLarge},
    {"program memory", MemoryMaskSmall, MemoryColourSmall, MemoryMaskLarge, MemoryColourLarge},
    {"main storage", StorageMaskSmall, StorageColourSmall, StorageMaskLarge, StorageColourLarge},
    {"storage card", CardMaskSmall, CardColourSmall, CardMaskLarge, CardColourLarge},
};

// The colour of a pixel, judged loosely, so that redrawn images keep passing while a picture
// of the wrong subject or a swapped resource does not.
bool isGold(COLORREF c) {
    return GetRValue(c) > 150 && GetGValue(c) > 100 && GetBValue(c) + 60 < GetGValue(c) && GetGValue(c) <= GetRValue(c);
}
bool isGrey(COLORREF c, int minLevel) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r >= minLevel && std::abs(r - g) < 20 && std::abs(g - b) < 20 && std::abs(r - b) < 20;
}
bool isGreen(COLORREF c) { return GetGValue(c) > GetRValue(c) + 80 && GetGValue(c) > GetBValue(c) + 80; }
bool isRed(COLORREF c) { return GetRValue(c) > GetGValue(c) + 80 && GetRValue(c) > GetBValue(c) + 80; }
bool isBlue(COLORREF c) { return GetBValue(c) > GetRValue(c) + 80 && GetBValue(c) > GetGValue(c) + 40; }

// The opaque pixels' bounding box and colours.
struct Opaque {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    std::vector<std::pair<int, int>> at;
};
Opaque opaquePixels(const Image& mask) {
    Opaque o;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.at(x, y) == Black) {
                o.at.emplace_back(x, y);
                o.left = std::min(o.left, x), o.right = std::max(o.right, x);
                o.top = std::min(o.top, y), o.bottom = std::max(o.bottom, y);
            }
    return o;
}

// ---- pictures and masks ----

TEST(Pictures, EveryBitmapDecodesAtItsSize) {
    for (const Kind& k : kKinds) {
        for (unsigned id : {k.smallMask, k.smallColour}) {
            Image img = bitmap(id);
            EXPECT_EQ(img.width, 16) << id;
            EXPECT_EQ(img.height, 16) << id;
        }
        for (unsigned id : {k.largeMask, k.largeColour}) {
            Image img = bitmap(id);
            EXPECT_EQ(img.width, 32) << id;
            EXPECT_EQ(img.height, 32) << id;
        }
    }
    Image small = bitmap(SmallDigitStrip), large = bitmap(LargeDigitStrip);
    EXPECT_EQ(small.width, 32);
    EXPECT_EQ(small.height, 16);
    EXPECT_EQ(large.width, 64);
    EXPECT_EQ(large.height, 32);
}

// The mask is pure black and white; the digit rows are transparent and black in the colour
// image; the colour image is black wherever the mask is transparent; the picture is there.
void expectPictureRules(const char* kind, unsigned maskId, unsigned colourId, int size, int pictureRows) {
    SCOPED_TRACE(std::string(kind) + " at " + std::to_string(size));
    Image mask = bitmap(maskId), colour = bitmap(colourId);
    ASSERT_EQ(mask.width, size);
    ASSERT_EQ(colour.width, size);
    int opaque = 0, lit = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            COLORREF m = mask.at(x, y), c = colour.at(x, y);
            ASSERT_TRUE(m == Black || m == White) << "mask (" << x << "," << y << ")";
            if (y >= pictureRows) {
                EXPECT_EQ(m, White) << "digit area (" << x << "," << y << ") must be transparent";
                EXPECT_EQ(c, Black) << "digit area (" << x << "," << y << ") must be black";
            }
            if (m == White) {
                EXPECT_EQ(c, Black) << "outside the picture (" << x << "," << y << ")";
            }
            if (m == Black) ++opaque;
            if (c != Black) ++lit;
        }
    }
    // A picture, not a speck: a fair part of its rows is covered, and it is mostly coloured.
    EXPECT_GT(opaque, size * pictureRows / 3);
    EXPECT_GT(lit, opaque / 2);
}

TEST(Pictures, FollowTheCompositionRulesAtBothSizes) {
    for (const Kind& k : kKinds) {
        expectPictureRules(k.name, k.smallMask, k.smallColour, 16, 9);
        expectPictureRules(k.name, k.largeMask, k.largeColour, 32, 18);
    }
}

TEST(Pictures, ShowTheirSubjects) {
    for (int large = 0; large < 2; ++large) {
        SCOPED_TRACE(large ? "large" : "small");
        auto ids = [&](const Kind& k) { return large ? std::make_pair(k.largeMask, k.largeColour) : std::make_pair(k.smallMask, k.smallColour); };

        // Battery: a silver body, and gold only in the right-hand part (the terminal end).
        auto [bm, bc] = ids(kKinds[0]);
        Image mask = bitmap(bm), colour = bitmap(bc);
        Opaque o = opaquePixels(mask);
        int silver = 0, goldLeft = 0, goldRight = 0;
        for (auto [x, y] : o.at) {
            COLORREF c = colour.at(x, y);
            if (isGrey(c, 150)) ++silver;
            if (isGold(c)) (x > (o.left + o.right) / 2 ? goldRight : goldLeft)++;
        }
        EXPECT_GT(silver, goldRight);
        EXPECT_GT(goldRight, 0);
        EXPECT_EQ(goldLeft, 0);
        EXPECT_GT(o.right - o.left, o.bottom - o.top) << "the cell lies on its side";

        // Memory chip: gold pins.
        auto [mm, mc] = ids(kKinds[1]);
        mask = bitmap(mm), colour = bitmap(mc);
        int gold = 0;
        for (auto [x, y] : opaquePixels(mask).at) gold += isGold(colour.at(x, y));
        EXPECT_GE(gold, large ? 14 : 6);

        // Storage box: grey with a green lamp.
        auto [sm, sc] = ids(kKinds[2]);
        mask = bitmap(sm), colour = bitmap(sc);
        int grey = 0, green = 0;
        for (auto [x, y] : opaquePixels(mask).at) {
            grey += isGrey(colour.at(x, y), 90);
            green += isGreen(colour.at(x, y));
        }
        EXPECT_GT(grey, green * 5);
        EXPECT_GT(green, 0);

        // Storage card: red along the top rows, blue in the outer columns below them.
        auto [cm, cc] = ids(kKinds[3]);
        mask = bitmap(cm), colour = bitmap(cc);
        o = opaquePixels(mask);
        int redTop = 0, redBelow = 0, blueSides = 0, blueMiddle = 0;
        int h = o.bottom - o.top + 1, w = o.right - o.left + 1;
        for (auto [x, y] : o.at) {
            COLORREF c = colour.at(x, y);
            if (isRed(c)) (y < o.top + h / 3 ? redTop : redBelow)++;
            if (isBlue(c)) (x < o.left + w / 4 || x > o.right - w / 4 ? blueSides : blueMiddle)++;
        }
        EXPECT_GT(redTop, 0);
        EXPECT_EQ(redBelow, 0);
        EXPECT_GT(blueSides, 0);
        EXPECT_EQ(blueMiddle, 0);
    }
}

// ---- digit strips ----

using iconModel::Glyph;

void expectDigitStrip(unsigned id, const Glyph* glyphs, int rowHeight, int strokeRows) {
    SCOPED_TRACE("strip " + std::to_string(id));
    Image strip = bitmap(id);
    std::vector<int> owner(strip.pixels.size(), -1);
    for (int d = 0; d < 10; ++d) {
        const Glyph& g = glyphs[d];
        for (int y = g.y; y < g.y + rowHeight; ++y)
            for (int x = g.x; x < g.x + g.w; ++x) {
                ASSERT_EQ(owner[static_cast<size_t>(y * strip.width + x)], -1) << "glyph rectangles overlap";
                owner[static_cast<size_t>(y * strip.width + x)] = d;
            }
    }
    int white[10] = {};
    std::set<std::vector<COLORREF>> shapes;
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            COLORREF c = strip.at(x, y);
            ASSERT_TRUE(c == Black || c == White) << "(" << x << "," << y << ")";
            if (c != White) continue;
            int d = owner[static_cast<size_t>(y * strip.width + x)];
            ASSERT_GE(d, 0) << "white outside every glyph rectangle at (" << x << "," << y << ")";
            EXPECT_LT(y - glyphs[d].y, strokeRows) << "digit " << d << " strokes reach its last rows";
            ++white[d];
        }
    }
    for (int d = 0; d < 10; ++d) {
        EXPECT_GT(white[d], rowHeight) << "digit " << d << " is missing";
        std::vector<COLORREF> shape;
        for (int y = 0; y < rowHeight; ++y)
            for (int x = 0; x < glyphs[d].w; ++x) shape.push_back(strip.at(glyphs[d].x + x, glyphs[d].y + y));
        shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), 10u) << "two digits look the same";
    // Proportional digits: the one is narrower than a zero, the four wider.
    auto inkWidth = [&](int d) {
        int left = 1 << 20, right = -1;
        for (int y = 0; y < rowHeight; ++y)
            for (int x = 0; x < glyphs[d].w; ++x)
                if (strip.at(glyphs[d].x + x, glyphs[d].y + y) == White) left = std::min(left, x), right = std::max(right, x);
        return right - left + 1;
    };
    EXPECT_LT(inkWidth(1), inkWidth(0));
    EXPECT_GT(inkWidth(4), inkWidth(0));
}

TEST(DigitStrips, GlyphsStayInsideTheirRectanglesAndStrokeRows) {
    expectDigitStrip(SmallDigitStrip, iconModel::SmallGlyphs, 8, 7);
    expectDigitStrip(LargeDigitStrip, iconModel::LargeGlyphs, 16, 14);
}

// ---- icons ----

void expectIcon(unsigned id, int size) {
    SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
    Image colour, mask;
    ASSERT_TRUE(sim::decodeIconResource(id, size, &colour, &mask));
    ASSERT_EQ(colour.width, size);
    ASSERT_EQ(colour.height, size);
    ASSERT_EQ(mask.width, size);
    ASSERT_EQ(mask.height, size);
    int transparent = 0, opaque = 0, lit = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (mask.at(x, y) == White) {
                ++transparent;
                // Drawing ANDs the mask and XORs the colour: anything but black would tint the screen.
                EXPECT_EQ(colour.at(x, y), Black) << "(" << x << "," << y << ")";
            } else {
                ASSERT_EQ(mask.at(x, y), Black);
                ++opaque;
                lit += colour.at(x, y) != Black;
            }
        }
    EXPECT_GT(transparent, size);
    EXPECT_GT(opaque, size * size / 5);
    EXPECT_GT(lit, opaque / 2);
}

TEST(Icons, StatusIconsDecodeAtTheirSizes) {
    for (unsigned id : {BatteryUnknownIconSmall, ChargingIconSmall, NoCardIconSmall}) expectIcon(id, 16);
    for (unsigned id : {ChargingIconLarge, BatteryUnknownIconLarge, NoCardIconLarge}) expectIcon(id, 32);
}

TEST(Icons, ProgramIconHasBothSizesAndTheTrayIconsOneEach) {
    expectIcon(ProgramIcon, 32);
    expectIcon(ProgramIcon, 16);
    expectIcon(TrayIconLarge, 32);
    expectIcon(TrayIconSmall, 16);
    // The closest size wins: asking the large-only icon for 16 still gives its 32-pixel image.
    Image colour, mask;
    ASSERT_TRUE(sim::decodeIconResource(TrayIconLarge, 16, &colour, &mask));
    EXPECT_EQ(colour.width, 32);
    ASSERT_TRUE(sim::decodeIconResource(ProgramIcon, 20, &colour, &mask));
    EXPECT_EQ(colour.width, 16);
    ASSERT_TRUE(sim::decodeIconResource(ProgramIcon, 28, &colour, &mask));
    EXPECT_EQ(colour.width, 32);
}

TEST(Icons, MissingIconsAndBitmapsDoNotDecode) {
    Image colour, mask;
    EXPECT_FALSE(sim::decodeIconResource(SettingsBatteryIcon, 16, &colour, &mask));
    EXPECT_FALSE(sim::decodeIconResource(BatteryColourSmall, 16, &colour, &mask)) << "a bitmap, not an icon";
    EXPECT_FALSE(sim::decodeBitmapResource(ProgramIcon, &colour)) << "an icon, not a bitmap";
}

// ---- the DIB decoder on hand-made images ----

struct DibBuilder {
    std::vector<uint8_t> b;
    void w16(unsigned v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    }
    void w32(uint32_t v) {
        w16(v & 0xFFFF);
        w16(v >> 16);
    }
    DibBuilder(int width, int height, int bits, std::vector<COLORREF> palette, uint32_t compression = 0) {
        w32(40), w32(static_cast<uint32_t>(width)), w32(static_cast<uint32_t>(height)), w16(1),
            w16(static_cast<unsigned>(bits)), w32(compression), w32(0), w32(0), w32(0);
        w32(static_cast<uint32_t>(palette.size())), w32(0);
        for (COLORREF c : palette) b.push_back(GetBValue(c)), b.push_back(GetGValue(c)), b.push_back(GetRValue(c)), b.push_back(0);
    }
    void row(std::vector<uint8_t> bytes) {
        while (bytes.size() % 4) bytes.push_back(0);
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
};

const COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255);

TEST(DibDecoder, ReadsEveryDepthBottomUpAndTopDown) {
    {  // 1 bit, 10 pixels wide: the row spans two bytes
        DibBuilder d(10, 2, 1, {Black, White});
        d.row({0x80, 0x40});  // bottom row: pixels 0 and 9
        d.row({0x00, 0x80});  // top row: pixel 8
        Image img;
        ASSERT_TRUE(sim::decodeDib(d.b.data(), d.b.size(), &img));
        EXPECT_EQ(img.at(8, 0), White);
        EXPECT_EQ(img.at(0, 0), Black);
        EXPECT_EQ(img.at(0, 1), White);
        EXPECT_EQ(img.at(9, 1), White);
        EXPECT_EQ(img.at(8, 1), Black);
    }
    {  // 4 bits: high nibble first
        DibBuilder d(3, 1, 4, {Black, Red, Green, Blue});
        d.row({0x12, 0x30});
        Image img;
        ASSERT_TRUE(sim::decodeDib(d.b.data(), d.b.size(), &img));
        EXPECT_EQ(img.at(0, 0), Red);
        EXPECT_EQ(img.at(1, 0), Green);
        EXPECT_EQ(img.at(2, 0), Blue);
    }
    {  // 8 bits, top-down; an index past the palette reads as black
        DibBuilder d(2, -2, 8, {Red, Green});
        d.row({0, 1});
        d.row({1, 7});
        Image img;
        ASSERT_TRUE(sim::decodeDib(d.b.data(), d.b.size(), &img));
        EXPECT_EQ(img.at(0, 0), Red);
        EXPECT_EQ(img.at(1, 0), Green);
        EXPECT_EQ(img.at(0, 1), Green);
        EXPECT_EQ(img.at(1, 1), Black);
    }
    {  // 24 and 32 bits: blue, green, red in memory
        DibBuilder d(1, 1, 24, {});
        d.row({0x30, 0x20, 0x10});
        Image img;
        ASSERT_TRUE(sim::decodeDib(d.b.data(), d.b.size(), &img));
        EXPECT_EQ(img.at(0, 0), RGB(0x10, 0x20, 0x30));
        DibBuilder e(2, 1, 32, {});
        e.row({1, 2, 3, 0, 4, 5, 6, 0});
        ASSERT_TRUE(sim::decodeDib(e.b.data(), e.b.size(), &img));
        EXPECT_EQ(img.at(1, 0), RGB(6, 5, 4));
    }
}

TEST(DibDecoder, RejectsWhatItCannotRead) {
    Image img;
    DibBuilder rle(2, 2, 8, {Black}, 1);
    rle.row({0, 0});
    rle.row({0, 0});
    EXPECT_FALSE(sim::decodeDib(rle.b.data(), rle.b.size(), &img)) << "compressed";
    DibBuilder short_(4, 4, 8, {Black});
    short_.row({0, 0, 0, 0});
    EXPECT_FALSE(sim::decodeDib(short_.b.data(), short_.b.size(), &img)) << "rows missing";
    DibBuilder zero(0, 4, 8, {Black});
    EXPECT_FALSE(sim::decodeDib(zero.b.data(), zero.b.size(), &img)) << "no width";
    DibBuilder palette(1, 1, 1, {Black, White, Red});
    palette.row({0});
    EXPECT_FALSE(sim::decodeDib(palette.b.data(), palette.b.size(), &img)) << "palette too long";
    EXPECT_FALSE(sim::decodeDib(palette.b.data(), 20, &img)) << "header cut";
}

TEST(DibDecoder, IconImagesSplitColourAndMask) {
    // 2x1 icon: colour rows, then the AND mask rows (bit set = transparent).
    DibBuilder d(2, 2, 8, {Black, Red});
    d.row({1, 0});
    d.row({0x40});
    Image colour, mask;
    ASSERT_TRUE(sim::decodeIconImage(d.b.data(), d.b.size(), &colour, &mask));
    EXPECT_EQ(colour.height, 1);
    EXPECT_EQ(colour.at(0, 0), Red);
    EXPECT_EQ(mask.at(0, 0), Black);
    EXPECT_EQ(mask.at(1, 0), White);
    d.b.resize(d.b.size() - 1);
    EXPECT_FALSE(sim::decodeIconImage(d.b.data(), d.b.size(), &colour, &mask)) << "mask cut";
}

}  // namespace
