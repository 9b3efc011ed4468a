// The screen's pixels as the window system shows them, in the runner's colours (COLORREF).
#include <algorithm>
#include <stdexcept>

#include "tests/e2e/harness/harness.h"

namespace e2e {

std::vector<COLORREF> readScreen(int x, int y, int width, int height) {
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0) return pixels;
    pixels.assign(static_cast<size_t>(width) * height, 0);
    // Only the part on the screen is read; the rest stays 0, as GetPixel's CLR_INVALID reads.
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min<long long>(static_cast<long long>(x) + width, GetSystemMetrics(SM_CXSCREEN));
    int bottom = std::min<long long>(static_cast<long long>(y) + height, GetSystemMetrics(SM_CYSCREEN));
    if (left >= right || top >= bottom) return pixels;
    int w = right - left, h = bottom - top;
    const std::vector<DWORD> block = screenBlock(left, top, w, h);
    if (block.empty()) throw std::runtime_error("the screen cannot be read");
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            DWORD v = block[static_cast<size_t>(r) * w + c];  // 0x00RRGGBB
            pixels[static_cast<size_t>(top - y + r) * width + (left - x + c)] =
                RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
    }
    return pixels;
}

}  // namespace e2e
