// Desktop definitions of the Pocket PC's device services: power status, storage and reset.
// A device build takes these from the platform itself, so there is nothing to define there.
#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <cstring>

DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL) {
    if (status == NULL || length < sizeof(SYSTEM_POWER_STATUS_EX2)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    SYSTEM_POWER_STATUS power;
    if (!GetSystemPowerStatus(&power)) return 0;
    std::memset(status, 0, sizeof *status);
    // The main battery's flag and percentage use the same codes on both platforms
    // (255 = unknown, 128 = no battery, 8 = charging).
    status->ACLineStatus = power.ACLineStatus;
    status->BatteryFlag = power.BatteryFlag;
    status->BatteryLifePercent = power.BatteryLifePercent;
    status->BatteryLifeTime = power.BatteryLifeTime;
    status->BatteryFullLifeTime = power.BatteryFullLifeTime;
    // A desktop reports no backup battery and no electrical readings.
    status->BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    status->BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    status->BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status->BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status->BatteryChemistry = 0xFF;  // unknown
    return sizeof(SYSTEM_POWER_STATUS_EX2);
}

namespace {

DWORD clampToDword(ULONGLONG value) {
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

}  // namespace

BOOL GetStoreInformation(LPSTORE_INFORMATION info) {
    if (info == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The device's object store is its main storage; on a desktop that is the system drive.
    WCHAR windows[MAX_PATH];
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    WCHAR root[4] = L"C:\\";
    if (length >= 2 && length < MAX_PATH && windows[1] == L':') root[0] = windows[0];
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExW(root, &available, &total, &free)) return FALSE;
    // The record has 32-bit sizes: anything from 4 GB up reads as 0xFFFFFFFF.
    info->dwStoreSize = clampToDword(total.QuadPart);
    info->dwFreeSize = clampToDword(free.QuadPart);
    return TRUE;
}

BOOL KernelIoControl(DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD returned) {
    // A desktop has no warm reset. Restarting or logging off the whole machine from a taskbar
    // menu would be far from what the user asked for, so every code is refused and the caller
    // carries on as after a failed reset.
    if (returned != NULL) *returned = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

#endif  // !_WIN32_WCE
