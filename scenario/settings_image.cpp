#include "scenario/settings_image.h"

#include <map>
#include <string>

namespace scenario {

const char16_t* const kSettingsFilePath = u"\\Program Files\\Marund\\Orvo\\orvo.dat";
const char16_t* const kSettingsFolderPath = u"\\Program Files\\Marund\\Orvo";

namespace {

const std::map<std::string, size_t> kFieldOffsets = {
    {"formatTag", 0},         {"showBattery", 68},   {"showProgramMemory", 72}, {"showMainStorage", 76},
    {"showStorageCard", 80},  {"refreshSeconds", 84}, {"confirmCloseAll", 616}, {"runAtStartup", 620},
    {"largeIcons", 624},      {"iconX", 628}};
const size_t kCardNameOffset = 92;
const size_t kCardNameUnits = 262;

void put32(std::vector<uint8_t>& image, size_t at, int64_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) image[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> defaultSettingsImage() {
    std::vector<uint8_t> image(652, 0);
    put32(image, 0, 270);
    put32(image, 68, 1);
    put32(image, 72, 1);
    put32(image, 76, 1);
    put32(image, 84, 2);
    put32(image, 616, 1);
    put32(image, 620, 1);
    put32(image, 628, 120);
    return image;
}

std::vector<uint8_t> settingsFileImage(const Args& a) {
    std::vector<uint8_t> image = defaultSettingsImage();
    if (a.count() % 2 != 0) throw ScenarioError("settings-file: FIELD VALUE pairs");
    for (size_t i = 0; i < a.count(); i += 2) {
        std::string field = a.word(i);
        if (field == "storageCardName") {
            std::u16string name = a.string(i + 1);
            if (name.size() > kCardNameUnits) throw ScenarioError("settings-file: name too long");
            for (size_t k = 0; k < kCardNameUnits; ++k) {
                char16_t c = k < name.size() ? name[k] : 0;
                image[kCardNameOffset + 2 * k] = static_cast<uint8_t>(c & 0xFF);
                image[kCardNameOffset + 2 * k + 1] = static_cast<uint8_t>(c >> 8);
            }
            continue;
        }
        auto it = kFieldOffsets.find(field);
        if (it == kFieldOffsets.end()) throw ScenarioError("settings-file: unknown field " + field);
        // formatTag is unsigned; every other field is a signed 32-bit number.
        put32(image, it->second, field == "formatTag" ? int64_t{a.dwordValue(i + 1)} : int64_t{a.int32Value(i + 1)});
    }
    return image;
}

}  // namespace scenario
