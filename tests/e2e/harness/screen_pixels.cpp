// The screen's pixels as the window system shows them, read with one copy: a pixel at a time
// (GetPixel) is a round trip to the X server each, seconds for a whole screen.
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
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = memory ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0) : NULL;
    if (bitmap == NULL) {
        if (memory) DeleteDC(memory);
        ReleaseDC(NULL, screen);
        throw std::runtime_error("the screen cannot be read");
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, left, top, SRCCOPY);
    GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            DWORD v = source[static_cast<size_t>(r) * w + c];  // 0x00RRGGBB
            pixels[static_cast<size_t>(top - y + r) * width + (left - x + c)] =
                RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

}  // namespace e2e
