// The seam between the program's logic and the device: the platform operations that a desktop
// system cannot carry out as a Pocket PC does (its clock, notification area, Startup folder,
// power, storage, cards, keys, display driver, reset and installation folder), or whose calls the
// end-to-end runner reports as events. The logic calls them through one table
// (device_seam_calls.h), filled with the real operations (device_seam.cpp); the end-to-end test
// image exports the table, and its runner puts its stand-in device's operations in it. The logic
// is compiled once for orvo.exe and that image alike.
#pragma once

#include "platform/win32/win32_api.h"

// X(result, name, parameters, arguments)
#define ORVO_DEVICE_SEAM(X)                                                                                      \
    X(UINT_PTR, SetTimer, (HWND w, UINT_PTR id, UINT ms, TIMERPROC p), (w, id, ms, p))                         \
    X(BOOL, KillTimer, (HWND w, UINT_PTR id), (w, id))                                                         \
    X(BOOL, Shell_NotifyIconW, (DWORD m, PNOTIFYICONDATAW d), (m, d))                                          \
    X(BOOL, SHGetSpecialFolderPath, (HWND w, LPWSTR p, int f, BOOL c), (w, p, f, c))                           \
    X(DWORD, SHCreateShortcut, (LPWSTR s, LPWSTR t), (s, t))                                                   \
    X(BOOL, DeleteFileW, (LPCWSTR p), (p))                                                                     \
    X(BOOL, TrackPopupMenuEx, (HMENU m, UINT f, int x, int y, HWND w, LPTPMPARAMS p), (m, f, x, y, w, p))      \
    X(int, MessageBoxW, (HWND w, LPCWSTR t, LPCWSTR c, UINT s), (w, t, c, s))                                  \
    X(HRSRC, FindResourceW, (HMODULE m, LPCWSTR n, LPCWSTR t), (m, n, t))                                      \
    X(INT_PTR, DialogBoxIndirectParamW, (HINSTANCE i, LPCDLGTEMPLATEW t, HWND w, DLGPROC p, LPARAM l),         \
      (i, t, w, p, l))                                                                                         \
    X(BOOL, ShowWindow, (HWND w, int c), (w, c))                                                               \
    X(BOOL, SetForegroundWindow, (HWND w), (w))                                                                \
    X(BOOL, BringWindowToTop, (HWND w), (w))                                                                   \
    X(DWORD, GetSystemPowerStatusEx2, (PSYSTEM_POWER_STATUS_EX2 s, DWORD n, BOOL u), (s, n, u))                \
    X(void, GlobalMemoryStatus, (LPMEMORYSTATUS s), (s))                                                       \
    X(BOOL, GetStoreInformation, (LPSTORE_INFORMATION s), (s))                                                 \
    X(BOOL, GetDiskFreeSpaceExW, (LPCWSTR d, PULARGE_INTEGER a, PULARGE_INTEGER t, PULARGE_INTEGER f),         \
      (d, a, t, f))                                                                                            \
    X(HANDLE, FindFirstFileW, (LPCWSTR p, LPWIN32_FIND_DATAW d), (p, d))                                       \
    X(BOOL, FindNextFileW, (HANDLE h, LPWIN32_FIND_DATAW d), (h, d))                                           \
    X(void, keybd_event, (BYTE v, BYTE s, DWORD f, ULONG_PTR e), (v, s, f, e))                                 \
    X(int, ExtEscape, (HDC d, int e, int n, LPCSTR i, int m, LPSTR o), (d, e, n, i, m, o))                     \
    X(BOOL, KernelIoControl, (DWORD c, LPVOID i, DWORD n, LPVOID o, DWORD m, LPDWORD r), (c, i, n, o, m, r)) \
    X(BOOL, defaultInstallDir, (LPWSTR d, DWORD n), (d, n))                                                   \
    X(HANDLE, CreateMutexW, (LPSECURITY_ATTRIBUTES a, BOOL o, LPCWSTR n), (a, o, n))                           \
    X(BOOL, notificationDigitsDark, (), ())

struct DeviceSeam {
#define ORVO_DEVICE_SEAM_MEMBER(result, name, parameters, arguments) result(WINAPI* name##_op) parameters;
    ORVO_DEVICE_SEAM(ORVO_DEVICE_SEAM_MEMBER)
#undef ORVO_DEVICE_SEAM_MEMBER
};

extern DeviceSeam orvoDeviceSeam;

// Exported by the end-to-end test image: its table, and its entry point (the program's WinMain).
typedef DeviceSeam*(__cdecl* OrvoE2eHooksFunction)();
typedef int(__cdecl* OrvoE2eMainFunction)(HINSTANCE instance);
