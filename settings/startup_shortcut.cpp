#include "settings/startup_shortcut.h"

#include "app/app_state.h"

BOOL buildStartupTarget(const WCHAR* dir, WCHAR target[ShortcutPathUnits]) {
    // Two quotes, "\orvo.exe" and the terminator take 12 units.
    target[0] = 0;
    if (wcslen(dir) + 12 > static_cast<size_t>(StartupTargetUnits)) return FALSE;
    wsprintfW(target, TEXT("\"%s\\orvo.exe\""), dir);
    return TRUE;
}

BOOL buildStartupLinkPath(const WCHAR* folder, WCHAR link[ShortcutPathUnits]) {
    static const WCHAR linkName[] = TEXT("\\Orvo.lnk");
    link[0] = 0;
    if (wcslen(folder) + sizeof linkName / sizeof linkName[0] > static_cast<size_t>(ShortcutPathUnits)) return FALSE;
    wcscpy(link, folder);
    wcscat(link, linkName);
    return TRUE;
}

BOOL setStartupShortcut(HWND window, BOOL remove) {
    WCHAR target[ShortcutPathUnits];
    WCHAR folder[MAX_PATH + 1];
    WCHAR link[ShortcutPathUnits];
    BOOL targetFits = buildStartupTarget(installDir, target);
    // Without a known Startup folder, or with one too long for the link's name, no file is
    // touched: a path never filled in, or one cut short, would name some other file.
    folder[0] = 0;
    if (!SHGetSpecialFolderPath(window, folder, CSIDL_STARTUP, FALSE) || folder[0] == 0) return FALSE;
    folder[MAX_PATH] = 0;
    if (!buildStartupLinkPath(folder, link)) return FALSE;
    if (remove) return DeleteFileW(link) ? TRUE : FALSE;
    DeleteFileW(link);
    // A target that does not fit is never cut short: the creation fails like any other, after
    // the old shortcut has gone.
    if (!targetFits) return FALSE;
    return SHCreateShortcut(link, target) ? TRUE : FALSE;
}
