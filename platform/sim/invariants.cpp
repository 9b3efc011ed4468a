#include "invariants.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "device.h"
#include "sim_api.h"

namespace sim {
namespace {

struct DrawnIcon {
    Surface mask;
    Surface image;
};
// The icons drawn most recently, newest first: any of them may still be on the taskbar.
std::deque<DrawnIcon> gDrawn;
constexpr size_t kDrawnKept = 16;
bool gTaskbarFaultReported = false;
// What the last check saw: nothing to look at again while neither the screen nor the running
// programs have changed. And where the icon lay, which is where it most likely lies again.
uint64_t gCheckedVersion = ~0ull;
bool gCheckedRunning = false;
int gLastIconX = 0;

bool sameSurface(const Surface& a, const Surface& b) { return a.width == b.width && a.height == b.height && a.pixels == b.pixels; }

bool anyProgramRunning() {
    for (auto& p : world().processes) {
        if (p->isProgram && !p->exited) return true;
    }
    return false;
}

// True when the square of `size` at (x, y) on the screen shows `icon` drawn over the shell's
// pixels, through its mask (as DI_NORMAL draws it), wherever it lies on the screen.
bool squareShowsIcon(const Surface& screen, const Surface& shell, int x, int y, const DrawnIcon& icon) {
    // The part of the square on the taskbar, row by row.
    const int c0 = std::max(0, -x), c1 = std::min(icon.image.width, shell.width - x);
    const int r0 = std::max(0, -y), r1 = std::min(icon.image.height, shell.height - y);
    for (int r = r0; r < r1; ++r) {
        const COLORREF* shellRow = &shell.pixels[static_cast<size_t>(y + r) * shell.width + x];
        const COLORREF* screenRow = &screen.pixels[static_cast<size_t>(y + r) * screen.width + x];
        const COLORREF* mask = &icon.mask.pixels[static_cast<size_t>(r) * icon.mask.width];
        const COLORREF* image = &icon.image.pixels[static_cast<size_t>(r) * icon.image.width];
        for (int c = c0; c < c1; ++c) {
            if (screenRow[c] != (((shellRow[c] & mask[c]) ^ image[c]) & 0xFFFFFF)) return false;
        }
    }
    return true;
}

// True when the taskbar shows the shell's painting everywhere but the square of `size` at
// (x, top), and `icon` drawn over the shell's pixels inside it: the state of nearly every check.
bool taskbarShowsIconAt(const Surface& screen, const Surface& shell, int x, int top, const DrawnIcon& icon) {
    const int size = icon.image.width;
    const int left = std::max(0, std::min(x, shell.width));
    const int right = std::max(left, std::min(x + size, shell.width));
    for (int y = 0; y < shell.height; ++y) {
        const COLORREF* screenRow = &screen.pixels[static_cast<size_t>(y) * screen.width];
        const COLORREF* shellRow = &shell.pixels[static_cast<size_t>(y) * shell.width];
        const bool inSquare = y >= top && y < top + size;
        if (!inSquare) {
            if (std::memcmp(shellRow, screenRow, sizeof(COLORREF) * static_cast<size_t>(shell.width)) != 0) return false;
            continue;
        }
        if (std::memcmp(shellRow, screenRow, sizeof(COLORREF) * static_cast<size_t>(left)) != 0) return false;
        if (std::memcmp(shellRow + right, screenRow + right, sizeof(COLORREF) * static_cast<size_t>(shell.width - right)) != 0) {
            return false;
        }
    }
    return squareShowsIcon(screen, shell, x, top, icon);
}

std::string pixelText(COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

}  // namespace

void noteIconDrawn(const Surface& mask, const Surface& image) {
    if (!gDrawn.empty() && sameSurface(gDrawn.front().mask, mask) && sameSurface(gDrawn.front().image, image)) return;
    gDrawn.push_front(DrawnIcon{mask, image});
    if (gDrawn.size() > kDrawnKept) gDrawn.pop_back();
}

void checkTaskbarInvariant() {
    if (gTaskbarFaultReported) return;
    const bool running = anyProgramRunning();
    if (screenVersion() == gCheckedVersion && running == gCheckedRunning) return;
    gCheckedVersion = screenVersion();
    gCheckedRunning = running;
    const Surface& shell = taskbarAsShellPainted();
    const Surface& screen = screenSurface();
    if (shell.width != screen.width || shell.height > screen.height) return;  // a repaint is due
    // Most checks find the newest icon where the last one lay.
    if (running && !gDrawn.empty()) {
        const DrawnIcon& newest = gDrawn.front();
        if (newest.image.width == newest.image.height &&
            taskbarShowsIconAt(screen, shell, gLastIconX, newest.image.width == 32 ? 10 : 5, newest)) {
            return;
        }
    }
    int minX = shell.width, maxX = -1, minY = shell.height, maxY = -1;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < shell.height; ++y) {
        // Whole rows first: most of the taskbar is the shell's painting as it was.
        const COLORREF* screenRow = &screen.pixels[static_cast<size_t>(y) * screen.width];
        const COLORREF* shellRow = &shell.pixels[static_cast<size_t>(y) * shell.width];
        if (std::memcmp(shellRow, screenRow, sizeof(COLORREF) * static_cast<size_t>(shell.width)) == 0) continue;
        // The first and the last differing pixel of the row bound what differs there.
        int rowFirst = 0;
        while (shellRow[rowFirst] == screenRow[rowFirst]) ++rowFirst;
        int rowLast = shell.width - 1;
        while (rowLast > rowFirst && shellRow[rowLast] == screenRow[rowLast]) --rowLast;
        if (firstX < 0) {
            firstX = rowFirst;
            firstY = y;
        }
        minX = std::min(minX, rowFirst);
        maxX = std::max(maxX, rowLast);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    if (maxX < 0) return;
    auto where = [&] {
        return "(" + std::to_string(firstX) + ", " + std::to_string(firstY) + ") is " +
               pixelText(screen.get(firstX, firstY)) + " where the shell painted " + pixelText(shell.get(firstX, firstY));
    };
    if (!running) {
        gTaskbarFaultReported = true;
        reportFault("taskbar: no program runs, but the pixel at " + where());
        return;
    }
    // The indicator's square: 16 pixels from row 5, or 32 from row 10.
    for (const DrawnIcon& icon : gDrawn) {
        const int size = icon.image.width;
        if (icon.image.height != size) continue;
        const int top = size == 32 ? 10 : 5;
        if (minY < top || maxY >= top + size || maxX - minX >= size) continue;
        if (gLastIconX >= maxX - size + 1 && gLastIconX <= minX && squareShowsIcon(screen, shell, gLastIconX, top, icon)) {
            return;
        }
        for (int x = maxX - size + 1; x <= minX; ++x) {
            if (squareShowsIcon(screen, shell, x, top, icon)) {
                gLastIconX = x;
                return;
            }
        }
    }
    gTaskbarFaultReported = true;
    reportFault("taskbar: the pixel at " + where() + ", and no icon drawn over the shell's pixels explains it");
}

void checkNothingHeldAtExit(const Process& process, const HeldAtExit& held) {
    if (held.gdiObjects == 0 && held.icons == 0 && held.deviceContexts == 0 && held.menus == 0 && held.trayIcons == 0) {
        return;
    }
    reportFault("process " + process.name + " ended holding " + std::to_string(held.gdiObjects) + " GDI objects, " +
                std::to_string(held.icons) + " icons, " + std::to_string(held.deviceContexts) + " device contexts, " +
                std::to_string(held.menus) + " menus, " + std::to_string(held.trayIcons) + " notification icons");
}

void resetInvariants() {
    gDrawn.clear();
    gTaskbarFaultReported = false;
    gCheckedVersion = ~0ull;
}

}  // namespace sim
