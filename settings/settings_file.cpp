#include "settings/settings_file.h"

#include "app/app_state.h"
#include "platform/try_once_more.h"
#include "settings/settings_dialog.h"
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

namespace {

// Where the settings file was found or made: FALSE the installation folder, TRUE the user's own
// folder (a desktop whose program folder cannot be written).
bool settingsInUserDir = false;
bool toldSaveFailed = false;

bool userSettingsPath(WCHAR path[SettingsPathUnits]) {
    WCHAR dir[InstallDirUnits];
    return userSettingsDir(dir, InstallDirUnits) != FALSE && buildSettingsFilePath(dir, path) != FALSE;
}

// Reads the file over the record; false when it does not open.
bool readSettingsFile(const WCHAR* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t bytes[SettingsRecordSize];
    DWORD read = 0;
    if (!ReadFile(file, bytes, SettingsRecordSize, &read, NULL)) read = 0;
    overlaySettingsImage(&settings, bytes, read <= SettingsRecordSize ? read : SettingsRecordSize);
    closeFile(file);
    return true;
}

// Makes a missing file with the record as it is (the defaults); false when none could be made.
bool createSettingsFile(const WCHAR* path) {
    // Only a missing file is made anew: a file that exists but did not open for reading keeps
    // the user's settings rather than being replaced by the defaults.
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t image[SettingsRecordSize];
    settingsToImage(settings, image);
    DWORD written = 0;
    BOOL wrote = WriteFile(file, image, SettingsRecordSize, &written, NULL);
    closeFile(file);
    // A file made here that did not receive the whole record would load as a short file at the
    // next start: none is better, and the next start makes it anew.
    if (!wrote || written != SettingsRecordSize) {
        DeleteFileW(path);
        return false;
    }
    return true;
}

// Writes the record over the start of the file; `disposition` OPEN_EXISTING never makes one.
bool writeSettingsFile(const WCHAR* path, DWORD disposition) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t image[SettingsRecordSize];
    settingsToImage(settings, image);
    DWORD written = 0;
    WriteFile(file, image, SettingsRecordSize, &written, NULL);
    closeFile(file);
    return true;
}

}  // namespace

void loadSettings() {
    settingsInUserDir = false;
    WCHAR path[SettingsPathUnits];
    // A file in the user's folder was made because the program's folder refused it: it is the
    // newer one.
    if (userSettingsPath(path) && readSettingsFile(path)) {
        settingsInUserDir = true;
    } else if (buildSettingsFilePath(installDir, path)) {
        if (!readSettingsFile(path) && !createSettingsFile(path)) {
            const DWORD why = GetLastError();
            // The program's folder cannot be written: the user's folder keeps the file instead.
            if (why != ERROR_FILE_EXISTS && why != ERROR_ALREADY_EXISTS && userSettingsPath(path) &&
                createSettingsFile(path)) {
                settingsInUserDir = true;
            }
        }
    }
    // A damaged file must not make the indicator spin or stop: a refresh outside the limits the
    // Settings dialog keeps is read as the default; the file keeps its bytes until a save.
    if (limitRefreshSeconds(settings.refreshSeconds) != settings.refreshSeconds) {
        settings.refreshSeconds = defaultSettings().refreshSeconds;
    }
}

void saveSettings() {
    WCHAR path[SettingsPathUnits];
    const bool inUserDir = settingsInUserDir;
    // The file is never re-created here: a deleted file stays deleted until the next start.
    if ((inUserDir ? userSettingsPath(path) : buildSettingsFilePath(installDir, path) != FALSE) &&
        writeSettingsFile(path, OPEN_EXISTING)) {
        return;
    }
    // Where there is a user's folder (a desktop), the program's folder that refuses the save
    // hands the file over to it, so that the change lasts.
    if (!inUserDir && userSettingsPath(path)) {
        if (writeSettingsFile(path, OPEN_ALWAYS)) {
            settingsInUserDir = true;
            return;
        }
    }
    if (!userSettingsPath(path) || toldSaveFailed) return;
    // Saved nowhere: the user is told once, rather than finding the change gone at the next start.
    toldSaveFailed = true;
    MessageBoxW(NULL, TEXT("Orvo could not save its settings: neither its own folder nor your application data folder can be written. The changes last until Orvo ends."),
                TEXT("Orvo"), MB_OK | MB_ICONEXCLAMATION);
}
