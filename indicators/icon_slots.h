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

// Releases the kind's previous icon, once its successor has been shown.
void releasePreviousIcon(IndicatorKind kind);

// Releases every icon still held (at the main window's destruction).
void releaseIconSlots();

// Every slot empty, as at the main window's creation: nothing is released, since a new run holds
// nothing yet.
void resetIconSlots();
