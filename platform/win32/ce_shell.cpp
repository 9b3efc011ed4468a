// Desktop definitions of the Pocket PC shell's Startup folder and shortcut services.
#include <shlobj.h>
// shlobj.h maps the name onto its W form; the name here is the device's, defined below.
#undef SHGetSpecialFolderPath

#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <string>

BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create) {
    return SHGetSpecialFolderPathW(owner, path, folder, create);
}

// The device's shortcut is a small text file, "<length>#<command line>", in single-byte
// characters; the shell of the device starts the command line when it opens the file. The
// desktop build writes that same file, so that a settings file and its shortcut mean the same
// on both. A desktop shell does not follow such a file: it is a device shortcut, not a .lnk.
DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    if (shortcut == NULL || target == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t length = wcslen(target);
    std::string bytes = std::to_string(length) + "#";
    for (size_t i = 0; i < length; ++i) {
        WCHAR c = target[i];
        bytes += static_cast<char>(c < 0x100 ? c : L'?');
    }
    HANDLE file = CreateFileW(shortcut, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
              written == bytes.size();
    CloseHandle(file);
    if (!ok) {
        // A half-written shortcut would start a truncated command line: leave none instead.
        DeleteFileW(shortcut);
        return FALSE;
    }
    return TRUE;
}

#endif  // !_WIN32_WCE
