// Desktop definitions of the device's root listing: the root's own entries, then the removable
// drives that hold a medium, as storage-card directories.
#include "platform/win32/win32_api.h"

#ifndef _WIN32_WCE

#include <cstring>
#include <set>
#include <vector>

// The names below are the desktop's own operations from here on.
#undef FindFirstFileW
#undef FindNextFileW
#undef FindClose

namespace {

// A listing of the root: the desktop's own search of it, then the card drives still to report.
struct RootListing {
    HANDLE own = INVALID_HANDLE_VALUE;
    std::vector<WCHAR> drives;  // drive letters
    size_t next = 0;
};

// Listings are told from the desktop's own search handles by their address.
std::set<HANDLE> gListings;

bool isRootPattern(LPCWSTR pattern) { return pattern != NULL && wcscmp(pattern, L"\\*") == 0; }

// Removable drives (a card reader, a USB stick) with a medium in them: an empty reader is no card.
std::vector<WCHAR> cardDrives() {
    std::vector<WCHAR> drives;
    const DWORD present = GetLogicalDrives();
    // An empty drive must not make the system ask the user to insert a disk.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (int i = 0; i < 26; ++i) {
        if ((present & (1u << i)) == 0) continue;
        WCHAR root[4] = {static_cast<WCHAR>(L'A' + i), L':', L'\\', 0};
        ULARGE_INTEGER available, total, free;
        if (GetDriveTypeW(root) == DRIVE_REMOVABLE && GetDiskFreeSpaceExW(root, &available, &total, &free)) {
            drives.push_back(root[0]);
        }
    }
    SetErrorMode(oldMode);
    return drives;
}

void fillCardEntry(WCHAR drive, LPWIN32_FIND_DATAW data) {
    std::memset(data, 0, sizeof *data);
    data->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    data->cFileName[0] = drive;
    data->cFileName[1] = L':';
}

BOOL nextCard(RootListing* listing, LPWIN32_FIND_DATAW data) {
    if (listing->next >= listing->drives.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    fillCardEntry(listing->drives[listing->next++], data);
    return TRUE;
}

}  // namespace

HANDLE ceFindFirstFile(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    if (!isRootPattern(pattern) || data == NULL) return FindFirstFileW(pattern, data);
    RootListing* listing = new RootListing;
    listing->drives = cardDrives();
    listing->own = FindFirstFileW(pattern, data);
    if (listing->own == INVALID_HANDLE_VALUE && !nextCard(listing, data)) {
        delete listing;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = static_cast<HANDLE>(listing);
    gListings.insert(handle);
    return handle;
}

BOOL ceFindNextFile(HANDLE search, LPWIN32_FIND_DATAW data) {
    if (gListings.count(search) == 0) return FindNextFileW(search, data);
    RootListing* listing = static_cast<RootListing*>(search);
    if (listing->own != INVALID_HANDLE_VALUE) {
        if (FindNextFileW(listing->own, data)) return TRUE;
        FindClose(listing->own);
        listing->own = INVALID_HANDLE_VALUE;
    }
    return nextCard(listing, data);
}

BOOL ceFindClose(HANDLE search) {
    if (gListings.erase(search) == 0) return FindClose(search);
    RootListing* listing = static_cast<RootListing*>(search);
    if (listing->own != INVALID_HANDLE_VALUE) FindClose(listing->own);
    delete listing;
    return TRUE;
}

#endif  // !_WIN32_WCE
