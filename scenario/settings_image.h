// `settings-file [FIELD VALUE]...`: the default 652-byte settings image with the named fields
// changed, so that scenarios say what they set. Shared by every runner of scenarios.
#pragma once

#include <cstdint>
#include <vector>

#include "scenario/scenario_syntax.h"

namespace scenario {

extern const char16_t* const kSettingsFilePath;   // where the default install keeps the file
extern const char16_t* const kSettingsFolderPath;

// The settings file as the program first makes it: the record's defaults.
std::vector<uint8_t> defaultSettingsImage();
std::vector<uint8_t> settingsFileImage(const Args& fields);

}  // namespace scenario
