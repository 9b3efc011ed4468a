// Checks of the desktop layer (platform/win32/ce_*.cpp) on the real system: what the end-to-end
// runner replaces with its stand-in device is checked here as the desktop program runs it.
//   orvo-compat-check.exe   (exit status 0 when every check holds)
#include "platform/win32/win32_api.h"

#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/size_scaling.h"
#include "res/resource.h"
#include "tests/e2e/compat/simulator_rules.h"
#include "tests/e2e/system_helpers.h"

namespace {

int gFailures = 0;
int gChecks = 0;

void check(bool ok, const char* what) {
    ++gChecks;
    if (!ok) {
        ++gFailures;
        std::printf("compat: FAILED: %s\n", what);
    }
}

void powerAndStorage() {
    SYSTEM_POWER_STATUS_EX2 status;
    std::memset(&status, 0xAB, sizeof status);
    DWORD size = GetSystemPowerStatusEx2(&status, sizeof status, TRUE);
    check(size == sizeof status, "the power status fills the whole record");
    check(status.BatteryLifePercent <= 100 || status.BatteryLifePercent == 255, "a battery percentage or unknown");
    check(status.BackupBatteryLifePercent == 255, "no backup battery on a desktop");
    check(GetSystemPowerStatusEx2(&status, sizeof status - 1, TRUE) == 0, "a short record is refused");

    MEMORYSTATUS memory = {};
    MEMORYSTATUSEX full = {};
    full.dwLength = sizeof full;
    ceGlobalMemoryStatus(&memory);
    GlobalMemoryStatusEx(&full);
    // Free memory moves while it is read; the totals do not, and the share stays near.
    check(memory.dwTotalPhys > 0 && memory.dwTotalPhys <= 0xFFFFFFFFu && memory.dwAvailPhys <= memory.dwTotalPhys,
          "program memory fits the device's 32-bit record");
    check(std::abs(sizePercent(memory.dwAvailPhys, memory.dwTotalPhys) - sizePercent(full.ullAvailPhys, full.ullTotalPhys)) <= 1,
          "program memory's percentage is the full sizes' percentage");

    STORE_INFORMATION store = {};
    check(GetStoreInformation(&store) != FALSE, "the main storage is the system drive");
    check(store.dwStoreSize > 0 && store.dwFreeSize <= store.dwStoreSize, "free space within the store");
    check(GetStoreInformation(NULL) == FALSE, "no record, no answer");
    // The drive is larger than the record's 32 bits here: its percentage must survive the scaling.
    WCHAR windows[MAX_PATH];
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    WCHAR root[4] = {windows[0], L':', L'\\', 0};
    ULARGE_INTEGER available, total, free;
    GetDiskFreeSpaceExW(root, &available, &total, &free);
    GetStoreInformation(&store);
    check(sizePercent(store.dwFreeSize, store.dwStoreSize) == sizePercent(free.QuadPart, total.QuadPart),
          "the main storage percentage is the 64-bit sizes' percentage");
    std::printf("compat: main storage %llu of %llu bytes free, in the record %lu of %lu\n",
                static_cast<unsigned long long>(free.QuadPart), static_cast<unsigned long long>(total.QuadPart),
                static_cast<unsigned long>(store.dwFreeSize), static_cast<unsigned long>(store.dwStoreSize));
}

// Closes the first message box of this process that appears, keeping its caption and text.
struct BoxWatch {
    std::wstring caption;
    std::wstring text;
    bool seen = false;
};

DWORD WINAPI watchForBox(void* param) {
    BoxWatch* watch = static_cast<BoxWatch*>(param);
    for (int i = 0; i < 1000 && !watch->seen; ++i) {
        for (HWND box = FindWindowExW(NULL, NULL, L"#32770", NULL); box != NULL; box = FindWindowExW(NULL, box, L"#32770", NULL)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(box, &owner);
            if (owner != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
            WCHAR caption[64] = {0};
            WCHAR text[256] = {0};
            GetWindowTextW(box, caption, 64);
            GetDlgItemTextW(box, 0xFFFF, text, 256);  // a message box's text is its static control
            watch->caption = caption;
            watch->text = text;
            watch->seen = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            break;
        }
        Sleep(10);
    }
    return 0;
}

void warmReset() {
    BoxWatch watch;
    HANDLE watcher = CreateThread(NULL, 0, watchForBox, &watch, 0, NULL);
    SetLastError(0);
    BOOL reset = KernelIoControl(IOCTL_HAL_REBOOT, NULL, 0, NULL, 0, NULL);
    DWORD error = GetLastError();
    WaitForSingleObject(watcher, 15000);
    CloseHandle(watcher);
    check(reset == FALSE && error == ERROR_NOT_SUPPORTED, "a desktop refuses the warm reset");
    check(watch.seen && watch.caption == L"Orvo" && watch.text == L"This computer does not support Hot Reset.",
          "and says so in a message box captioned Orvo");
}

// The root's listing ends with the removable drives that hold a medium, as card directories whose
// names the space query takes; the run script maps one (R:) before this check when it can.
void removableDrivesAsCards() {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(L"\\*", &data);
    check(search != INVALID_HANDLE_VALUE, "the root can be listed");
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> cards;
    do {
        const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
        if ((data.dwFileAttributes & card) == card) cards.push_back(data.cFileName);
    } while (FindNextFileW(search, &data));
    check(FindClose(search) != FALSE, "the listing closes");
    std::vector<std::wstring> expected;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        WCHAR root[4] = {static_cast<WCHAR>(L'A' + i), L':', L'\\', 0};
        ULARGE_INTEGER a, t, f;
        if ((present & (1u << i)) && GetDriveTypeW(root) == DRIVE_REMOVABLE && GetDiskFreeSpaceExW(root, &a, &t, &f)) {
            expected.push_back(std::wstring(root, 2));
        }
    }
    check(cards == expected, "every removable drive with a medium, and nothing else, is a card");
    for (const std::wstring& name : cards) {
        ULARGE_INTEGER a, total, free, rootTotal, rootFree;
        std::wstring root = name + L"\\";
        check(GetDiskFreeSpaceExW(name.c_str(), &a, &total, &free) && GetDiskFreeSpaceExW(root.c_str(), &a, &rootTotal, &rootFree) &&
                  total.QuadPart == rootTotal.QuadPart && free.QuadPart == rootFree.QuadPart,
              "a card's name measures its drive");
    }
    std::printf("compat: %d removable drive(s) listed as cards\n", static_cast<int>(cards.size()));
    // Another pattern is the desktop's own search, closed by the same call.
    search = FindFirstFileW(L"C:\\windows\\*", &data);
    check(search != INVALID_HANDLE_VALUE && FindClose(search) != FALSE, "other searches are the desktop's own");
}

void installFolder() {
    WCHAR dir[MAX_PATH] = {0};
    WCHAR self[MAX_PATH] = {0};
    GetModuleFileNameW(NULL, self, MAX_PATH);
    std::wstring folder(self);
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    check(defaultInstallDir(dir, MAX_PATH) != FALSE && folder == dir, "the installation folder is the program's own");
    WCHAR small[4] = {L'x', 0};
    check(defaultInstallDir(small, 4) == FALSE && small[0] == L'x', "a folder that does not fit is refused untouched");
}

void iconsAndRegistry() {
    // The program's own icons (the resources are linked into this check): each at its own size.
    HINSTANCE self = GetModuleHandleW(NULL);
    for (int id : {TrayIconSmall, TrayIconLarge, ChargingIconSmall, ChargingIconLarge}) {
        HICON icon = LoadIconW(self, MAKEINTRESOURCEW(id));
        ICONINFO info = {};
        BITMAP mask = {};
        bool loaded = icon != NULL && GetIconInfo(icon, &info) && GetObjectW(info.hbmMask, sizeof mask, &mask);
        int expected = (id == TrayIconLarge || id == ChargingIconLarge) ? 32 : 16;
        check(loaded && mask.bmWidth == expected, "an icon loads at the size of its image");
        check(LoadIconW(self, MAKEINTRESOURCEW(id)) == icon, "an icon loaded again is the same shared handle");
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }

    const WCHAR key[] = L"Software\\OrvoCompatCheck";
    const WCHAR value[] = L"\\Program Files\\Marund\\Orvo";
    RegSetKeyValueW(HKEY_CURRENT_USER, key, L"InstallDir", REG_SZ, value, sizeof value);
    HKEY opened = NULL;
    WCHAR read[64] = {0};
    DWORD size = sizeof read;
    // The device opens keys with no access mask; on a desktop that handle must still read.
    bool ok = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, 0, &opened) == ERROR_SUCCESS &&
              RegQueryValueExW(opened, L"InstallDir", NULL, NULL, reinterpret_cast<BYTE*>(read), &size) == ERROR_SUCCESS;
    if (opened) RegCloseKey(opened);
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    check(ok && std::wstring(read) == value, "a key opened without an access mask reads");
}

