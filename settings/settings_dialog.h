// The Settings dialog: every user setting, applied and saved on Done.
#pragma once

#include "platform/winapi.h"
#include "res/resource.h"

extern int largeIconsAtDialogOpen;

// Limits used on opening and on Done: RefreshSecondsMin..RefreshSecondsMax and IconXMin..IconXMax.
int limitRefreshSeconds(long value);
int limitIconX(long value);

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
