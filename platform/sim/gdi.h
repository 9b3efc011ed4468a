// The simulated display and GDI: a true-colour screen, device contexts, bitmaps and icons, with
// counts of the live objects so that tests can prove nothing leaks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources.h"
#include "sim_types.h"
#include "world.h"

namespace sim {

// A block of true-colour pixels (COLORREF, 0x00BBGGRR), top row first.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    void resize(int w, int h, COLORREF fill = 0);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    COLORREF get(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void set(int x, int y, COLORREF c) { pixels[static_cast<size_t>(y) * width + x] = c; }
};

Surface& screenSurface();
void resizeScreen(int width, int height);

// Counts of pixels read from and written to the screen, for the benchmark.
struct ScreenTraffic {
    uint64_t pixelsRead = 0;
    uint64_t pixelsWritten = 0;
};
ScreenTraffic& screenTraffic();
// Counts every change of the screen's pixels (a program's drawing or the shell's painting), so
// that what watches the screen can tell whether it changed since it last looked.
uint64_t screenVersion();
void noteScreenChanged();

// Live objects: bitmaps, memory device contexts, brushes made by the program, and icons.
size_t liveGdiObjects();
size_t liveIcons();
size_t liveDeviceContexts();  // screen and window contexts obtained with GetDC and not yet released

// Memory contexts deleted while they held a bitmap other than their own: the platform deselects
// it, but a program that does not put the original back may delete a bitmap GDI still uses.
size_t contextsDeletedHoldingABitmap();

// The resource id an icon was loaded from (0 for an icon made from bitmaps).
unsigned iconResourceId(HICON icon);
// Copies of an icon's mask (0x000000 opaque, 0xFFFFFF transparent) and colour image; false when
// the handle is no icon.
bool iconImages(HICON icon, Surface* mask, Surface* colour);

// The platform frees a process's objects when it ends.
void releaseProcessGdi(Process* process);

// What the last process to end still held, counted as above, for the platform to free.
struct ExitLeftovers {
    size_t gdiObjects = 0;
    size_t icons = 0;
    size_t deviceContexts = 0;
};
const ExitLeftovers& lastExitLeftovers();

void resetGdi();

}  // namespace sim
