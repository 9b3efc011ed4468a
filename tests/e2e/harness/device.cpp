// The stand-in device: the readings a desktop cannot be made to report (battery, program memory,
// main storage, storage cards), its keys, display driver and reset; files and registry are the
// real system's. The device's file system is drive P:, which the run script maps to a fresh
// folder for every scenario, so that "\Windows" and "\Program Files\..." mean what they mean on
// the device.
#include <cstring>

#include "tests/e2e/harness/harness.h"

namespace e2e {

const WCHAR* const kInstalledProgramPath = L"\\Program Files\\Marund\\Orvo\\orvo.exe";

namespace {

const char kProgramFileBytes[] = "MZORVO";  // what the install leaves there, as on the simulator

DeviceState gDevice;
std::recursive_mutex gDeviceLock;
std::atomic<bool> gResetRequested{false};

bool equalNoCase(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

void writeBytes(const std::wstring& path, const void* bytes, DWORD size) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a file of the device");
    DWORD written = 0;
    WriteFile(f, bytes, size, &written, NULL);
    CloseHandle(f);
}

// The first component of a device path ("Storage Card" of "\Storage Card\x").
std::wstring rootComponent(const std::wstring& path) {
    size_t start = path.find_first_not_of(L'\\');
    if (start == std::wstring::npos) return L"";
    size_t end = path.find(L'\\', start);
    return path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

const Card* cardNamed(const std::wstring& name) {
    for (const Card& c : gDevice.cards) {
        if (equalNoCase(c.name, name)) return &c;
    }
    return nullptr;
}

// Searches of the root directory: their entries get the attributes that only the device knows.
std::mutex gSearchLock;
std::vector<HANDLE> gRootSearches;

bool isRootPattern(LPCWSTR pattern) {
    if (pattern == NULL) return false;
    std::wstring p(pattern);
    if (p.size() >= 2 && p[1] == L':') p = p.substr(2);
    size_t last = p.rfind(L'\\');
    return last == 0 || (last == std::wstring::npos && p.find(L'*') != std::wstring::npos);
}

// FALSE when the entry is not one of the device's ("." and ".." of the drive's folder).
BOOL adjustRootEntry(LPWIN32_FIND_DATAW data) {
    std::wstring name = data->cFileName;
    if (name == L"." || name == L"..") return FALSE;
    std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
    if (cardNamed(name) != nullptr) data->dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    for (auto& entry : gDevice.rootAttributes) {
        if (equalNoCase(entry.first, name)) data->dwFileAttributes = entry.second;
    }
    return TRUE;
}

DWORD WINAPI powerStatus(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL) {
    if (status == NULL || length < sizeof(SYSTEM_POWER_STATUS_EX2)) return 0;
    std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
    std::memset(status, 0, sizeof *status);
    status->ACLineStatus = (gDevice.batteryFlag & BATTERY_FLAG_CHARGING) ? 1 : 0;
    status->BatteryFlag = gDevice.batteryFlag;
    status->BatteryLifePercent = gDevice.batteryPercent;
    status->BackupBatteryFlag = BATTERY_FLAG_HIGH;
    status->BackupBatteryLifePercent = 100;
    return sizeof(SYSTEM_POWER_STATUS_EX2);
}

void WINAPI memoryStatus(LPMEMORYSTATUS status) {
    if (status == NULL) return;
    std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwTotalPhys = gDevice.memoryTotal;
    status->dwAvailPhys = gDevice.memoryAvailable;
    status->dwMemoryLoad =
        gDevice.memoryTotal ? static_cast<DWORD>(100 - 100ULL * gDevice.memoryAvailable / gDevice.memoryTotal) : 0;
    status->dwTotalPageFile = 0;
    status->dwAvailPageFile = 0;
    status->dwTotalVirtual = 32 * 1024 * 1024;
    status->dwAvailVirtual = 16 * 1024 * 1024;
}

BOOL WINAPI storeInformation(LPSTORE_INFORMATION info) {
    if (info == NULL) return FALSE;
    std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
    info->dwStoreSize = gDevice.storageTotal;
    info->dwFreeSize = gDevice.storageFree;
    return TRUE;
}

// The volume is the card the path lies on, else the main storage; the path must exist.
BOOL WINAPI diskFreeSpace(LPCWSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER total,
                          PULARGE_INTEGER totalFree) {
    std::wstring path = directory ? directory : L"";
    if (GetFileAttributesW(devicePath(toUtf16(path)).c_str()) == INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
    const Card* card = cardNamed(rootComponent(path));
    uint64_t freeBytes = card ? card->freeBytes : gDevice.storageFree;
    uint64_t totalBytes = card ? card->totalBytes : gDevice.storageTotal;
    if (freeToCaller) freeToCaller->QuadPart = freeBytes;
    if (total) total->QuadPart = totalBytes;
    if (totalFree) totalFree->QuadPart = freeBytes;
    return TRUE;
}

HANDLE WINAPI findFirst(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    HANDLE search = FindFirstFileW(pattern, data);
    if (search == INVALID_HANDLE_VALUE || !isRootPattern(pattern)) return search;
    while (!adjustRootEntry(data)) {
        if (!FindNextFileW(search, data)) {
            FindClose(search);
            SetLastError(ERROR_NO_MORE_FILES);
            return INVALID_HANDLE_VALUE;
        }
    }
    std::lock_guard<std::mutex> hold(gSearchLock);
    gRootSearches.push_back(search);
    return search;
}

BOOL WINAPI findNext(HANDLE search, LPWIN32_FIND_DATAW data) {
    bool root;
    {
        std::lock_guard<std::mutex> hold(gSearchLock);
        root = false;
        for (HANDLE h : gRootSearches) root = root || h == search;
    }
    for (;;) {
        if (!FindNextFileW(search, data)) return FALSE;
        if (!root || adjustRootEntry(data)) return TRUE;
    }
}

void WINAPI keyEvent(BYTE vk, BYTE, DWORD flags, ULONG_PTR) {
    logEvent(scenario::keyEvent(vk, (flags & KEYEVENTF_KEYUP) != 0, (flags & KEYEVENTF_SILENT) != 0));
}

int WINAPI displayEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out) {
    if (escape == QUERYESCSUPPORT) {
        int asked = 0;
        if (in && inSize >= 4) std::memcpy(&asked, in, 4);
        std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
        int result = (asked == SETPOWERMANAGEMENT && gDevice.displayOffSupport) ? 1 : 0;
        logEvent(scenario::displayQueryEvent(asked, result));
        return result;
    }
    if (escape == SETPOWERMANAGEMENT) {
        VIDEO_POWER_MANAGEMENT vpm{};
        if (in && inSize >= static_cast<int>(sizeof vpm)) std::memcpy(&vpm, in, sizeof vpm);
        logEvent(scenario::displayPowerEvent(vpm.Length, vpm.DPMSVersion, vpm.PowerState));
        std::lock_guard<std::recursive_mutex> hold(gDeviceLock);
        return gDevice.displayOffSupport ? 1 : -1;
    }
    return ExtEscape(dc, escape, inSize, in, outSize, out);
}

BOOL WINAPI kernelIoControl(DWORD code, LPVOID, DWORD, LPVOID, DWORD, LPDWORD) {
    if (code != IOCTL_HAL_REBOOT) return FALSE;
    // The reset happens once every thread is idle.
    gResetRequested = true;
    return TRUE;
}

}  // namespace

DeviceState& device() { return gDevice; }
std::recursive_mutex& deviceLock() { return gDeviceLock; }

std::wstring devicePath(const std::u16string& path) {
    std::wstring p = fromUtf16(path);
    return L"P:" + (p.empty() || p[0] != L'\\' ? L"\\" + p : p);
}

void bootDevice() {
    for (const WCHAR* folder : {L"P:\\Windows", L"P:\\Windows\\StartUp", L"P:\\My Documents", L"P:\\Temp",
                                L"P:\\Program Files", L"P:\\Program Files\\Marund", L"P:\\Program Files\\Marund\\Orvo"}) {
        CreateDirectoryW(folder, NULL);
    }
    writeBytes(std::wstring(L"P:") + kInstalledProgramPath, kProgramFileBytes, sizeof kProgramFileBytes - 1);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Marund");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Comm\\Tcpip\\Hosts\\ppp_peer");
    const WCHAR dir[] = L"\\Program Files\\Marund\\Orvo";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Marund\\Orvo", L"InstallDir", REG_SZ, dir, sizeof dir);
}

bool isInstalled(const std::wstring& path) {
    HANDLE f = CreateFileW(devicePath(toUtf16(path)).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    char bytes[16] = {0};
    DWORD read = 0;
    ReadFile(f, bytes, sizeof bytes, &read, NULL);
    CloseHandle(f);
    return read == sizeof kProgramFileBytes - 1 && std::memcmp(bytes, kProgramFileBytes, read) == 0;
}

void requestReset() { gResetRequested = true; }
bool takeResetRequest() { return gResetRequested.exchange(false); }

// The device's own installation folder: the runner's program file is not the device's orvo.exe.
BOOL WINAPI installFolder(LPWSTR dir, DWORD units) {
    const WCHAR folder[] = L"\\Program Files\\Marund\\Orvo";
    if (dir == NULL || units < sizeof folder / sizeof folder[0]) return FALSE;
    wcscpy(dir, folder);
    return TRUE;
}

void connectDeviceSeam(DeviceSeam* table) {
    table->defaultInstallDir_op = installFolder;
    table->GetSystemPowerStatusEx2_op = powerStatus;
    table->GlobalMemoryStatus_op = memoryStatus;
    table->GetStoreInformation_op = storeInformation;
    table->GetDiskFreeSpaceExW_op = diskFreeSpace;
    table->FindFirstFileW_op = findFirst;
    table->FindNextFileW_op = findNext;
    table->keybd_event_op = keyEvent;
    table->ExtEscape_op = displayEscape;
    table->KernelIoControl_op = kernelIoControl;
}

}  // namespace e2e
