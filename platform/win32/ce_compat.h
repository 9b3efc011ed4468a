// Declarations of the Pocket PC operations that desktop Windows does not have. The compatibility
// layer of the Windows build defines them on top of desktop services.
#pragma once

#include <windows.h>

#ifndef SHIDIM_FLAGS
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;
#endif

#ifndef VK_OFF
#define VK_OFF 0xDF
#endif
#ifndef KEYEVENTF_SILENT
#define KEYEVENTF_SILENT 0x0004
#endif
#ifndef IOCTL_HAL_REBOOT
#define IOCTL_HAL_REBOOT 0x0101003C
#endif
#ifndef SETPOWERMANAGEMENT
#define SETPOWERMANAGEMENT 6147
#endif
#ifndef VideoPowerOff
#define VideoPowerOn 1
#define VideoPowerOff 4
#endif
#ifndef CSIDL_STARTUP
#define CSIDL_STARTUP 0x0007
#endif
#ifndef BATTERY_FLAG_CHARGING
#define BATTERY_FLAG_CHARGING 0x08
#endif

typedef struct _SYSTEM_POWER_STATUS_EX2 {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
    BYTE Reserved2;
    BYTE BackupBatteryFlag;
    BYTE BackupBatteryLifePercent;
    BYTE Reserved3;
    DWORD BackupBatteryLifeTime;
    DWORD BackupBatteryFullLifeTime;
    DWORD BatteryVoltage;
    DWORD BatteryCurrent;
    DWORD BatteryAverageCurrent;
    DWORD BatteryAverageInterval;
    DWORD BatterymAHourConsumed;
    DWORD BatteryTemperature;
    DWORD BackupBatteryVoltage;
    BYTE BatteryChemistry;
} SYSTEM_POWER_STATUS_EX2, *PSYSTEM_POWER_STATUS_EX2;

typedef struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
} STORE_INFORMATION, *LPSTORE_INFORMATION;

typedef struct _VIDEO_POWER_MANAGEMENT {
    ULONG Length;
    ULONG DPMSVersion;
    ULONG PowerState;
} VIDEO_POWER_MANAGEMENT;

DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL update);
BOOL GetStoreInformation(LPSTORE_INFORMATION info);
BOOL KernelIoControl(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned);
BOOL SHInitDialog(PSHINITDLGINFO info);
BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create);
DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target);

// Operations that desktop Windows has under the same name but with another meaning; the logic's
// calls reach the device's meaning through these (see ce_compat.cpp).
HICON ceLoadIcon(HINSTANCE instance, LPCWSTR name);
// The device's memory record holds 32-bit sizes; a desktop's fields are as wide as a pointer and
// its memory passes 4 GB, so each pair is scaled alike (see size_scaling.h).
void ceGlobalMemoryStatus(LPMEMORYSTATUS status);
// The device's root, "\*", lists its storage cards as directories; a desktop has none there, so
// its removable drives holding a medium follow the root's own entries as card directories named
// by their drive ("E:"), which the space query takes as they are.
HANDLE ceFindFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL ceFindNextFile(HANDLE search, LPWIN32_FIND_DATAW data);
BOOL ceFindClose(HANDLE search);
LONG ceRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
void ceKeybdEvent(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra);
int ceExtEscape(HDC dc, int escape, int inSize, LPCSTR in, int outSize, LPSTR out);
#define LoadIconW ceLoadIcon
#define GlobalMemoryStatus ceGlobalMemoryStatus
#define FindFirstFileW ceFindFirstFile
#define FindNextFileW ceFindNextFile
#define FindClose ceFindClose
#define RegOpenKeyExW ceRegOpenKeyEx
#define keybd_event ceKeybdEvent
#define ExtEscape ceExtEscape
