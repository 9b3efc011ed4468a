// The device's own services: power status, memory, storage, reset, keys and the display driver.
#include <cstring>

#include "device.h"
#include "scenario/scenario_syntax.h"
#include "gdi.h"
#include "scheduler.h"
#include "sim_api.h"
#include "world.h"

using namespace sim;

DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL) {
    if (shouldFail(Op::GetSystemPowerStatusEx2) || status == nullptr || length < sizeof(SYSTEM_POWER_STATUS_EX2)) {
        return 0;
    }
    std::memset(status, 0, sizeof *status);
    const Device& d = world().device;
    status->ACLineStatus = (d.batteryFlag & BATTERY_FLAG_CHARGING) ? 1 : 0;
    status->BatteryFlag = d.batteryFlag;
    status->BatteryLifePercent = d.batteryPercent;
    status->BackupBatteryFlag = BATTERY_FLAG_HIGH;
    status->BackupBatteryLifePercent = 100;
    return sizeof(SYSTEM_POWER_STATUS_EX2);
}

void GlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (status == nullptr) return;
    if (shouldFail(Op::GlobalMemoryStatus)) return;  // the structure is left as it was
    const Device& d = world().device;
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwTotalPhys = d.memoryTotal;
    status->dwAvailPhys = d.memoryAvailable;
    status->dwMemoryLoad = d.memoryTotal ? static_cast<DWORD>(100 - 100ULL * d.memoryAvailable / d.memoryTotal) : 0;
    status->dwTotalPageFile = 0;
    status->dwAvailPageFile = 0;
    status->dwTotalVirtual = 32 * 1024 * 1024;
    status->dwAvailVirtual = 16 * 1024 * 1024;
}

BOOL GetStoreInformation(LPSTORE_INFORMATION info) {
    if (shouldFail(Op::GetStoreInformation) || info == nullptr) return FALSE;
    info->dwStoreSize = world().device.storageTotal;
    info->dwFreeSize = world().device.storageFree;
    return TRUE;
}

BOOL KernelIoControl(DWORD code, LPVOID, DWORD, LPVOID, DWORD, LPDWORD) {
    if (shouldFail(Op::KernelIoControl) || code != IOCTL_HAL_REBOOT) return FALSE;
    // The reset happens once every thread is idle; the caller never runs again.
    world().resetRequested = true;
    if (currentThread()) blockUntil([] { return false; }, false);
    return TRUE;
}

void keybd_event(BYTE vk, BYTE, DWORD flags, ULONG_PTR) {
    if (shouldFail(Op::keybd_event)) return;
    logEvent(scenario::keyEvent(vk, (flags & KEYEVENTF_KEYUP) != 0, (flags & KEYEVENTF_SILENT) != 0));
}

int ExtEscape(HDC dc, int escape, int inSize, const char* in, int, char*) {
    if (shouldFail(Op::ExtEscape) || dc == nullptr) return -1;
    if (escape == QUERYESCSUPPORT) {
        int asked = 0;
        if (in && inSize >= 4) std::memcpy(&asked, in, 4);
        int result = (asked == SETPOWERMANAGEMENT && world().device.displayOffSupport) ? 1 : 0;
        logEvent(scenario::displayQueryEvent(asked, result));
        return result;
    }
    if (escape == SETPOWERMANAGEMENT) {
        VIDEO_POWER_MANAGEMENT vpm{};
        if (in && inSize >= static_cast<int>(sizeof vpm)) std::memcpy(&vpm, in, sizeof vpm);
        logEvent(scenario::displayPowerEvent(vpm.Length, vpm.DPMSVersion, vpm.PowerState));
        if (!world().device.displayOffSupport) return -1;
        world().device.displayOn = vpm.PowerState != VideoPowerOff;
        return 1;
    }
    return 0;
}

BOOL userSettingsDir(LPWSTR, DWORD) { return FALSE; }

BOOL isDesktopShellWindow(HWND) { return FALSE; }
BOOL onDesktopShell() { return FALSE; }

BOOL notificationDigitsDark() { return FALSE; }

BOOL defaultInstallDir(LPWSTR dir, DWORD units) {
    static const WCHAR folder[] = u"\\Program Files\\Marund\\Orvo";
    if (dir == nullptr || units < sizeof folder / sizeof folder[0]) return FALSE;
    wcscpy(dir, folder);
    return TRUE;
}
