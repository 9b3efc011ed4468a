// Where the program keeps its settings when the registry names no installation folder.
#include "platform/win32/win32_api.h"

BOOL defaultInstallDir(LPWSTR dir, DWORD units) {
#ifdef _WIN32_WCE
    static const WCHAR folder[] = L"\\Program Files\\Marund\\Orvo";
    if (dir == NULL || units < sizeof folder / sizeof folder[0]) return FALSE;
    wcscpy(dir, folder);
    return TRUE;
#else
    // A desktop has no such folder: the program's own folder, where the user put orvo.exe, is
    // where its settings file belongs and what its start-up shortcut must point at.
    WCHAR path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH + 1);
    // A path that filled the buffer may have been cut short: it would name another folder.
    if (dir == NULL || length == 0 || length > MAX_PATH) return FALSE;
    WCHAR* slash = wcsrchr(path, L'\\');
    if (slash == NULL) return FALSE;
    *slash = 0;
    if (wcslen(path) + 1 > units) return FALSE;
    wcscpy(dir, path);
    return TRUE;
#endif
}

#ifndef _WIN32_WCE
#include <shlobj.h>
#endif

BOOL userSettingsDir(LPWSTR dir, DWORD units) {
#ifdef _WIN32_WCE
    (void)dir;
    (void)units;
    return FALSE;
#else
    // Beside the Pocket PC's taskbar the device's rules hold: the installation folder alone.
    if (dir == NULL || !onDesktopShell()) return FALSE;
    WCHAR path[MAX_PATH + 8];
    if (FAILED(SHGetFolderPathW(NULL, CSIDL_APPDATA | CSIDL_FLAG_CREATE, NULL, SHGFP_TYPE_CURRENT, path))) return FALSE;
    wcscat(path, L"\\Orvo");
    if (!CreateDirectoryW(path, NULL) && GetLastError() != ERROR_ALREADY_EXISTS) return FALSE;
    if (wcslen(path) + 1 > units) return FALSE;
    wcscpy(dir, path);
    return TRUE;
#endif
}
