// Which indicator kind is shown when: the first at start-up, then one per tick.
#pragma once

#include "indicators/indicator_kind.h"
#include "platform/winapi.h"
#include "settings/settings_record.h"

constexpr UINT_PTR IndicatorTimerId = 159;
constexpr LPARAM RefreshInPlace = 604;
// The redraw request when it is posted rather than sent. A posted WM_TIMER whose lParam is not 0
// never reaches a window procedure: the platform takes that lParam for a timer procedure and
// calls it (or refuses it), so the posted request travels as a message of the program's own.
constexpr UINT PostedRefreshMessage = WM_APP + 1;

extern int enabledCount;
extern IndicatorKind currentIndicator;
extern int iconShown;
extern int lastCardPercent;

// How many of the record's four show flags are set: the one count of the enabled kinds.
int countEnabledIndicators(const SettingsRecord& record);
// enabledCount = the count for the settings now (at the main window's creation and on Done).
void recountEnabledIndicators();
// The scheduler as a run starts: Battery current, nothing shown yet, no card reading taken.
void resetScheduler();

// The next kind after `from` whose flag is set, wrapping from StorageCard to Battery.
// flags[k] non-zero means kind k is enabled; at least one must be.
IndicatorKind nextIndicator(IndicatorKind from, const int flags[IndicatorKindCount]);

void showFirstIndicator(HWND window);
void onIndicatorTimer(HWND window, LPARAM lParam);

// Starts (or restarts) the indicator timer at refreshSeconds.
void startIndicatorTimer(HWND window);
