// The settings record's file image, and loading and saving it through the simulated files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "app/app_state.h"
#include "file_system.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "world.h"

namespace {

std::vector<uint8_t> defaultImageBytes() {
    // Written out byte by byte, independently of the code under test.
    std::vector<uint8_t> b(652, 0);
    b[0] = 0x0E;
    b[1] = 0x01;
    b[68] = b[72] = b[76] = 1;
    b[84] = 2;
    b[616] = b[620] = 1;
    b[628] = 0x78;
    return b;
}

std::vector<uint8_t> imageOf(const SettingsRecord& r) {
    std::vector<uint8_t> b(SettingsRecordSize);
    settingsToImage(r, b.data());
    return b;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::fileSystem().reset();
        sim::fileSystem().makeDirectories(u"\\Program Files\\Marund\\Orvo");
        sim::clearFaults();
        wcscpy(installDir, u"\\Program Files\\Marund\\Orvo");
        settings = defaultSettings();
    }
    void TearDown() override { sim::clearFaults(); }
    const char16_t* path = u"\\Program Files\\Marund\\Orvo\\orvo.dat";
    std::vector<uint8_t>* fileBytes() {
        sim::FileNode* n = sim::fileSystem().find(path);
        return n ? &n->bytes : nullptr;
    }
};

TEST(SettingsImage, DefaultsHaveTheDocumentedBytes) { EXPECT_EQ(imageOf(defaultSettings()), defaultImageBytes()); }

