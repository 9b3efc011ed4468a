#include "app/install_dir.h"

#include "app/app_state.h"

namespace {
constexpr DWORD InstallDirValueBytes = 520;
}

BOOL copyInstallDirValue(const BYTE* value, DWORD size) {
    // The value's type is not checked: its bytes are taken as UTF-16 text, which ends at the first
    // NUL unit or at the end of the value, whichever comes first.
    DWORD units = size / 2;
    DWORD length = 0;
    while (length < units && (value[2 * length] | value[2 * length + 1]) != 0) ++length;
    if (length >= static_cast<DWORD>(InstallDirUnits)) return FALSE;
    for (DWORD i = 0; i < length; ++i) {
        installDir[i] = static_cast<WCHAR>(value[2 * i] | (value[2 * i + 1] << 8));
    }
    installDir[length] = 0;
    return TRUE;
}

BOOL readInstallDir() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Marund\\Orvo"), 0, 0, &key) != ERROR_SUCCESS) return FALSE;
    BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, InstallDirValueBytes));
    if (buffer == NULL) {
        RegCloseKey(key);
        return FALSE;
    }
    DWORD size = InstallDirValueBytes;
    DWORD type = 0;
    LONG result = RegQueryValueExW(key, TEXT("InstallDir"), NULL, &type, buffer, &size);
    RegCloseKey(key);
    BOOL read = result == ERROR_SUCCESS && size <= InstallDirValueBytes && copyInstallDirValue(buffer, size);
    LocalFree(buffer);
    return read;
}
