// The shortcut in the Startup folder that starts the program with the device.
#pragma once

#include "platform/winapi.h"

constexpr int ShortcutPathUnits = 260;
// The platform's shortcut maker takes a target of at most 256 units with its terminator.
constexpr int StartupTargetUnits = 256;

// "\"<installDir>\orvo.exe\"" into target; FALSE (and nothing written) when it is longer than the
// platform takes (StartupTargetUnits): an installDir of at most 244 units.
BOOL buildStartupTarget(const WCHAR* installDir, WCHAR target[ShortcutPathUnits]);
// <folder>\Orvo.lnk into link; FALSE when it does not fit.
BOOL buildStartupLinkPath(const WCHAR* folder, WCHAR link[ShortcutPathUnits]);

// remove non-zero deletes the shortcut; zero makes it anew. TRUE when the last call succeeded.
BOOL setStartupShortcut(HWND window, BOOL remove);
