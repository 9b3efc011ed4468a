// The indicator in the notification area: where no taskbar window exists (a desktop), nothing is
// painted on the screen, which belongs to other programs there; the indicator's icon becomes the
// notification icon instead, replaced on every reading, with a tooltip naming the reading.
#pragma once

#include "indicators/indicator_kind.h"
#include "indicators/readings.h"
#include "platform/winapi.h"

// TRUE when the size the notification area asks for (SM_CXSMICON) is nearer 32 than 16.
BOOL trayIconsLarge();

constexpr int TrayTipUnits = 64;
// The tooltip for a reading: the quantity and its value as the icon shows it ("Battery 80 %"),
// or what a status icon stands for.
void trayTipText(const IndicatorReading& reading, WCHAR tip[TrayTipUnits]);

// Shows the kind's current icon and the reading's tooltip in the notification icon of `window`
// (NIM_MODIFY), then releases the slot's previous icon: the notification area keeps its own copy.
// Without a reading (none could be taken) the kind's last icon and tooltip are shown again.
void presentInTray(HWND window, IndicatorKind kind, const IndicatorReading* reading);

// The tray's counterpart of erasing the indicator: the program's own icon and no tooltip.
void eraseTrayIndicator();
