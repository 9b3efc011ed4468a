#include "settings/settings_file.h"

#include "app/app_state.h"
#include "platform/try_once_more.h"
#include "settings/settings_record.h"

namespace {
void closeFile(HANDLE file) {
    // Lasting harm otherwise: the file stays open unshared, the next save fails and its settings are lost.
    tryOnceMore([&] { return CloseHandle(file) != FALSE; });
}
}  // namespace

BOOL buildSettingsFilePath(const WCHAR* dir, WCHAR path[SettingsPathUnits]) {
    static const WCHAR fileName[] = TEXT("\\orvo.dat");
    const size_t nameUnits = sizeof fileName / sizeof fileName[0];  // with its terminator
    size_t dirUnits = wcslen(dir);
    path[0] = 0;
    // A path cut short would name another file: such a directory gets no settings file.
    if (dirUnits + nameUnits > static_cast<size_t>(SettingsPathUnits)) return FALSE;
    wcscpy(path, dir);
    wcscat(path, fileName);
    return TRUE;
}

void loadSettings() {
    WCHAR path[SettingsPathUnits];
    if (!buildSettingsFilePath(installDir, path)) return;
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        uint8_t bytes[SettingsRecordSize];
        DWORD read = 0;
        if (!ReadFile(file, bytes, SettingsRecordSize, &read, NULL)) read = 0;
        overlaySettingsImage(&settings, bytes, read <= SettingsRecordSize ? read : SettingsRecordSize);
        closeFile(file);
        return;
    }
    // Only a missing file is made anew: a file that exists but did not open for reading keeps
    // the user's settings rather than being replaced by the defaults.
    file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    uint8_t image[SettingsRecordSize];
    settingsToImage(settings, image);
    DWORD written = 0;
    BOOL wrote = WriteFile(file, image, SettingsRecordSize, &written, NULL);
    closeFile(file);
    // A file made here that did not receive the whole record would load as a short file at the
    // next start: none is better, and the next start makes it anew.
    if (!wrote || written != SettingsRecordSize) DeleteFileW(path);
}

void saveSettings() {
    WCHAR path[SettingsPathUnits];
    if (!buildSettingsFilePath(installDir, path)) return;
    // The file is never re-created here: a deleted file stays deleted until the next start.
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    uint8_t image[SettingsRecordSize];
    settingsToImage(settings, image);
    DWORD written = 0;
    WriteFile(file, image, SettingsRecordSize, &written, NULL);
    closeFile(file);
}