TEST(SettingsImage, EveryByteSurvivesARoundTrip) {
    uint8_t image[SettingsRecordSize];
    for (size_t i = 0; i < SettingsRecordSize; ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
    SettingsRecord r = settingsFromImage(image);
    uint8_t back[SettingsRecordSize];
    settingsToImage(r, back);
    EXPECT_EQ(0, std::memcmp(image, back, SettingsRecordSize));
    EXPECT_EQ(r.formatTag, 0x18110A03u);  // little-endian bytes 03 0A 11 18
    EXPECT_EQ(r.refreshSeconds, 0x645D564F);  // bytes 4F 56 5D 64 at offset 84
}

TEST(SettingsImage, SignedFieldsReadTheirFourBytesLittleEndian) {
    std::vector<uint8_t> b = defaultImageBytes();
    b[628] = 0xFF; b[629] = 0xFF; b[630] = 0xFF; b[631] = 0xFF;  // iconX = -1
    b[84] = 0x96;                                               // refreshSeconds = 150
    SettingsRecord r = settingsFromImage(b.data());
    EXPECT_EQ(r.iconX, -1);
    EXPECT_EQ(r.refreshSeconds, 150);
}

TEST(SettingsImage, ShortFileOverlaysOnlyItsBytes) {
    // 70 bytes: showBattery takes its low two bytes from the file, the high two from the default.
    std::vector<uint8_t> file(70, 0xAB);
    SettingsRecord r = defaultSettings();
    overlaySettingsImage(&r, file.data(), file.size());
    std::vector<uint8_t> img = imageOf(r);
    std::vector<uint8_t> expected = defaultImageBytes();
    for (size_t i = 0; i < 70; ++i) expected[i] = 0xAB;
    EXPECT_EQ(img, expected);
    EXPECT_EQ(r.showBattery, 0x0000ABAB);
}

TEST(SettingsImage, UnterminatedCardNameKeepsItsBytesAndEndsWithTheField) {
    std::vector<uint8_t> file(652, 0xFF);
    SettingsRecord r = defaultSettings();
    overlaySettingsImage(&r, file.data(), file.size());
    EXPECT_EQ(r.largeIcons, -1);
    EXPECT_FALSE(usesLargeIcons(r));  // only exactly 1 counts
    // Loading takes every byte as it is, so a save writes the file back unchanged.
    EXPECT_EQ(imageOf(r), file);
    // Read as text, the name is the whole field and ends there.
    WCHAR name[StorageCardNameUnits + 1];
    std::fill(std::begin(name), std::end(name), WCHAR(0x1234));
    storageCardNameText(r, name);
    EXPECT_EQ(std::u16string(name), std::u16string(StorageCardNameUnits, u'\xFFFF'));
    // A terminated name ends at its terminator, whatever follows it in the field.
    r.storageCardName[3] = 0;
    storageCardNameText(r, name);
    EXPECT_EQ(std::u16string(name), std::u16string(3, u'\xFFFF'));
    r.storageCardName[0] = 0;
    storageCardNameText(r, name);
    EXPECT_EQ(name[0], 0);
}

TEST(SettingsPath, FitsUpTo250UnitsOfDirectory) {
    WCHAR path[SettingsPathUnits];
    std::u16string dir(250, u'a');
    EXPECT_TRUE(buildSettingsFilePath(dir.c_str(), path));
    EXPECT_EQ(std::u16string(path), dir + u"\\orvo.dat");
    std::u16string longer(251, u'a');
    EXPECT_FALSE(buildSettingsFilePath(longer.c_str(), path));
    EXPECT_EQ(path[0], 0);
    EXPECT_TRUE(buildSettingsFilePath(u"", path));
    EXPECT_EQ(std::u16string(path), u"\\orvo.dat");
}

TEST_F(SettingsFileTest, FirstLoadCreatesTheDefaultFile) {
    loadSettings();
    ASSERT_NE(fileBytes(), nullptr);
    EXPECT_EQ(*fileBytes(), defaultImageBytes());
}

TEST_F(SettingsFileTest, LoadTakesFileValuesWithoutLimitingThem) {
    std::vector<uint8_t> b = defaultImageBytes();
    b[0] = b[1] = 0;  // formatTag 0
    b[84] = 99;      // refreshSeconds 99, the largest the dialog keeps
    b[628] = 0x84;   // iconX 900
    b[629] = 0x03;
    b[10] = 0x5A;    // a reserved byte
    sim::fileSystem().writeFile(path, b);
    loadSettings();
    EXPECT_EQ(settings.formatTag, 0u);
    EXPECT_EQ(settings.refreshSeconds, 99);
    EXPECT_EQ(settings.iconX, 900);
    EXPECT_EQ(*fileBytes(), b) << "loading never changes the file";
}

// A damaged file must not make the indicator spin (0: a timer of no period) or stop (-1: a period
// of 49 days): a refresh outside the dialog's 1..99 is read as the default, the file untouched.
TEST_F(SettingsFileTest, ARefreshOutsideTheDialogsLimitsIsReadAsTheDefault) {
    for (int32_t stored : {0, -1, 100, 150, INT32_MIN, INT32_MAX, 1, 99}) {
        SCOPED_TRACE(stored);
        settings = defaultSettings();
        std::vector<uint8_t> b = defaultImageBytes();
        std::memcpy(&b[84], &stored, 4);
        sim::fileSystem().writeFile(path, b);
        loadSettings();
        EXPECT_EQ(settings.refreshSeconds, stored >= 1 && stored <= 99 ? stored : 2);
        EXPECT_EQ(*fileBytes(), b) << "loading never changes the file";
    }
}

TEST_F(SettingsFileTest, SaveWritesOverTheStartOfALongerFile) {
    std::vector<uint8_t> b(1000, 0x11);
    sim::fileSystem().writeFile(path, b);
    loadSettings();
    settings.iconX = 7;
    saveSettings();
    ASSERT_EQ(fileBytes()->size(), 1000u);
    for (size_t i = 652; i < 1000; ++i) ASSERT_EQ((*fileBytes())[i], 0x11);
    EXPECT_EQ((*fileBytes())[628], 7);
    EXPECT_EQ((*fileBytes())[4], 0x11) << "reserved bytes survive";
}

TEST_F(SettingsFileTest, SaveGrowsAShortFileAndNeverRecreatesADeletedOne) {
    sim::fileSystem().writeFile(path, std::vector<uint8_t>(70, 0));
    loadSettings();
    EXPECT_EQ(fileBytes()->size(), 70u);
    saveSettings();
    EXPECT_EQ(fileBytes()->size(), 652u);
    sim::fileSystem().remove(path);
    saveSettings();
    EXPECT_EQ(fileBytes(), nullptr);
}

TEST_F(SettingsFileTest, OpenFailuresKeepTheRecordAndReportNothing) {
    settings.iconX = 55;
    sim::failOperation("CreateFileW", 0, true, 0);
    loadSettings();
    EXPECT_EQ(settings.iconX, 55);
    EXPECT_EQ(fileBytes(), nullptr);
    sim::failOperation("CreateFileW", 0, false, 0);
    // Reading fails, creating succeeds: the defaults in memory go to a new file.
    settings = defaultSettings();
    sim::failOperation("CreateFileW", 1, false, 0);
    loadSettings();
    ASSERT_NE(fileBytes(), nullptr);
    EXPECT_EQ(*fileBytes(), defaultImageBytes());
    settings.iconX = 9;
    sim::failOperation("CreateFileW", 1, false, 0);
    saveSettings();
    EXPECT_EQ((*fileBytes())[628], 0x78);
    EXPECT_EQ(settings.iconX, 9);
}

TEST_F(SettingsFileTest, AnExistingFileThatDoesNotOpenForReadingIsNeverReplaced) {
    std::vector<uint8_t> b(70, 0x33);
    sim::fileSystem().writeFile(path, b);
    sim::failOperation("CreateFileW", 1, false, 0);
    loadSettings();
    EXPECT_EQ(imageOf(settings), defaultImageBytes());
    EXPECT_EQ(*fileBytes(), b);
}

TEST_F(SettingsFileTest, MissingDirectoryMeansNoFileAndDefaults) {
    wcscpy(installDir, u"\\Nowhere");
    loadSettings();
    EXPECT_EQ(imageOf(settings), defaultImageBytes());
    EXPECT_EQ(sim::fileSystem().find(u"\\Nowhere\\orvo.dat"), nullptr);
}

TEST_F(SettingsFileTest, TooLongInstallDirTouchesNoFile) {
    std::u16string dir = u"\\" + std::u16string(250, u'd');  // 251 units
    sim::fileSystem().makeDirectories(dir);
    wcscpy(installDir, dir.c_str());
    loadSettings();
    sim::FileNode* folder = sim::fileSystem().find(dir);
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(folder->children.empty());
}

TEST(SettingsDialogLimits, PositionAndRefreshAreHeldToTheirRanges) {
    EXPECT_EQ(limitIconX(-5), IconXMin);
    EXPECT_EQ(limitIconX(IconXMin), IconXMin);
    EXPECT_EQ(limitIconX(IconXMax), IconXMax);
    EXPECT_EQ(limitIconX(IconXMax + 1), IconXMax);
    EXPECT_EQ(limitIconX(999), IconXMax);
    EXPECT_EQ(limitRefreshSeconds(-5), RefreshSecondsMin);
    EXPECT_EQ(limitRefreshSeconds(0), RefreshSecondsMin);
    EXPECT_EQ(limitRefreshSeconds(RefreshSecondsMin), RefreshSecondsMin);
    EXPECT_EQ(limitRefreshSeconds(RefreshSecondsMax), RefreshSecondsMax);
    EXPECT_EQ(limitRefreshSeconds(RefreshSecondsMax + 1), RefreshSecondsMax);
    EXPECT_EQ(limitRefreshSeconds(150), RefreshSecondsMax);
}

}  // namespace
