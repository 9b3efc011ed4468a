// `settings-file [FIELD VALUE]...`: writes the settings file of the default install.
#include "file_system.h"
#include "scenario.h"
#include "scenario/settings_image.h"

namespace scenario {
namespace {

const Registrar settingsFile("settings-file", [](Args& a, Outcome&) {
    std::vector<uint8_t> image = settingsFileImage(a);
    sim::fileSystem().makeDirectories(kSettingsFolderPath);
    sim::fileSystem().writeFile(kSettingsFilePath, image);
});

}  // namespace
}  // namespace scenario
