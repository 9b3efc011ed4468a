#include "settings/settings_record.h"

#include <cstring>

SettingsRecord settings = defaultSettings();

SettingsRecord defaultSettings() {
    SettingsRecord r;
    std::memset(&r, 0, sizeof r);
    r.formatTag = 270;
    r.showBattery = 1;
    r.showProgramMemory = 1;
    r.showMainStorage = 1;
    r.showStorageCard = 0;
    r.refreshSeconds = 2;
    r.confirmCloseAll = 1;
    r.runAtStartup = 1;
    r.largeIcons = 0;
    r.iconX = 120;
    return r;
}

namespace {

void put32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

int32_t getSigned32(const uint8_t* at) {
    uint32_t v = get32(at);
    int32_t s;
    std::memcpy(&s, &v, sizeof s);
    return s;
}

uint32_t unsignedOf(int32_t v) {
    uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

}  // namespace

void settingsToImage(const SettingsRecord& r, uint8_t image[SettingsRecordSize]) {
    put32(image + 0, r.formatTag);
    std::memcpy(image + 4, r.reserved1, sizeof r.reserved1);
    put32(image + 68, unsignedOf(r.showBattery));
    put32(image + 72, unsignedOf(r.showProgramMemory));
    put32(image + 76, unsignedOf(r.showMainStorage));
    put32(image + 80, unsignedOf(r.showStorageCard));
    put32(image + 84, unsignedOf(r.refreshSeconds));
    std::memcpy(image + 88, r.reserved2, sizeof r.reserved2);
    for (size_t i = 0; i < StorageCardNameUnits; ++i) {
        uint16_t unit = static_cast<uint16_t>(r.storageCardName[i]);
        image[92 + 2 * i] = static_cast<uint8_t>(unit & 0xFF);
        image[92 + 2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
    put32(image + 616, unsignedOf(r.confirmCloseAll));
    put32(image + 620, unsignedOf(r.runAtStartup));
    put32(image + 624, unsignedOf(r.largeIcons));
    put32(image + 628, unsignedOf(r.iconX));
    std::memcpy(image + 632, r.reserved3, sizeof r.reserved3);
}

SettingsRecord settingsFromImage(const uint8_t image[SettingsRecordSize]) {
    SettingsRecord r;
    r.formatTag = get32(image + 0);
    std::memcpy(r.reserved1, image + 4, sizeof r.reserved1);
    r.showBattery = getSigned32(image + 68);
    r.showProgramMemory = getSigned32(image + 72);
    r.showMainStorage = getSigned32(image + 76);
    r.showStorageCard = getSigned32(image + 80);
    r.refreshSeconds = getSigned32(image + 84);
    std::memcpy(r.reserved2, image + 88, sizeof r.reserved2);
    for (size_t i = 0; i < StorageCardNameUnits; ++i) {
        r.storageCardName[i] = static_cast<WCHAR>(image[92 + 2 * i] | (image[92 + 2 * i + 1] << 8));
    }
    r.confirmCloseAll = getSigned32(image + 616);
    r.runAtStartup = getSigned32(image + 620);
    r.largeIcons = getSigned32(image + 624);
    r.iconX = getSigned32(image + 628);
    std::memcpy(r.reserved3, image + 632, sizeof r.reserved3);
    return r;
}

void overlaySettingsImage(SettingsRecord* record, const uint8_t* bytes, size_t size) {
    uint8_t image[SettingsRecordSize];
    settingsToImage(*record, image);
    if (size > SettingsRecordSize) size = SettingsRecordSize;
    std::memcpy(image, bytes, size);
    *record = settingsFromImage(image);
}

void storageCardNameText(const SettingsRecord& record, WCHAR name[StorageCardNameUnits + 1]) {
    size_t i = 0;
    for (; i < StorageCardNameUnits && record.storageCardName[i] != 0; ++i) name[i] = record.storageCardName[i];
    name[i] = 0;
}
