// What the taskbar must show, computed apart from the code under test: everywhere the shell's
// last painting, and, where an indicator lies, the icon of the tests' model drawn over that
// painting through its mask (DI_NORMAL: AND the mask, then XOR the colour image). Shared by
// `expect indicator`, `expect status-icon` and `expect taskbar-as-painted` in orvo-sim and in the
// runner under Wine, which read the screen, the shell's painting and the images each their own way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/indicator_icon_model.h"

namespace expectedTaskbar {

// Pixels as 0x00BBGGRR values (every source in the same form: AND and XOR work channel by channel).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

struct Icon {
    int size = 0;
    std::vector<uint32_t> mask;    // 0xFFFFFF transparent, 0 opaque
    std::vector<uint32_t> colour;
};

// `expect indicator KIND ...`: the kinds by name, in the order of their picture table.
inline int kindByName(const std::string& name) {
    const char* names[4] = {"battery", "program-memory", "main-storage", "storage-card"};
    for (int k = 0; k < 4; ++k) {
        if (name == names[k]) return k;
    }
    return -1;
}

// `expect status-icon NAME ...`: the status icons' small and large ids.
inline bool statusIconIds(const std::string& name, int* small, int* large) {
    if (name == "charging") { *small = 121; *large = 185; return true; }
    if (name == "battery-unknown") { *small = 119; *large = 186; return true; }
    if (name == "no-card") { *small = 159; *large = 188; return true; }
    return false;
}

// The number icon of a kind for a value (100 and above drawn as 100), from the kind's mask and
// colour pictures and the digit strip, which `bitmap(id)` gives as a Picture.
template <class Bitmap>
Icon numberIcon(int kind, int value, bool large, Bitmap bitmap) {
    Icon icon;
    icon.size = large ? 32 : 16;
    icon.mask = bitmap(iconModel::Pictures[kind][large ? 2 : 0]).pixels;
    icon.colour = bitmap(iconModel::Pictures[kind][large ? 3 : 1]).pixels;
    const Picture strip = bitmap(large ? LargeDigitStrip : SmallDigitStrip);
    const size_t want = static_cast<size_t>(icon.size) * static_cast<size_t>(icon.size);
    if (icon.mask.size() != want || icon.colour.size() != want || strip.pixels.empty()) return Icon{};
    iconModel::drawDigits(icon.mask, icon.colour, iconModel::layout(value, large), large, [&](int x, int y) {
        return x < strip.width && y < strip.height ? strip.pixels[static_cast<size_t>(y) * strip.width + x] : 0u;
    });
    return icon;
}

// The icon unscaled at the centre of one of `size` pixels, with a transparent margin: the
// notification area's icon at a size between the art's.
inline Icon centredIcon(Icon icon, int size) {
    if (icon.size == 0 || size <= icon.size) return icon;
    iconModel::centreIn<uint32_t>(icon.mask, icon.colour, icon.size, size, 0xFFFFFF, 0);
    icon.size = size;
    return icon;
}

inline std::string pixelText(uint32_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return text;
}

// Compares the taskbar's `width` x `height` pixels on the screen with the shell's painting and,
// with an icon, the icon drawn over it at (x, y) (the part of its square on the taskbar).
// Returns the first difference, row by row, as text; empty when the taskbar is as the rule says.
template <class ScreenAt, class ShellAt>
std::string compare(int width, int height, ScreenAt screenAt, ShellAt shellAt, const Icon* icon, int x, int y) {
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const uint32_t shell = shellAt(c, r) & 0xFFFFFF;
            uint32_t want = shell;
            const bool inSquare = icon != nullptr && c >= x && c < x + icon->size && r >= y && r < y + icon->size;
            if (inSquare) {
                const size_t at = static_cast<size_t>(r - y) * icon->size + static_cast<size_t>(c - x);
                want = ((shell & icon->mask[at]) ^ icon->colour[at]) & 0xFFFFFF;
            }
            const uint32_t found = screenAt(c, r) & 0xFFFFFF;
            if (found != want) {
                return "taskbar pixel (" + std::to_string(c) + ", " + std::to_string(r) + ") " + pixelText(found) +
                       ", the rule gives " + pixelText(want) + (inSquare ? " (in the square)" : " (the shell's painting)");
            }
        }
    }
    return "";
}

// Compares an icon's images as the notification area holds them with the expected icon; returns
// the first difference as text, empty when they are the same.
inline std::string compareIcon(int width, int height, const std::vector<uint32_t>& mask,
                               const std::vector<uint32_t>& colour, const Icon& icon) {
    if (width != icon.size || height != icon.size) {
        return "an icon of " + std::to_string(width) + " x " + std::to_string(height) + ", the rule gives " +
               std::to_string(icon.size) + " x " + std::to_string(icon.size);
    }
    for (size_t i = 0; i < icon.mask.size(); ++i) {
        const int x = static_cast<int>(i % static_cast<size_t>(icon.size)), y = static_cast<int>(i / static_cast<size_t>(icon.size));
        const std::string at = " (" + std::to_string(x) + ", " + std::to_string(y) + ") ";
        if ((mask[i] & 0xFFFFFF) != (icon.mask[i] & 0xFFFFFF)) {
            return "mask pixel" + at + pixelText(mask[i]) + ", the rule gives " + pixelText(icon.mask[i]);
        }
        if ((colour[i] & 0xFFFFFF) != (icon.colour[i] & 0xFFFFFF)) {
            return "colour pixel" + at + pixelText(colour[i]) + ", the rule gives " + pixelText(icon.colour[i]);
        }
    }
    return "";
}

}  // namespace expectedTaskbar
