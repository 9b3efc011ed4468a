// The shell's services: the notification area, the Startup folder and its shortcuts.
#pragma once

#include <string>
#include <vector>

#include "gdi.h"
#include "world.h"

namespace sim {

struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    unsigned iconResource = 0;
    // What the notification area shows: its own copy of the icon's images (the program may
    // destroy its icon once the call returns) and the tooltip.
    bool hasImage = false;
    Surface mask;
    Surface colour;
    std::u16string tip;
};

const std::vector<TrayIcon>& trayIcons();
// Drops the icons of a process that ended; returns how many it had left there.
size_t releaseProcessTrayIcons(Process* process);
void clearTrayIcons();

// The pen goes down (or another pointer message) on the program's notification icon; the callback
// carries the icon's own id, or `iconId` when one is given.
bool sendTrayMessage(LPARAM pointerMessage, const UINT* iconId = nullptr);

// The notification area is made anew, as when the shell restarts: every icon is gone, and every
// top-level window is sent "TaskbarCreated" (posted, as the shell's broadcast does not wait).
void restartNotificationArea();

extern const char16_t* const kStartupFolder;
// SHCreateShortcut's target buffer, in UTF-16 units with the terminator.
extern const size_t kShortcutTargetUnits;

// Starts the program of every shortcut in the Startup folder that points at an installed program.
void runStartupShortcuts();

// The target of a shortcut file's contents, without quotes; empty when the file is no shortcut.
std::u16string shortcutTarget(const std::vector<uint8_t>& contents);

}  // namespace sim
