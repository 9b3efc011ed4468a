#include "shell_services.h"

#include "platform/shortcut_file.h"

#include <algorithm>

#include "device.h"
#include "file_system.h"
#include "gdi.h"
#include "sim_api.h"
#include "window_manager.h"

namespace sim {

const char16_t* const kStartupFolder = u"\\Windows\\StartUp";
const size_t kShortcutTargetUnits = 256;

namespace {
std::vector<TrayIcon> gTray;
// Registered window messages, from 0xC000 on in the order of registration; names compare without
// regard to case, as the platform's do.
std::vector<std::u16string> gRegisteredMessages;

std::u16string folded(const char16_t* name) {
    std::u16string out;
    for (; *name != 0; ++name) out += (*name >= u'a' && *name <= u'z') ? static_cast<char16_t>(*name - 32) : *name;
    return out;
}
}  // namespace

UINT registeredMessage(const char16_t* name) {
    const std::u16string key = folded(name);
    for (size_t i = 0; i < gRegisteredMessages.size(); ++i) {
        if (gRegisteredMessages[i] == key) return static_cast<UINT>(0xC000 + i);
    }
    if (key.empty() || gRegisteredMessages.size() >= 0x3FFF) return 0;
    gRegisteredMessages.push_back(key);
    return static_cast<UINT>(0xC000 + gRegisteredMessages.size() - 1);
}

void restartNotificationArea() {
    gTray.clear();
    logEvent("tray-restart");
    const UINT message = registeredMessage(u"TaskbarCreated");
    const std::vector<HWND> windows = topLevelWindows();
    for (HWND w : windows) postMessageInternal(w, message, 0, 0);
}

const std::vector<TrayIcon>& trayIcons() { return gTray; }

size_t releaseProcessTrayIcons(Process* process) {
    // The notification area drops the icons of windows that no longer exist.
    size_t before = gTray.size();
    gTray.erase(std::remove_if(gTray.begin(), gTray.end(),
                               [process](const TrayIcon& t) {
                                   Window* w = findWindowObject(t.window);
                                   return w == nullptr || w->process == process;
                               }),
                gTray.end());
    return before - gTray.size();
}

void clearTrayIcons() { gTray.clear(); }

bool sendTrayMessage(LPARAM pointerMessage, const UINT* iconId) {
    for (const TrayIcon& t : gTray) {
        Window* w = findWindowObject(t.window);
        if (w && w->process && w->process->isProgram) {
            postMessageInternal(t.window, t.callbackMessage, iconId ? *iconId : t.id, pointerMessage);
            return true;
        }
    }
    return false;
}

std::u16string shortcutTarget(const std::vector<uint8_t>& contents) { return shortcut_file::target(contents); }

void runStartupShortcuts() {
    FileNode* folder = fileSystem().find(kStartupFolder);
    if (folder == nullptr) return;
    std::vector<std::u16string> targets;
    for (auto& entry : folder->children) {
        if (!entry->isDirectory()) targets.push_back(shortcutTarget(entry->bytes));
    }
    for (auto& target : targets) {
        if (!target.empty() && isInstalledProgram(target)) {
            startProgram(target);
            runUntilIdle();
        }
    }
}

}  // namespace sim

using namespace sim;

namespace {

void takeIcon(TrayIcon& t, HICON icon) {
    t.iconResource = iconResourceId(icon);
    t.hasImage = iconImages(icon, &t.mask, &t.colour);
}

void takeTip(TrayIcon& t, const NOTIFYICONDATAW& data) {
    const size_t units = sizeof data.szTip / sizeof data.szTip[0];
    size_t length = 0;
    while (length < units && data.szTip[length] != 0) ++length;
    t.tip.assign(data.szTip, length);
}

}  // namespace

BOOL Shell_NotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    if (shouldFail(Op::Shell_NotifyIcon) || data == nullptr || data->cbSize != sizeof(NOTIFYICONDATAW)) return FALSE;
    auto same = [data](const TrayIcon& t) { return t.window == data->hWnd && t.id == data->uID; };
    auto it = std::find_if(gTray.begin(), gTray.end(), same);
    switch (message) {
        case NIM_ADD: {
            if (it != gTray.end() || findWindowObject(data->hWnd) == nullptr) return FALSE;
            TrayIcon t;
            t.window = data->hWnd;
            t.id = data->uID;
            t.callbackMessage = (data->uFlags & NIF_MESSAGE) ? data->uCallbackMessage : 0;
            if (data->uFlags & NIF_ICON) takeIcon(t, data->hIcon);
            if (data->uFlags & NIF_TIP) takeTip(t, *data);
            gTray.push_back(t);
            logEvent("tray-add " + std::to_string(t.id) + " " + std::to_string(t.iconResource));
            return TRUE;
        }
        case NIM_DELETE:
            if (it == gTray.end()) return FALSE;
            gTray.erase(it);
            logEvent("tray-delete " + std::to_string(data->uID));
            return TRUE;
        case NIM_MODIFY:
            if (it == gTray.end()) return FALSE;
            if (data->uFlags & NIF_ICON) takeIcon(*it, data->hIcon);
            if (data->uFlags & NIF_MESSAGE) it->callbackMessage = data->uCallbackMessage;
            if (data->uFlags & NIF_TIP) takeTip(*it, *data);
            logEvent("tray-modify " + std::to_string(it->id) + " " + quote(it->tip));
            return TRUE;
        default:
            return FALSE;
    }
}

UINT RegisterWindowMessageW(LPCWSTR name) {
    if (name == nullptr) {
        setError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return registeredMessage(name);
}

BOOL SHGetSpecialFolderPath(HWND, LPWSTR path, int folder, BOOL) {
    if (shouldFail(Op::SHGetSpecialFolderPath) || path == nullptr || folder != CSIDL_STARTUP) return FALSE;
    wcscpy(path, kStartupFolder);
    return TRUE;
}

DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    if (shouldFail(Op::SHCreateShortcut) || shortcut == nullptr || target == nullptr) return FALSE;
    std::u16string t(target);
    // The target's buffer holds at most 256 characters with its terminator; an existing shortcut
    // is never replaced.
    if (t.size() >= kShortcutTargetUnits) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (FileNode* existing = fileSystem().find(shortcut); existing != nullptr) {
        setError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    FileNode* node = fileSystem().writeFile(shortcut, shortcut_file::bytesFor(t));
    if (node == nullptr) return FALSE;
    logEvent("shortcut-created " + quote(std::u16string(shortcut)) + " " + quote(t));
    return TRUE;
}
