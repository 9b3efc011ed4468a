// Where the program is installed, as the registry records it.
#pragma once

#include "platform/winapi.h"

// Copies a registry value of `size` bytes into installDir; FALSE when it does not fit there with
// its terminator (installDir is then untouched).
BOOL copyInstallDirValue(const BYTE* value, DWORD size);

// TRUE when installDir was read from HKEY_CURRENT_USER "Software\Marund\Orvo" "InstallDir".
BOOL readInstallDir();
