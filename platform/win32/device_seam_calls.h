// Included before every file of the program's logic in the Windows build: the operations of the
// device's seam go through its table (device_seam.h) instead of straight to the platform.
#pragma once

#include "platform/win32/device_seam.h"

#undef Shell_NotifyIcon
#define Shell_NotifyIcon orvoDeviceSeam.Shell_NotifyIconW_op
#undef keybd_event
#define keybd_event orvoDeviceSeam.keybd_event_op
#define SetTimer orvoDeviceSeam.SetTimer_op
#define KillTimer orvoDeviceSeam.KillTimer_op
#define SHGetSpecialFolderPath orvoDeviceSeam.SHGetSpecialFolderPath_op
#define SHCreateShortcut orvoDeviceSeam.SHCreateShortcut_op
#define DeleteFileW orvoDeviceSeam.DeleteFileW_op
#define TrackPopupMenuEx orvoDeviceSeam.TrackPopupMenuEx_op
#define notificationDigitsDark orvoDeviceSeam.notificationDigitsDark_op
#define MessageBoxW orvoDeviceSeam.MessageBoxW_op
#define FindResourceW orvoDeviceSeam.FindResourceW_op
#define DialogBoxIndirectParamW orvoDeviceSeam.DialogBoxIndirectParamW_op
#define ShowWindow orvoDeviceSeam.ShowWindow_op
#define SetForegroundWindow orvoDeviceSeam.SetForegroundWindow_op
#define BringWindowToTop orvoDeviceSeam.BringWindowToTop_op
#define GetSystemPowerStatusEx2 orvoDeviceSeam.GetSystemPowerStatusEx2_op
#undef GlobalMemoryStatus
#define GlobalMemoryStatus orvoDeviceSeam.GlobalMemoryStatus_op
#define GetStoreInformation orvoDeviceSeam.GetStoreInformation_op
#define GetDiskFreeSpaceExW orvoDeviceSeam.GetDiskFreeSpaceExW_op
#undef FindFirstFileW
#define FindFirstFileW orvoDeviceSeam.FindFirstFileW_op
#undef FindNextFileW
#define FindNextFileW orvoDeviceSeam.FindNextFileW_op
#undef ExtEscape
#define ExtEscape orvoDeviceSeam.ExtEscape_op
#define KernelIoControl orvoDeviceSeam.KernelIoControl_op
#define defaultInstallDir orvoDeviceSeam.defaultInstallDir_op
#undef CreateMutexW
#define CreateMutexW orvoDeviceSeam.CreateMutexW_op
