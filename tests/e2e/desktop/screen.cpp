// Checks and waiting, and the screen's pixels as the system gives them.
#include "tests/e2e/desktop/desktop_check.h"

#include <cstdio>

#include "tests/e2e/system_helpers.h"

namespace desktop {
namespace {
int gChecks = 0;
int gFailures = 0;
}  // namespace


bool check(bool ok, const char* what) {
    ++gChecks;
    if (!ok) {
        ++gFailures;
        std::printf("desktop: FAILED: %s\n", what);
    }
    std::fflush(stdout);
    return ok;
}

void note(const std::string& text) {
    std::printf("desktop: %s\n", text.c_str());
    std::fflush(stdout);
}

// Polls until done, at most timeoutMs.
bool waitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(25);
    }
}

int checksRun() { return gChecks; }
int checksFailed() { return gFailures; }

Pixels bitmapPixels(HBITMAP bitmap, int width, int height) {
    Pixels out;
    out.width = width;
    out.height = height;
    out.p.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = topDownPixels(width, height);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), out.p.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    for (DWORD& v : out.p) v &= 0xFFFFFF;
    return out;
}

Pixels capture(const RECT& r) {
    Pixels out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    out.p = screenBlock(r.left, r.top, out.width, out.height);
    out.p.resize(static_cast<size_t>(out.width) * out.height, 0);
    return out;
}

RECT screenRect() { return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

bool writeBmp(const std::wstring& path, const Pixels& px) {
    const int rowBytes = (px.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = px.width;
    info.biHeight = px.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * px.height);
    std::vector<BYTE> rows(static_cast<size_t>(rowBytes) * px.height, 0);
    for (int y = 0; y < px.height; ++y) {
        BYTE* row = &rows[static_cast<size_t>(px.height - 1 - y) * rowBytes];
        for (int x = 0; x < px.width; ++x) {
            DWORD v = px.at(x, y);
            row[x * 3] = static_cast<BYTE>(v);
            row[x * 3 + 1] = static_cast<BYTE>(v >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(v >> 16);
        }
    }
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, &file, sizeof file, &written, NULL) && WriteFile(f, &info, sizeof info, &written, NULL) &&
              WriteFile(f, rows.data(), static_cast<DWORD>(rows.size()), &written, NULL);
    CloseHandle(f);
    return ok;
}

}  // namespace desktop
