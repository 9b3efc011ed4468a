// The settings file "<installDir>\orvo.dat": the record's image, loaded once and saved in place.
#pragma once

#include "platform/winapi.h"

constexpr int SettingsPathUnits = 260;

// installDir followed by "\orvo.dat"; FALSE (and an empty path) when it does not fit.
BOOL buildSettingsFilePath(const WCHAR* installDir, WCHAR path[SettingsPathUnits]);

void loadSettings();
void saveSettings();
