#include "indicators/icon_slots.h"

IconSlot iconSlots[IndicatorKindCount] = {};

void installIcon(IndicatorKind kind, HICON icon) {
    IconSlot& slot = iconSlots[kind];
    // A presentation follows every installation, so previous is normally empty here; should
    // two installations ever meet, the older icon is released rather than lost.
    if (slot.previous != NULL) DestroyIcon(slot.previous);
    slot.previous = slot.current;
    slot.current = icon;
}

void releasePreviousIcon(IndicatorKind kind) {
    IconSlot& slot = iconSlots[kind];
    if (slot.previous != NULL) DestroyIcon(slot.previous);
    slot.previous = NULL;
}

void releaseIconSlots() {
    for (IconSlot& slot : iconSlots) {
        if (slot.current != NULL) DestroyIcon(slot.current);
        if (slot.previous != NULL) DestroyIcon(slot.previous);
        slot.current = NULL;
        slot.previous = NULL;
    }
}

void resetIconSlots() {
    for (IconSlot& slot : iconSlots) slot = IconSlot{NULL, NULL};
}
