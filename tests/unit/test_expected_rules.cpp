// The scenarios' computed expectations on their own: the taskbar's rule (the shell's painting,
// an icon drawn over it through its mask) and the menus' one written form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/expected_menus.h"
#include "tests/expected_taskbar.h"

namespace {

using expectedTaskbar::Icon;

constexpr int W = 40, H = 26;

uint32_t shell(int x, int y) { return static_cast<uint32_t>((x * 8 + y * 3) & 0xFF) | static_cast<uint32_t>((x * 5) & 0xFF) << 8 | 0x800000u; }

// A 16 x 16 icon: opaque red in its top-left quarter, one white digit pixel (opaque), the rest
// transparent with black colour.
Icon testIcon() {
    Icon icon{16, std::vector<uint32_t>(256, 0xFFFFFF), std::vector<uint32_t>(256, 0)};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) icon.mask[r * 16 + c] = 0, icon.colour[r * 16 + c] = 0x0000FF;
    icon.mask[12 * 16 + 10] = 0;
    icon.colour[12 * 16 + 10] = 0xFFFFFF;
    return icon;
}

struct Screen {
    std::vector<uint32_t> px = std::vector<uint32_t>(W * H);
    Screen() {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) px[y * W + x] = shell(x, y);
    }
    void draw(const Icon& icon, int x, int y) {
        for (int r = 0; r < icon.size; ++r)
            for (int c = 0; c < icon.size; ++c) {
                if (x + c >= W || y + r >= H) continue;
                uint32_t& p = px[(y + r) * W + x + c];
                p = (p & icon.mask[r * 16 + c]) ^ icon.colour[r * 16 + c];
            }
    }
    std::string compare(const Icon* icon, int x, int y) const {
        return expectedTaskbar::compare(W, H, [&](int c, int r) { return px[r * W + c]; }, shell, icon, x, y);
    }
};

TEST(TaskbarRule, HoldsForTheShellsPaintingAndForAnIconDrawnOverIt) {
    Screen s;
    EXPECT_EQ(s.compare(nullptr, 0, 0), "");
    const Icon icon = testIcon();
    s.draw(icon, 20, 5);
    EXPECT_EQ(s.compare(&icon, 20, 5), "");
    // Past the right edge: only the part on the taskbar counts.
    Screen edge;
    edge.draw(icon, 30, 5);
    EXPECT_EQ(edge.compare(&icon, 30, 5), "");
}

TEST(TaskbarRule, FailsOnAnyPixelOutOfPlace) {
    const Icon icon = testIcon();
    Screen s;
    s.draw(icon, 20, 5);
    EXPECT_NE(s.compare(nullptr, 0, 0), "");   // the icon is not the shell's painting
    EXPECT_NE(s.compare(&icon, 21, 5), "");    // one column off
    EXPECT_NE(s.compare(&icon, 20, 6), "");    // one row off
    Screen bare;
    EXPECT_NE(bare.compare(&icon, 20, 5), "");  // no icon where one is expected
    // A stray pixel outside the square, and a digit pixel left black inside it.
    Screen stray = s;
    stray.px[0] ^= 1;
    EXPECT_EQ(stray.compare(&icon, 20, 5).rfind("taskbar pixel (0, 0)", 0), 0u);
    Screen digit = s;
    digit.px[(5 + 12) * W + 30] = 0;
    EXPECT_NE(digit.compare(&icon, 20, 5).find("(30, 17)"), std::string::npos);
}

TEST(TaskbarRule, NumberIconOfTheModelPlacesTheDigitsOnTheKindsPicture) {
    // Pictures of one colour each and a strip whose every pixel is white: the icon holds the
    // kind's picture where no glyph lies and the glyph cells' white inside them.
    auto bitmap = [](int id) {
        expectedTaskbar::Picture p;
        p.width = id == SmallDigitStrip ? 32 : 16;
        p.height = 16;
        p.pixels.assign(static_cast<size_t>(p.width) * 16, id == SmallDigitStrip ? 0xFFFFFFu : 0x123456u);
        return p;
    };
    Icon icon = expectedTaskbar::numberIcon(0, 42, false, bitmap);
    ASSERT_EQ(icon.size, 16);
    // 4 (width 6) at x = 2 and 2 (width 5) at x = 8, rows 9 to 15.
    EXPECT_EQ(icon.colour[9 * 16 + 1], 0x123456u);
    EXPECT_EQ(icon.colour[9 * 16 + 2], 0xFFFFFFu);
    EXPECT_EQ(icon.colour[15 * 16 + 12], 0xFFFFFFu);
    EXPECT_EQ(icon.colour[15 * 16 + 13], 0x123456u);
    EXPECT_EQ(icon.mask[9 * 16 + 2], 0x123456u ^ 0xFFFFFFu);
    EXPECT_EQ(icon.colour[8 * 16 + 5], 0x123456u);
    // 100 and above are drawn as 100.
    EXPECT_EQ(expectedTaskbar::numberIcon(0, 254, false, bitmap).colour, expectedTaskbar::numberIcon(0, 100, false, bitmap).colour);
}

TEST(MenuRule, TheTaskMenuForNoneOneAndTwoPrograms) {
    using expectedMenus::taskMenu;
    EXPECT_EQ(taskMenu({}), (std::vector<std::string>{"  item 256 \"Power Off\"", "  item 262 \"Display Off\"",
                                                      "  item 255 \"Hot Reset\""}));
    std::vector<std::string> two = taskMenu({"\"A\"", "\"B\""});
    ASSERT_EQ(two.size(), 14u);
    EXPECT_EQ(two[1], "  item 333 \"B\"");
    EXPECT_EQ(two[3], "  popup \"Close\"");
    EXPECT_EQ(two[5], "    item 453 \"B\"");
    EXPECT_EQ(two[8], "    item 573 \"B\"");
    EXPECT_EQ(two[9], "  item 541 \"Close All Tasks\"");
    EXPECT_EQ(expectedMenus::mainMenu().size(), 11u);
    EXPECT_EQ(expectedMenus::firstDifference(two, two), "");
    EXPECT_NE(expectedMenus::firstDifference(two, taskMenu({"\"A\""})), "");
}

}  // namespace
