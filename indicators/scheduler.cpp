#include "indicators/scheduler.h"

#include "indicators/icon_composer.h"
#include "indicators/readings.h"
#include "indicators/indicator_place.h"
#include "platform/try_once_more.h"
#include "settings/settings_record.h"

int enabledCount = 0;
IndicatorKind currentIndicator = Battery;
int iconShown = 0;
int lastCardPercent = 0;

int countEnabledIndicators(const SettingsRecord& record) {
    return (record.showBattery != 0) + (record.showProgramMemory != 0) + (record.showMainStorage != 0) +
           (record.showStorageCard != 0);
}

void recountEnabledIndicators() { enabledCount = countEnabledIndicators(settings); }

void resetScheduler() {
    currentIndicator = Battery;
    iconShown = 0;
    lastCardPercent = 0;
}

IndicatorKind nextIndicator(IndicatorKind from, const int flags[IndicatorKindCount]) {
    int k = from;
    for (int step = 0; step < IndicatorKindCount; ++step) {
        k = (k + 1) % IndicatorKindCount;
        if (flags[k] != 0) return static_cast<IndicatorKind>(k);
    }
    return from;
}

namespace {

void readFlags(int flags[IndicatorKindCount]) {
    flags[Battery] = settings.showBattery;
    flags[ProgramMemory] = settings.showProgramMemory;
    flags[MainStorage] = settings.showMainStorage;
    flags[StorageCard] = settings.showStorageCard;
}

bool firstEnabledKind(IndicatorKind* kind) {
    int flags[IndicatorKindCount];
    readFlags(flags);
    for (int k = 0; k < IndicatorKindCount; ++k) {
        if (flags[k] != 0) {
            *kind = static_cast<IndicatorKind>(k);
            return true;
        }
    }
    return false;
}

void showReading(HWND window, IndicatorKind kind, const IndicatorReading& reading) {
    if (!reading.taken) {
        // Nothing new to show: the kind's last icon is drawn again.
        showIndicator(window, kind, NULL);
        iconShown = 1;
        return;
    }
    if (kind == StorageCard) lastCardPercent = reading.statusIcon == NoStatusIcon ? reading.percent : -1;
    if (reading.statusIcon == NoStatusIcon) {
        composeIndicatorIcon(window, kind, reading.percent);
    } else {
        loadStatusIcon(kind, reading.statusIcon);
    }
    showIndicator(window, kind, &reading);
    iconShown = 1;
}

void showKind(HWND window, IndicatorKind kind) { showReading(window, kind, measureIndicator(kind)); }

}  // namespace

void startIndicatorTimer(HWND window) {
    const UINT period = static_cast<UINT>(settings.refreshSeconds) * 1000u;
    // Lasting harm otherwise: the indicator would freeze until a dialog happens to restart the timer.
    tryOnceMore([&] { return SetTimer(window, IndicatorTimerId, period, NULL) != 0; });
}

void showFirstIndicator(HWND window) {
    IndicatorKind kind;
    if (!firstEnabledKind(&kind)) return;
    showKind(window, kind);
    currentIndicator = kind;
}

void onIndicatorTimer(HWND window, LPARAM lParam) {
    if (enabledCount <= 0) return;
    if (enabledCount == 1) {
        IndicatorKind kind;
        if (!firstEnabledKind(&kind)) return;
        currentIndicator = kind;
        IndicatorReading reading = measureIndicator(kind);
        // A single card that stays unmeasurable is not repainted until it can be measured.
        if (kind == StorageCard && reading.statusIcon != NoStatusIcon && lastCardPercent == -1) return;
        showReading(window, kind, reading);
        return;
    }
    if (lParam != RefreshInPlace) {
        int flags[IndicatorKindCount];
        readFlags(flags);
        currentIndicator = nextIndicator(currentIndicator, flags);
    }
    showKind(window, currentIndicator);
}
