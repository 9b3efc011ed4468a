#include "invariants.h"

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
    for (int r = 0; r < icon.image.height; ++r) {
        for (int c = 0; c < icon.image.width; ++c) {
            int sx = x + c;
            int sy = y + r;
            if (!shell.contains(sx, sy) || !screen.contains(sx, sy)) continue;
            COLORREF expected = ((shell.get(sx, sy) & icon.mask.get(c, r)) ^ icon.image.get(c, r)) & 0xFFFFFF;
            if (screen.get(sx, sy) != expected) return false;
        }
    }
    return true;
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
    const Surface& shell = taskbarAsShellPainted();
    const Surface& screen = screenSurface();
    if (shell.width != screen.width || shell.height > screen.height) return;  // a repaint is due
    int minX = shell.width, maxX = -1, minY = shell.height, maxY = -1;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < shell.height; ++y) {
        for (int x = 0; x < shell.width; ++x) {
            if (screen.get(x, y) == shell.get(x, y)) continue;
            if (firstX < 0) {
                firstX = x;
                firstY = y;
            }
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    if (maxX < 0) return;
    const std::string where = "(" + std::to_string(firstX) + ", " + std::to_string(firstY) + ") is " +
                              pixelText(screen.get(firstX, firstY)) + " where the shell painted " +
                              pixelText(shell.get(firstX, firstY));
    if (!anyProgramRunning()) {
        gTaskbarFaultReported = true;
        reportFault("taskbar: no program runs, but the pixel at " + where);
        return;
    }
    // The indicator's square: 16 pixels from row 5, or 32 from row 10.
    for (const DrawnIcon& icon : gDrawn) {
        const int size = icon.image.width;
        if (icon.image.height != size) continue;
        const int top = size == 32 ? 10 : 5;
        if (minY < top || maxY >= top + size || maxX - minX >= size) continue;
        for (int x = maxX - size + 1; x <= minX; ++x) {
            if (squareShowsIcon(screen, shell, x, top, icon)) return;
        }
    }
    gTaskbarFaultReported = true;
    reportFault("taskbar: the pixel at " + where + ", and no icon drawn over the shell's pixels explains it");
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
}

}  // namespace sim
