// Desktop definitions of the Pocket PC's device services: power status, storage and reset.
// A device build takes these from the platform itself, so there is nothing to define there.
#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <cstring>

#include <powrprof.h>

#include "platform/win32/size_scaling.h"

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
    // The record has 32-bit sizes: larger drives are scaled so that the percentage stays true.
    uint32_t free32 = 0;
    uint32_t total32 = 0;
    scaleSizePair(free.QuadPart, total.QuadPart, &free32, &total32);
    info->dwStoreSize = total32;
    info->dwFreeSize = free32;
    return TRUE;
}

BOOL KernelIoControl(DWORD code, LPVOID, DWORD, LPVOID, DWORD, LPDWORD returned) {
    // A desktop has no warm reset. Restarting or logging off the whole machine from a menu would
    // be far from what the user asked for, so every code is refused; the reset, confirmed with a
    // "Yes", says so rather than doing nothing.
    if (returned != NULL) *returned = 0;
    if (code == IOCTL_HAL_REBOOT) {
        MessageBoxW(NULL, L"This computer does not support Hot Reset.", L"Orvo", MB_OK | MB_ICONINFORMATION);
    }
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}


// The names below are the desktop's own operations from here on.
#undef LoadIconW
#undef GlobalMemoryStatus
#undef RegOpenKeyExW
#undef keybd_event
#undef ExtEscape

void ceGlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (status == NULL) return;
    MEMORYSTATUSEX full;
    full.dwLength = sizeof full;
    if (!GlobalMemoryStatusEx(&full)) return;  // the record is left as it was
    auto pair = [](DWORDLONG avail, DWORDLONG total, SIZE_T* avail32, SIZE_T* total32) {
        uint32_t a = 0;
        uint32_t t = 0;
        scaleSizePair(avail, total, &a, &t);
        *avail32 = a;
        *total32 = t;
    };
    status->dwLength = sizeof *status;
    status->dwMemoryLoad = full.dwMemoryLoad;
    pair(full.ullAvailPhys, full.ullTotalPhys, &status->dwAvailPhys, &status->dwTotalPhys);
    pair(full.ullAvailPageFile, full.ullTotalPageFile, &status->dwAvailPageFile, &status->dwTotalPageFile);
    pair(full.ullAvailVirtual, full.ullTotalVirtual, &status->dwAvailVirtual, &status->dwTotalVirtual);
}

HICON ceLoadIcon(HINSTANCE instance, LPCWSTR name) {
    // The desktop's LoadIcon stretches every icon to the system's large icon size; the device
    // loads an icon at the size of its image, and the indicator draws it at that size. Shared,
    // as LoadIcon's icons are: loading one again gives the same handle.
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_SHARED));
}

LONG ceRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    // The device takes no access mask (it must be 0); a desktop key opened with none cannot be
    // read. The program opens keys only to read them.
    return RegOpenKeyExW(root, subKey, options, access == 0 ? KEY_READ : access, result);
}

namespace {

// Suspending needs the shutdown privilege, which a desktop user holds but has switched off.
bool enableShutdownPrivilege() {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(NULL, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL) && GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}

}  // namespace

void ceKeybdEvent(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra) {
    // The device's "silent" flag (no key click) has the desktop's value of a Unicode character
    // event, so it is dropped: a desktop keyboard makes no click to silence.
    flags &= ~static_cast<DWORD>(KEYEVENTF_SILENT);
    if (key == VK_OFF) {
        // A desktop keyboard has no power key. Its release does what the device's does: the
        // machine goes to sleep (suspend, not hibernation), if the user may do so.
        if ((flags & KEYEVENTF_KEYUP) && enableShutdownPrivilege()) SetSuspendState(FALSE, FALSE, FALSE);
        return;
    }
    keybd_event(key, scan, flags, extra);
}

int ceExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out) {
    // A desktop display driver does not take the device's power escape; the desktop turns its
    // monitors off on request instead, which is what the escape asks for.
    if (escape == QUERYESCSUPPORT && in != NULL && inSize >= 4) {
        int asked = 0;
        std::memcpy(&asked, in, 4);
        if (asked == SETPOWERMANAGEMENT) return 1;
    }
    if (escape == SETPOWERMANAGEMENT) {
        VIDEO_POWER_MANAGEMENT request = {};
        if (in == NULL || inSize < static_cast<int>(sizeof request)) return -1;
        std::memcpy(&request, in, sizeof request);
        // Monitor power: 2 is off, -1 is on.
        LPARAM state = request.PowerState == VideoPowerOff ? 2 : -1;
        PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, state);
        return 1;
    }
    return ExtEscape(dc, escape, inSize, in, outSize, out);
}

#endif  // !_WIN32_WCE
