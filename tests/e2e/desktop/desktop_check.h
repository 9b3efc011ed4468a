// The pieces of the desktop check (desktop_check.cpp): checks and waiting, the screen's pixels,
// and the icons the notification area may show, built from the program's own images and the
// glyph rules apart from the program's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace desktop {

// --- Checks and waiting (screen.cpp) ---

bool check(bool ok, const char* what);
void note(const std::string& text);
int checksRun();
int checksFailed();
// Polls until done, at most timeoutMs.
bool waitFor(const std::function<bool()>& done, DWORD timeoutMs);

// --- Pixels (screen.cpp) ---

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> p;  // 0x00RRGGBB, top row first
    DWORD at(int x, int y) const { return p[static_cast<size_t>(y) * width + x]; }
};

Pixels bitmapPixels(HBITMAP bitmap, int width, int height);
Pixels capture(const RECT& r);
RECT screenRect();
// Writes pixels as a 24-bit BMP file.
bool writeBmp(const std::wstring& path, const Pixels& px);

// --- The icons the notification area may show (expected_icons.cpp) ---

struct Icon {
    std::string name;
    int size = 0;
    std::vector<DWORD> mask;  // 0xFFFFFF transparent, 0 opaque
    std::vector<DWORD> colour;
    std::vector<POINT> digits;  // where a glyph of the number is set
};

// orvo.exe, loaded for its resources only.
extern HMODULE programImages;
// The kinds' names, which begin every Icon's name.
extern const char* const kindNames[4];

// The notification area's icon size (SM_CXSMICON: 16, 20, 24, 32 ... with the DPI).
int iconSize();
// The number icon with white digits, or with black ones (`dark`) as for a light notification area.
Icon numberIcon(int kind, int value, bool large, bool dark = false);
Icon statusIcon(int id, const char* name, int size);
// The main storage's percentage from its 64-bit sizes; -1 while it moves between two reads.
int storagePercent(uint64_t* freeBytes = nullptr, uint64_t* totalBytes = nullptr);
// The icons the tray may show now, for the kinds enabled: the battery as the desktop reports it,
// main storage at its exact percentage, program memory a few steps either side of its moving value;
// every number icon with white digits and with black ones; each at the notification area's size,
// the 16- or 32-pixel art unscaled at its centre.
std::vector<Icon> expectedIcons(bool battery, bool memory, bool storage);

}  // namespace desktop