void displayEscape() {
    HDC dc = GetDC(NULL);
    int power = SETPOWERMANAGEMENT;
    check(ExtEscape(dc, QUERYESCSUPPORT, sizeof power, reinterpret_cast<LPCSTR>(&power), 0, NULL) == 1,
          "the display's power escape is supported");
    VIDEO_POWER_MANAGEMENT tooShort = {};
    check(ExtEscape(dc, SETPOWERMANAGEMENT, 4, reinterpret_cast<LPCSTR>(&tooShort), 0, NULL) == -1,
          "a short power record is refused");
    ReleaseDC(NULL, dc);
}

void startupShortcut() {
    WCHAR folder[MAX_PATH] = {0};
    check(SHGetSpecialFolderPath(NULL, folder, CSIDL_STARTUP, FALSE) != FALSE, "the Startup folder is the user's");
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring link = std::wstring(temp) + L"OrvoCompatCheck.lnk";
    std::wstring program = std::wstring(temp) + L"Orvo Check\\orvo.exe";
    std::wstring quoted = L"\"" + program + L"\"";
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    check(SHCreateShortcut(&link[0], &quoted[0]) != FALSE, "a shortcut is written");
    check(_wcsicmp(shellLinkTarget(link).c_str(), program.c_str()) == 0, "it is a shell link to the program, without quotes");
    DeleteFileW(link.c_str());
    std::wstring nowhere = std::wstring(temp) + L"no such folder\\Orvo.lnk";
    check(SHCreateShortcut(&nowhere[0], &quoted[0]) == FALSE, "a shortcut that cannot be written fails");
    check(GetFileAttributesW(nowhere.c_str()) == INVALID_FILE_ATTRIBUTES, "and leaves no file");
    CoUninitialize();
}

