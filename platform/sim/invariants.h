// What must hold on the simulated device in every scenario, whatever a program does: checked by
// the device itself, so that a wrong behaviour can never become "expected" by being recorded.
#pragma once

#include "gdi.h"
#include "world.h"

namespace sim {

// An icon a program drew (anywhere: on the screen or into a bitmap it then copies there).
void noteIconDrawn(const Surface& mask, const Surface& image);

// The taskbar shows what the shell painted, with at most one icon drawn over those pixels in one
// square (where an indicator lies), and only while the program that drew it runs. A breach is
// reported as a fault (see reportFault) once per scenario.
void checkTaskbarInvariant();

// A program that ended by itself (not killed) holds nothing the platform has to free for it.
struct HeldAtExit {
    size_t gdiObjects = 0;
    size_t icons = 0;
    size_t deviceContexts = 0;
    size_t menus = 0;
    size_t trayIcons = 0;
};
void checkNothingHeldAtExit(const Process& process, const HeldAtExit& held);

void resetInvariants();

}  // namespace sim
