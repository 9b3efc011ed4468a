// Per indicator kind, the icon shown and the one it replaced.
#pragma once

#include "indicators/indicator_kind.h"
#include "platform/winapi.h"

struct IconSlot {
    HICON current;
    HICON previous;
};

extern IconSlot iconSlots[IndicatorKindCount];

// previous = current, current = icon; the next presentation of the kind releases previous.
void installIcon(IndicatorKind kind, HICON icon);

// Releases every icon still held (at the main window's destruction).
void releaseIconSlots();
