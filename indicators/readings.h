// Taking the four readings: a platform query and a pure computation on plain numbers each.
#pragma once

#include <cstdint>

#include "indicators/indicator_kind.h"
#include "platform/winapi.h"

enum StatusIcon { NoStatusIcon, ChargingIcon, BatteryUnknownIcon, NoCardIcon };

struct IndicatorReading {
    IndicatorKind kind;
    int32_t percent;
    StatusIcon statusIcon;
    // False when the platform gave no answer: there is nothing new to show, and the kind keeps
    // what it showed (a failed query must not read as 0 %).
    bool taken;
};

constexpr int CardListCapacity = 5;
constexpr int CardNameUnits = 261;
constexpr BYTE BatteryPercentUnknown = 255;

// The storage-card directory names of the last enumeration; its result says how many are valid.
extern WCHAR cardList[CardListCapacity][CardNameUnits];

// The memory and storage percentage: (part / total) * 100 in double precision, truncated; a
// part above the total gives 100.
int32_t percentOfTotal(uint32_t part, uint32_t total);
// The card percentage: free * 100 / total in exact integer arithmetic, truncated; free space
// above the total gives 100.
int32_t cardPercent(uint64_t freeBytes, uint64_t totalBytes);
// The battery reading from the power status bytes.
IndicatorReading batteryReading(BYTE lifePercent, BYTE flag);
// TRUE when a root entry's attributes mark a storage card's directory.
BOOL isStorageCardEntry(DWORD attributes);

// One pass over the root into cardList; returns how many cards it listed. *complete (when given)
// is false when the search failed on the way: a root that could not be searched lists no card.
int enumerateStorageCards(bool* complete = NULL);
IndicatorReading measureIndicator(IndicatorKind kind);
