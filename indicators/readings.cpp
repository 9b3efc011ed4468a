#include "indicators/readings.h"

#include <cstring>

#include "settings/settings_record.h"

WCHAR cardList[CardListCapacity][CardNameUnits] = {};

namespace {
IndicatorReading numberReading(IndicatorKind kind, int32_t percent) { return IndicatorReading{kind, percent, NoStatusIcon}; }
IndicatorReading statusReading(IndicatorKind kind, StatusIcon icon) { return IndicatorReading{kind, 0, icon}; }
}  // namespace

int32_t percentOfTotal(uint32_t part, uint32_t total) {
    // A total of zero is never reported by a working device; it reads as nothing free.
    if (total == 0) return 0;
    double quotient = static_cast<double>(part) / static_cast<double>(total);
    return static_cast<int32_t>(quotient * 100.0);
}

int32_t cardPercent(uint64_t freeBytes, uint64_t totalBytes) {
    if (totalBytes == 0) return 0;
    uint64_t quotient = freeBytes * 100 / totalBytes;
    uint32_t low = static_cast<uint32_t>(quotient);
    int32_t result;
    std::memcpy(&result, &low, sizeof result);
    return result;
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

int enumerateStorageCards() {
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(TEXT("\\*"), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    for (;;) {
        if (isStorageCardEntry(data.dwFileAttributes)) {
            // cFileName holds at most MAX_PATH units with its terminator, so it fits a slot.
            data.cFileName[MAX_PATH - 1] = 0;
            wcscpy(cardList[count], data.cFileName);
            ++count;
        }
        if (count == CardListCapacity || !FindNextFileW(search, &data)) break;
    }
    FindClose(search);
    return count;
}

IndicatorReading measureIndicator(IndicatorKind kind) {
    switch (kind) {
        case Battery: {
            SYSTEM_POWER_STATUS_EX2 status;
            // A failed query leaves nothing to read: the charge counts as unknown.
            std::memset(&status, 0, sizeof status);
            status.BatteryLifePercent = BatteryPercentUnknown;
            GetSystemPowerStatusEx2(&status, sizeof status, TRUE);
            return batteryReading(status.BatteryLifePercent, status.BatteryFlag);
        }
        case ProgramMemory: {
            MEMORYSTATUS status;
            std::memset(&status, 0, sizeof status);
            status.dwLength = sizeof status;
            GlobalMemoryStatus(&status);
            return numberReading(kind, percentOfTotal(status.dwAvailPhys, status.dwTotalPhys));
        }
        case MainStorage: {
            STORE_INFORMATION info;
            std::memset(&info, 0, sizeof info);
            GetStoreInformation(&info);
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
