// The persisted settings: one 652-byte record whose memory layout is the settings file's.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/winapi.h"

constexpr size_t SettingsRecordSize = 652;
constexpr size_t StorageCardNameUnits = 262;

struct SettingsRecord {
    uint32_t formatTag;
    uint8_t reserved1[64];
    int32_t showBattery;
    int32_t showProgramMemory;
    int32_t showMainStorage;
    int32_t showStorageCard;
    int32_t refreshSeconds;
    uint8_t reserved2[4];
    WCHAR storageCardName[StorageCardNameUnits];
    int32_t confirmCloseAll;
    int32_t runAtStartup;
    int32_t largeIcons;
    int32_t iconX;
    uint8_t reserved3[20];
};

static_assert(sizeof(WCHAR) == 2, "text is UTF-16");
static_assert(sizeof(SettingsRecord) == SettingsRecordSize, "the record is the file image");
static_assert(offsetof(SettingsRecord, showBattery) == 68, "file layout");
static_assert(offsetof(SettingsRecord, refreshSeconds) == 84, "file layout");
static_assert(offsetof(SettingsRecord, storageCardName) == 92, "file layout");
static_assert(offsetof(SettingsRecord, confirmCloseAll) == 616, "file layout");
static_assert(offsetof(SettingsRecord, iconX) == 628, "file layout");

// The program's one settings record.
extern SettingsRecord settings;

SettingsRecord defaultSettings();

// The record's little-endian file image, and the record from an image; both keep every byte.
void settingsToImage(const SettingsRecord& record, uint8_t image[SettingsRecordSize]);
SettingsRecord settingsFromImage(const uint8_t image[SettingsRecordSize]);

// Overlays the first `size` bytes of a file (at most 652) on the record, as a load does; the rest
// keeps its values. Every byte is taken as it is, a card name without a terminator included.
void overlaySettingsImage(SettingsRecord* record, const uint8_t* bytes, size_t size);

// The storage card name as a terminated string. A file written by something else may fill the
// field without a terminator; such a name ends with the field, and nothing past it is read.
void storageCardNameText(const SettingsRecord& record, WCHAR name[StorageCardNameUnits + 1]);

// largeIcons counts only when it equals 1; the other flags count when non-zero.
inline bool usesLargeIcons(const SettingsRecord& record) { return record.largeIcons == 1; }