// A dialog from the program's Programs template, as the program shows it.
INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    RECT listBefore;
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRAM_LIST), &listBefore);
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    check(SHInitDialog(&info) != FALSE, "the dialog helper takes the dialog");
    RECT frame;
    GetWindowRect(dialog, &frame);
    // Without the Pocket PC's taskbar it is an ordinary desktop dialog of its template's size,
    // centred in the work area along each side where it fits, at the area's edge where it does
    // not (its caption stays in reach), with a close box.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("compat: the dialog at %ld,%ld - %ld,%ld in the work area %ld,%ld - %ld,%ld\n", frame.left, frame.top,
                frame.right, frame.bottom, work.left, work.top, work.right, work.bottom);
    auto placed = [](long start, long end, long areaStart, long areaEnd) {
        if (end - start > areaEnd - areaStart) return start == areaStart;
        const long off = (start - areaStart) - (areaEnd - end);
        return start >= areaStart && end <= areaEnd && off >= -1 && off <= 1;
    };
    check(placed(frame.left, frame.right, work.left, work.right) && placed(frame.top, frame.bottom, work.top, work.bottom),
          "with no taskbar the dialog keeps its size, centred in the work area");
    check((GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU) != 0, "and it has a close box");
    HWND done = GetDlgItem(dialog, IDOK);
    RECT doneRect;
    RECT listAfter;
    GetWindowRect(done, &doneRect);
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRAM_LIST), &listAfter);
    check(done != NULL, "it has a Done button with the id IDOK");
    check(listAfter.top > listBefore.top && doneRect.bottom <= listAfter.top, "the controls move down below Done");
    check(doneRect.right > (frame.left + frame.right) / 2, "Done sits at the right");
    EndDialog(dialog, 1);
    return TRUE;
}

void fullScreenDialog() {
    HINSTANCE self = GetModuleHandleW(NULL);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(ProgramsDialogTemplate), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(self, found) : NULL;
    check(loaded != NULL, "the Programs template is in the resources");
    if (loaded == NULL) return;
    INT_PTR result = DialogBoxIndirectParamW(self, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), NULL, dialogProc, 0);
    check(result == 1, "the dialog ran");
}

}  // namespace

int main() {
    powerAndStorage();
    warmReset();
    removableDrivesAsCards();
    installFolder();
    iconsAndRegistry();
    displayEscape();
    startupShortcut();
    fullScreenDialog();
    checkSimulatorRules(check);
    std::printf("compat: %d of %d checks passed\n", gChecks - gFailures, gChecks);
    return gFailures == 0 ? 0 : 1;
}
