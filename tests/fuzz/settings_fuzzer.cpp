// The settings file: any file (missing, short, long, any bytes) is loaded over the defaults, the
// Settings dialog is used as a person would (boxes, the card list, both spinners) on a screen of
// any shape with any root entries, and Done saves. Or the record is saved as it is.
//
// Checked: loading takes exactly the file's first bytes and leaves the file alone; after Done
// every field holds what the controls showed, within the dialog's limits, with the reserved bytes
// and the format tag as loaded; the start-up shortcut is there exactly when asked for; after any
// save the file holds exactly the record's image and keeps its bytes past 652; no handle stays
// open, and once the canvas lets its bitmaps go no GDI object is left.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_menu.h"
#include "dialogs.h"
#include "file_system.h"
#include "gdi.h"
#include "handles.h"
#include "indicators/readings.h"
#include "indicators/scheduler.h"
#include "indicators/taskbar_canvas.h"
#include "modal.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "tests/fuzz/fuzz_device.h"
#include "wide_strings.h"

namespace {

const char16_t kFolder[] = u"\\Program Files\\Marund\\Orvo";
const char16_t kFile[] = u"\\Program Files\\Marund\\Orvo\\orvo.dat";
const char16_t kShortcut[] = u"\\Windows\\StartUp\\Orvo.lnk";

struct Screen {
    int width;
    int height;
};
// Portrait and landscape, with and without VGA size.
const Screen kScreens[] = {{240, 320}, {320, 240}, {480, 640}, {640, 480}, {240, 400}, {320, 320}};

std::vector<uint8_t> imageOf(const SettingsRecord& record) {
    std::vector<uint8_t> image(SettingsRecordSize);
    settingsToImage(record, image.data());
    return image;
}

const std::vector<uint8_t>* fileBytes() {
    sim::FileNode* node = sim::fileSystem().find(kFile);
    return node && !node->isDirectory() ? &node->bytes : nullptr;
}

bool isFlag(int32_t v) { return v == 0 || v == 1; }

// What a person sees in the dialog, kept beside it: the state the controls must have on Done.
struct DialogModel {
    bool checked[2000] = {};
    bool enabled[2000] = {};
    std::vector<std::u16string> cards;
    int cardSelection = -1;
    int iconX = 0;
    int refresh = 0;
    bool vga = false;
};

void spin(int* position, int low, int high, bool towardLow, int times) {
    for (int i = 0; i < times; ++i) *position = std::clamp(*position + (towardLow ? -1 : 1), low, high);
}

// A file written field by field, with the values that matter to its readers and limits; as long
// as the record, shorter or longer.
std::vector<uint8_t> fieldsFile(FuzzedDataProvider& in) {
    static const int32_t kValues[] = {0, 1, 2, -1, 5, 98, 99, 100, 150, 639, 640, 900, INT32_MIN, INT32_MAX};
    SettingsRecord r = defaultSettings();
    for (int32_t* field : {&r.showBattery, &r.showProgramMemory, &r.showMainStorage, &r.showStorageCard,
                           &r.refreshSeconds, &r.confirmCloseAll, &r.runAtStartup, &r.largeIcons, &r.iconX}) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: break;  // the default
            case 1: *field = in.ConsumeIntegral<int32_t>(); break;
            default: *field = kValues[in.ConsumeIntegralInRange<size_t>(0, std::size(kValues) - 1)]; break;
        }
    }
    r.formatTag = in.ConsumeBool() ? r.formatTag : in.ConsumeIntegral<uint32_t>();
    r.reserved1[in.ConsumeIntegralInRange<size_t>(0, sizeof r.reserved1 - 1)] = in.ConsumeIntegral<uint8_t>();
    r.reserved3[in.ConsumeIntegralInRange<size_t>(0, sizeof r.reserved3 - 1)] = in.ConsumeIntegral<uint8_t>();
    std::u16string name = fuzz::text(in, in.ConsumeBool() ? 8 : StorageCardNameUnits);
    std::copy(name.begin(), name.end(), r.storageCardName);
    std::vector<uint8_t> file = imageOf(r);
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: break;
        case 1: file.resize(in.ConsumeIntegralInRange<size_t>(0, SettingsRecordSize)); break;
        default: {
            std::vector<uint8_t> more = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 400));
            file.insert(file.end(), more.begin(), more.end());
        }
    }
    return file;
}

