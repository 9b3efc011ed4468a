// The Settings dialog: every user setting, applied and saved on Done.
#pragma once

#include "platform/winapi.h"

constexpr WORD SettingsPortraitTemplate = 102;
constexpr WORD SettingsLandscapeTemplate = 163;

constexpr int IDC_SHOW_BATTERY = 1010;
constexpr int IDC_SHOW_PROGRAM_MEMORY = 1011;
constexpr int IDC_SHOW_MAIN_STORAGE = 1012;
constexpr int IDC_SHOW_STORAGE_CARD = 1013;
constexpr int IDC_CARD_LIST = 1008;
constexpr int IDC_ICON_X = 1028;
constexpr int IDC_ICON_X_SPIN = 1029;
constexpr int IDC_CONFIRM_CLOSE_ALL = 1022;
constexpr int IDC_RUN_AT_STARTUP = 1031;
constexpr int IDC_LARGE_ICONS = 1032;
constexpr int IDC_REFRESH = 1025;
constexpr int IDC_REFRESH_SPIN = 1026;

extern int largeIconsAtDialogOpen;

// Limits used on opening and on Done.
int limitRefreshSeconds(long value);
int limitIconX(long value);

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
