// Desktop definitions of the Pocket PC shell's Startup folder and shortcut services.
#include <shlobj.h>
#include <shobjidl.h>
// shlobj.h maps the name onto its W form; the name here is the device's, defined below.
#undef SHGetSpecialFolderPath

#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <string>

BOOL SHGetSpecialFolderPath(HWND owner, LPWSTR path, int folder, BOOL create) {
    return SHGetSpecialFolderPathW(owner, path, folder, create);
}

namespace {

// The program the device's shortcut target names: its command line without the quotes.
std::wstring programOf(LPCWSTR target) {
    std::wstring t(target);
    if (t.size() >= 2 && t.front() == L'"') {
        size_t close = t.find(L'"', 1);
        t = t.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    return t;
}

}  // namespace

// The device's shell writes its own small shortcut file; a desktop shell follows only its shell
// links, so the desktop build writes one of those, pointing at the same program.
DWORD SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    if (shortcut == NULL || target == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = NULL;
    IPersistFile* file = NULL;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        saved = SUCCEEDED(link->SetPath(programOf(target).c_str())) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Save(shortcut, TRUE));
        if (file != NULL) file->Release();
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    // A half-written link would start nothing: leave none instead.
    if (!saved) DeleteFileW(shortcut);
    return saved ? TRUE : FALSE;
}

#endif  // !_WIN32_WCE