// Root entries: cards and other folders and files, any attributes, any names.
void makeRootEntries(FuzzedDataProvider& in) {
    int entries = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < entries; ++i) {
        std::u16string name = fuzz::text(in, 20);
        // The default folders stay folders: the settings file and the shortcut live in them.
        if (name.empty() || name.find_first_of(u"\\/") != std::u16string::npos || sim::sameName(name, u"Windows") ||
            sim::sameName(name, u"Program Files")) {
            continue;
        }
        if (in.ConsumeBool()) {
            sim::fileSystem().insertCard(name, in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>());
        } else {
            sim::fileSystem().addRootEntry(name, in.ConsumeIntegral<uint32_t>() & 0x1FF);
        }
    }
}

void useDialog(FuzzedDataProvider& in, const Screen& screen) {
    const SettingsRecord before = settings;
    // What opening the dialog shows, from the record as loaded.
    DialogModel m;
    m.vga = screen.width > 320 || screen.height > 320;
    for (int id : {IDC_SHOW_BATTERY, IDC_SHOW_PROGRAM_MEMORY, IDC_SHOW_MAIN_STORAGE, IDC_SHOW_STORAGE_CARD,
                   IDC_CONFIRM_CLOSE_ALL, IDC_RUN_AT_STARTUP, IDC_LARGE_ICONS, IDC_CARD_LIST}) {
        m.enabled[id] = true;
    }
    m.checked[IDC_SHOW_BATTERY] = before.showBattery != 0;
    m.checked[IDC_SHOW_PROGRAM_MEMORY] = before.showProgramMemory != 0;
    m.checked[IDC_SHOW_MAIN_STORAGE] = before.showMainStorage != 0;
    m.checked[IDC_CONFIRM_CLOSE_ALL] = before.confirmCloseAll != 0;
    m.checked[IDC_RUN_AT_STARTUP] = before.runAtStartup != 0;
    m.checked[IDC_LARGE_ICONS] = m.vga && before.largeIcons == 1;
    m.enabled[IDC_LARGE_ICONS] = m.vga;
    for (auto& child : sim::fileSystem().root()->children) {
        const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
        if ((child->attributes & card) == card && m.cards.size() < CardListCapacity) m.cards.push_back(child->name);
    }
    WCHAR storedName[StorageCardNameUnits + 1];
    storageCardNameText(before, storedName);
    if (m.cards.empty()) {
        m.enabled[IDC_SHOW_STORAGE_CARD] = m.enabled[IDC_CARD_LIST] = false;
    } else {
        m.checked[IDC_SHOW_STORAGE_CARD] = before.showStorageCard != 0;
        m.cardSelection = 0;
        for (size_t i = 0; i < m.cards.size(); ++i) {
            if (m.cards[i] == std::u16string(storedName)) m.cardSelection = static_cast<int>(i);
        }
    }
    m.iconX = canvas.iconXInUse;
    m.refresh = std::clamp(before.refreshSeconds, RefreshSecondsMin, RefreshSecondsMax);

    const WORD templateId = screen.width > screen.height ? SettingsLandscapeTemplate : SettingsPortraitTemplate;
    fuzz::runOnSimulatedThread([templateId] { showModalDialog(templateId, settingsDialogProc); });
    sim::OpenModal* open = sim::openModal(sim::OpenModal::Dialog);
    FUZZ_CHECK(open != nullptr, "the Settings dialog opens");
    HWND dialog = open->dialog;
    FUZZ_CHECK(settings.refreshSeconds == m.refresh, "opening limits refreshSeconds to 1..99 at once");
    if (m.cards.empty()) FUZZ_CHECK(settings.showStorageCard == 0, "no card: showStorageCard is cleared on opening");

    const int boxes[] = {IDC_SHOW_BATTERY, IDC_SHOW_PROGRAM_MEMORY, IDC_SHOW_MAIN_STORAGE, IDC_SHOW_STORAGE_CARD,
                         IDC_CONFIRM_CLOSE_ALL,  IDC_RUN_AT_STARTUP,      IDC_LARGE_ICONS};
    int actions = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < actions; ++i) {
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0: {
                int id = boxes[in.ConsumeIntegralInRange<size_t>(0, std::size(boxes) - 1)];
                FUZZ_CHECK(sim::clickControl(dialog, id).empty(), "every box can be clicked");
                if (m.enabled[id]) m.checked[id] = !m.checked[id];
                break;
            }
            case 1: {
                int line = in.ConsumeIntegralInRange(-1, static_cast<int>(m.cards.size()) - 1);
                FUZZ_CHECK(sim::selectItem(dialog, IDC_CARD_LIST, line).empty(), "the card list takes its lines");
                if (m.enabled[IDC_CARD_LIST]) m.cardSelection = line;
                break;
            }
            default: {
                bool iconX = in.ConsumeBool();
                bool up = in.ConsumeBool();
                int times = in.ConsumeIntegralInRange(1, 700);
                FUZZ_CHECK(sim::spinControl(dialog, iconX ? IDC_ICON_X_SPIN : IDC_REFRESH_SPIN, up, times).empty(),
                           "both spinners can be pressed");
                // "Up" moves toward each range's upper bound: 0 for the position, 1 for the refresh.
                if (iconX) spin(&m.iconX, IconXMin, IconXMax, up, times);
                else spin(&m.refresh, RefreshSecondsMin, RefreshSecondsMax, up, times);
                break;
            }
        }
        sim::runUntilIdle();
    }
    FUZZ_CHECK(sim::pressDone(dialog).empty(), "the dialog has a Done button");
    fuzz::endSimulatedThreads();
    FUZZ_CHECK(sim::openModal(sim::OpenModal::Dialog) == nullptr, "Done ends the dialog");

    // Every field as the controls showed it, within the limits.
    FUZZ_CHECK(settings.showBattery == m.checked[IDC_SHOW_BATTERY], "showBattery is its box");
    FUZZ_CHECK(settings.showProgramMemory == m.checked[IDC_SHOW_PROGRAM_MEMORY], "showProgramMemory is its box");
    FUZZ_CHECK(settings.showMainStorage == m.checked[IDC_SHOW_MAIN_STORAGE], "showMainStorage is its box");
    FUZZ_CHECK(settings.showStorageCard == m.checked[IDC_SHOW_STORAGE_CARD], "showStorageCard is its box");
    FUZZ_CHECK(settings.confirmCloseAll == m.checked[IDC_CONFIRM_CLOSE_ALL], "confirmCloseAll is its box");
    FUZZ_CHECK(settings.runAtStartup == m.checked[IDC_RUN_AT_STARTUP], "runAtStartup is its box");
    FUZZ_CHECK(settings.largeIcons == (m.vga && m.checked[IDC_LARGE_ICONS]), "largeIcons: its box, on VGA only");
    FUZZ_CHECK(settings.iconX == m.iconX && settings.iconX >= IconXMin && settings.iconX <= IconXMax, "iconX: 0..639, as spun");
    FUZZ_CHECK(canvas.iconXInUse == settings.iconX, "the new position is in use");
    FUZZ_CHECK(settings.refreshSeconds == m.refresh && settings.refreshSeconds >= RefreshSecondsMin &&
                   settings.refreshSeconds <= RefreshSecondsMax,
               "refreshSeconds: 1..99, as spun");
    FUZZ_CHECK(isFlag(settings.showBattery) && isFlag(settings.showProgramMemory) && isFlag(settings.showMainStorage) &&
                   isFlag(settings.showStorageCard) && isFlag(settings.confirmCloseAll) && isFlag(settings.runAtStartup),
               "the dialog stores flags as 0 or 1");
    WCHAR nameNow[StorageCardNameUnits + 1];
    storageCardNameText(settings, nameNow);
    if (!m.checked[IDC_SHOW_STORAGE_CARD]) {
        FUZZ_CHECK(std::memcmp(settings.storageCardName, before.storageCardName, sizeof before.storageCardName) == 0,
                   "an unchecked card box leaves the stored name alone");
    } else if (m.cardSelection < 0) {
        FUZZ_CHECK(nameNow[0] == 0, "no selected card stores the empty name");
    } else {
        const std::u16string& chosen = m.cards[static_cast<size_t>(m.cardSelection)];
        FUZZ_CHECK(std::u16string(nameNow) == chosen,
                   "the selected card's name is stored: " + fuzz::printable(nameNow) + ", chosen " + fuzz::printable(chosen));
    }
    FUZZ_CHECK(enabledCount == m.checked[IDC_SHOW_BATTERY] + m.checked[IDC_SHOW_PROGRAM_MEMORY] +
                                   m.checked[IDC_SHOW_MAIN_STORAGE] + m.checked[IDC_SHOW_STORAGE_CARD],
               "enabledCount counts the checked kinds");
    std::vector<uint8_t> was = imageOf(before);
    std::vector<uint8_t> now = imageOf(settings);
    FUZZ_CHECK(std::equal(was.begin(), was.begin() + 68, now.begin()), "formatTag and reserved bytes 4..67 as loaded");
    FUZZ_CHECK(std::equal(was.begin() + 88, was.begin() + 92, now.begin() + 88), "reserved bytes 88..91 as loaded");
    FUZZ_CHECK(std::equal(was.begin() + 632, was.end(), now.begin() + 632), "reserved bytes 632..651 as loaded");
    bool shortcut = sim::fileSystem().find(kShortcut) != nullptr;
    FUZZ_CHECK(shortcut == (settings.runAtStartup == 1), "the start-up shortcut exists exactly when asked for");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Screen screen = kScreens[in.ConsumeIntegralInRange<size_t>(0, std::size(kScreens) - 1)];
    const bool folder = in.ConsumeIntegralInRange(0, 15) != 0;
    fuzz::freshDevice(screen.width, screen.height, folder);
    wcscpy(installDir, kFolder);
    settings = defaultSettings();

    // Missing, or any bytes, shorter or longer than the record.
    const bool present = folder && in.ConsumeBool();
    std::vector<uint8_t> file;
    if (present) {
        file = in.ConsumeBool() ? fieldsFile(in) : in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 1100));
        sim::fileSystem().writeFile(kFile, file);
    }
    makeRootEntries(in);

    loadSettings();
    std::vector<uint8_t> expected = imageOf(defaultSettings());
    std::copy(file.begin(), file.begin() + static_cast<long>(std::min(file.size(), SettingsRecordSize)), expected.begin());
    // Except a stored refresh outside the dialog's limits, read as the default: a damaged file must
    // not make the indicator spin or stop.
    SettingsRecord fromFile;
    std::memcpy(&fromFile, expected.data(), SettingsRecordSize);
    if (fromFile.refreshSeconds < RefreshSecondsMin || fromFile.refreshSeconds > RefreshSecondsMax) {
        fromFile.refreshSeconds = defaultSettings().refreshSeconds;
    }
    expected = imageOf(fromFile);
    FUZZ_CHECK(imageOf(settings) == expected, "the record is the file's first bytes over the defaults");
    if (present) {
        FUZZ_CHECK(fileBytes() && *fileBytes() == file, "loading leaves the file as it was");
    } else if (folder) {
        FUZZ_CHECK(fileBytes() && *fileBytes() == imageOf(defaultSettings()), "a missing file is made with the defaults");
    } else {
        FUZZ_CHECK(fileBytes() == nullptr, "no folder, no file");
    }
    resetCanvas(iconXInUseFor(settings.iconX));

    const std::vector<uint8_t> beforeSave = fileBytes() ? *fileBytes() : std::vector<uint8_t>();
    const bool existed = fileBytes() != nullptr;
    if (in.ConsumeIntegralInRange(0, 3) != 0) {
        useDialog(in, screen);
    } else {
        // Any record in memory, saved as it is.
        std::vector<uint8_t> image = in.ConsumeBytes<uint8_t>(SettingsRecordSize);
        image.resize(SettingsRecordSize);
        settings = settingsFromImage(image.data());
        saveSettings();
    }

    // The file afterwards: exactly the record's image, then whatever it held past 652 bytes.
    if (!existed) {
        FUZZ_CHECK(fileBytes() == nullptr, "a save never creates the file");
    } else {
        const std::vector<uint8_t>& after = *fileBytes();
        FUZZ_CHECK(after.size() == std::max(beforeSave.size(), SettingsRecordSize), "a save grows a short file to 652");
        std::vector<uint8_t> image = imageOf(settings);
        FUZZ_CHECK(std::equal(image.begin(), image.end(), after.begin()), "the file starts with the record's image");
        FUZZ_CHECK(beforeSave.size() <= SettingsRecordSize ||
                       std::equal(beforeSave.begin() + SettingsRecordSize, beforeSave.end(), after.begin() + SettingsRecordSize),
                   "bytes past 652 are kept");
    }
    FUZZ_CHECK(sim::liveKernelObjects() == 0, "every file handle is closed");
    releaseCanvasBitmaps();
    FUZZ_CHECK(sim::liveGdiObjects() == 0 && sim::liveDeviceContexts() == 0, "the dialog holds no GDI object");
    return 0;
}
