// The indicator in the notification area: where no taskbar window exists (a desktop), nothing is
// painted on the screen, which belongs to other programs there; the indicator's icon becomes the
// notification icon instead, replaced on every reading, with a tooltip naming the reading.
#pragma once

#include "indicators/indicator_kind.h"
#include "indicators/readings.h"
#include "platform/winapi.h"

// The notification area's icon size (SM_CXSMICON: 16, 20, 24, 32 ... with the screen's DPI),
// held to 16 to TrayIconPixelsMost. The icon is composed at exactly that size, so that the
// notification area never scales it.
constexpr int TrayIconPixelsMost = 128;
int trayIconPixels();

constexpr int TrayTipUnits = 64;
// The tooltip for a reading: the program, the quantity and its value as the icon shows it
// ("Orvo: battery 80 %"), or what a status icon stands for.
void trayTipText(const IndicatorReading& reading, WCHAR tip[TrayTipUnits]);

// Shows the kind's current icon in the notification icon of `window` (NIM_MODIFY) with the
// tooltip of the reading it was made from, then releases the slot's previous icon: the
// notification area keeps its own copy. Without a new picture (no reading could be taken, or its
// picture could not be made) the kind's last icon and tooltip are shown again.
void presentInTray(HWND window, IndicatorKind kind, const IndicatorReading* reading);

// The tray's counterpart of erasing the indicator: the program's own icon, named "Orvo".
void eraseTrayIndicator();

// Forgets what was shown (the place is taken anew).
void resetTrayIndicator();

// The notification area was made anew ("TaskbarCreated"): the icon is added again as it was
// last shown, or the program's own icon when no reading is shown (every kind off, a dialog open),
// so that the menu can be reached at once.
void addTrayIconAgain(HWND window);
