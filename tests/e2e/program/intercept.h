// Included before every file of the program's logic in the test build: the operations of the
// seam go through the image's table instead of straight to the platform.
#pragma once

#include "tests/e2e/program/hooks.h"

extern OrvoE2eHooks orvoE2eHookTable;

#undef Shell_NotifyIcon
#define Shell_NotifyIcon orvoE2eHookTable.Shell_NotifyIconW_op
#undef keybd_event
#define keybd_event orvoE2eHookTable.keybd_event_op
#define SetTimer orvoE2eHookTable.SetTimer_op
#define KillTimer orvoE2eHookTable.KillTimer_op
#define SHGetSpecialFolderPath orvoE2eHookTable.SHGetSpecialFolderPath_op
#define SHCreateShortcut orvoE2eHookTable.SHCreateShortcut_op
#define DeleteFileW orvoE2eHookTable.DeleteFileW_op
#define TrackPopupMenuEx orvoE2eHookTable.TrackPopupMenuEx_op
#define MessageBoxW orvoE2eHookTable.MessageBoxW_op
#define FindResourceW orvoE2eHookTable.FindResourceW_op
#define DialogBoxIndirectParamW orvoE2eHookTable.DialogBoxIndirectParamW_op
#define ShowWindow orvoE2eHookTable.ShowWindow_op
#define SetForegroundWindow orvoE2eHookTable.SetForegroundWindow_op
#define BringWindowToTop orvoE2eHookTable.BringWindowToTop_op
#define GetSystemPowerStatusEx2 orvoE2eHookTable.GetSystemPowerStatusEx2_op
#undef GlobalMemoryStatus
#define GlobalMemoryStatus orvoE2eHookTable.GlobalMemoryStatus_op
#define GetStoreInformation orvoE2eHookTable.GetStoreInformation_op
#define GetDiskFreeSpaceExW orvoE2eHookTable.GetDiskFreeSpaceExW_op
#undef FindFirstFileW
#define FindFirstFileW orvoE2eHookTable.FindFirstFileW_op
#undef FindNextFileW
#define FindNextFileW orvoE2eHookTable.FindNextFileW_op
#undef ExtEscape
#define ExtEscape orvoE2eHookTable.ExtEscape_op
#define KernelIoControl orvoE2eHookTable.KernelIoControl_op
#define defaultInstallDir orvoE2eHookTable.defaultInstallDir_op
