#include "indicators/readings.h"

#include <cstring>

#include "settings/settings_record.h"

WCHAR cardList[CardListCapacity][CardNameUnits] = {};

namespace {
IndicatorReading numberReading(IndicatorKind kind, int32_t percent) { return IndicatorReading{kind, percent, NoStatusIcon, true}; }
IndicatorReading statusReading(IndicatorKind kind, StatusIcon icon) { return IndicatorReading{kind, 0, icon, true}; }
IndicatorReading noReading(IndicatorKind kind) { return IndicatorReading{kind, 0, NoStatusIcon, false}; }

// floor(value * 100 / divisor) for value <= divisor, without overflow for any 64-bit sizes: the
// product is carried in two 64-bit halves and divided bit by bit.
uint64_t hundredthsOf(uint64_t value, uint64_t divisor) {
    const uint64_t low32 = value & 0xFFFFFFFFu;
    const uint64_t high32 = value >> 32;
    const uint64_t lowProduct = low32 * 100;
    const uint64_t highProduct = high32 * 100 + (lowProduct >> 32);
    uint64_t high = highProduct >> 32;
    uint64_t low = (highProduct << 32) | (lowProduct & 0xFFFFFFFFu);
    uint64_t remainder = 0;
    uint64_t quotient = 0;
    for (int bit = 127; bit >= 0; --bit) {
        const uint64_t next = bit >= 64 ? (high >> (bit - 64)) & 1 : (low >> bit) & 1;
        const bool carry = (remainder >> 63) != 0;
        remainder = (remainder << 1) | next;
        quotient <<= 1;
        if (carry || remainder >= divisor) {
            remainder -= divisor;
            quotient |= 1;
        }
    }
    return quotient;
}
}  // namespace

int32_t percentOfTotal(uint32_t part, uint32_t total) {
    // A total of zero is never reported by a working device; it reads as nothing free.
    if (total == 0) return 0;
    // More free than there is in all is no reading a percentage can go past.
    if (part >= total) return 100;
    double quotient = static_cast<double>(part) / static_cast<double>(total);
    return static_cast<int32_t>(quotient * 100.0);
}

int32_t cardPercent(uint64_t freeBytes, uint64_t totalBytes) {
    if (totalBytes == 0) return 0;
    if (freeBytes >= totalBytes) return 100;
    return static_cast<int32_t>(hundredthsOf(freeBytes, totalBytes));
}

IndicatorReading batteryReading(BYTE lifePercent, BYTE flag) {
    if (lifePercent != BatteryPercentUnknown) return numberReading(Battery, lifePercent);
    // An equality, not a bit test: charging and high (9) counts as not charging.
    return statusReading(Battery, flag == BATTERY_FLAG_CHARGING ? ChargingIcon : BatteryUnknownIcon);
}

BOOL isStorageCardEntry(DWORD attributes) {
    const DWORD card = FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_DIRECTORY;
    return (attributes & card) == card;
}

namespace {

// One pass over the root; false when the search failed on the way (not merely at its end).
bool listStorageCards(int* count) {
    WIN32_FIND_DATAW data;
    *count = 0;
    HANDLE search = FindFirstFileW(TEXT("\\*"), &data);
    // The root always holds entries: no search handle is a failure, not an empty root.
    if (search == INVALID_HANDLE_VALUE) return false;
    bool complete = true;
    for (;;) {
        if (isStorageCardEntry(data.dwFileAttributes)) {
            // cFileName holds at most MAX_PATH units with its terminator, so it fits a slot.
            data.cFileName[MAX_PATH - 1] = 0;
            wcscpy(cardList[*count], data.cFileName);
            ++*count;
        }
        if (*count == CardListCapacity) break;
        if (!FindNextFileW(search, &data)) {
            complete = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
    }
    FindClose(search);
    return complete;
}

}  // namespace

int enumerateStorageCards(bool* complete) {
    int count = 0;
    const bool listed = listStorageCards(&count);
    if (complete != NULL) *complete = listed;
    return count;
}

IndicatorReading measureIndicator(IndicatorKind kind) {
    switch (kind) {
        case Battery: {
            SYSTEM_POWER_STATUS_EX2 status;
            // A failed query leaves nothing to read: the charge counts as unknown.
            std::memset(&status, 0, sizeof status);
            if (GetSystemPowerStatusEx2(&status, sizeof status, TRUE) == 0) return noReading(kind);
            return batteryReading(status.BatteryLifePercent, status.BatteryFlag);
        }
        case ProgramMemory: {
            MEMORYSTATUS status;
            std::memset(&status, 0, sizeof status);
            status.dwLength = sizeof status;
            GlobalMemoryStatus(&status);
            // The query reports nothing of its own failure: a total it never filled in tells.
            if (status.dwTotalPhys == 0) return noReading(kind);
            return numberReading(kind, percentOfTotal(status.dwAvailPhys, status.dwTotalPhys));
        }
        case MainStorage: {
            STORE_INFORMATION info;
            std::memset(&info, 0, sizeof info);
            if (!GetStoreInformation(&info) || info.dwStoreSize == 0) return noReading(kind);
            return numberReading(kind, percentOfTotal(info.dwFreeSize, info.dwStoreSize));
        }
        case StorageCard:
        default: {
            if (enumerateStorageCards() == 0) return statusReading(StorageCard, NoCardIcon);
            ULARGE_INTEGER freeToCaller;
            ULARGE_INTEGER total;
            ULARGE_INTEGER totalFree;
            WCHAR name[StorageCardNameUnits + 1];
            storageCardNameText(settings, name);
            if (!GetDiskFreeSpaceExW(name, &freeToCaller, &total, &totalFree)) {
                return statusReading(StorageCard, NoCardIcon);
            }
            return numberReading(StorageCard, cardPercent(totalFree.QuadPart, total.QuadPart));
        }
    }
}
