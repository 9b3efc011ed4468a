// Checks of the desktop layer (platform/win32/ce_*.cpp) on the real system: what the end-to-end
// runner replaces with its stand-in device is checked here as the desktop program runs it.
//   orvo-compat-check.exe   (exit status 0 when every check holds)
#include "platform/win32/win32_api.h"

#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <string>

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

    STORE_INFORMATION store = {};
    check(GetStoreInformation(&store) != FALSE, "the main storage is the system drive");
    check(store.dwStoreSize > 0 && store.dwFreeSize <= store.dwStoreSize, "free space within the store");
    check(GetStoreInformation(NULL) == FALSE, "no record, no answer");

    SetLastError(0);
    check(KernelIoControl(IOCTL_HAL_REBOOT, NULL, 0, NULL, 0, NULL) == FALSE && GetLastError() == ERROR_NOT_SUPPORTED,
          "a desktop refuses the warm reset");
}

void iconsAndRegistry() {
    // The program's own icons (the resources are linked into this check): each at its own size.
    HINSTANCE self = GetModuleHandleW(NULL);
    for (int id : {161, 160, 121, 185}) {
        HICON icon = LoadIconW(self, MAKEINTRESOURCEW(id));
        ICONINFO info = {};
        BITMAP mask = {};
        bool loaded = icon != NULL && GetIconInfo(icon, &info) && GetObjectW(info.hbmMask, sizeof mask, &mask);
        int expected = (id == 160 || id == 185) ? 32 : 16;
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

std::wstring linkTarget(const std::wstring& path) {
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    WCHAR target[MAX_PATH] = {0};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, NULL, SLGP_RAWPATH);
        }
        if (file) file->Release();
        link->Release();
    }
    return target;
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
    check(_wcsicmp(linkTarget(link).c_str(), program.c_str()) == 0, "it is a shell link to the program, without quotes");
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
    GetWindowRect(GetDlgItem(dialog, 1017), &listBefore);
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    check(SHInitDialog(&info) != FALSE, "the dialog helper takes the dialog");
    RECT frame;
    GetWindowRect(dialog, &frame);
    check(frame.left == 0 && frame.top == 0 && frame.right == GetSystemMetrics(SM_CXSCREEN) &&
              frame.bottom == GetSystemMetrics(SM_CYSCREEN),
          "with no taskbar the dialog fills the screen");
    HWND done = GetDlgItem(dialog, IDOK);
    RECT doneRect;
    RECT listAfter;
    GetWindowRect(done, &doneRect);
    GetWindowRect(GetDlgItem(dialog, 1017), &listAfter);
    check(done != NULL, "it has a Done button with the id IDOK");
    check(listAfter.top > listBefore.top && doneRect.bottom <= listAfter.top, "the controls move down below Done");
    check(doneRect.right > (frame.left + frame.right) / 2, "Done sits at the right");
    EndDialog(dialog, 1);
    return TRUE;
}

void fullScreenDialog() {
    HINSTANCE self = GetModuleHandleW(NULL);
    HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(162), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(self, found) : NULL;
    check(loaded != NULL, "the Programs template is in the resources");
    if (loaded == NULL) return;
    INT_PTR result = DialogBoxIndirectParamW(self, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), NULL, dialogProc, 0);
    check(result == 1, "the dialog ran");
}

}  // namespace

int main() {
    powerAndStorage();
    iconsAndRegistry();
    displayEscape();
    startupShortcut();
    fullScreenDialog();
    std::printf("compat: %d of %d checks passed\n", gChecks - gFailures, gChecks);
    return gFailures == 0 ? 0 : 1;
}
