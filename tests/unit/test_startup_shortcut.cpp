// The Startup-folder shortcut: its two texts, and creating and deleting it on the simulated
// file system, also when a path does not fit or the folder cannot be found.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/app_state.h"
#include "file_system.h"
#include "settings/startup_shortcut.h"
#include "shell_services.h"
#include "sim_api.h"
#include "world.h"

namespace {

const char16_t kLink[] = u"\\Windows\\StartUp\\Orvo.lnk";

TEST(StartupTexts, TargetIsTheWholeDirectoryBetweenQuotes) {
    WCHAR target[ShortcutPathUnits];
    ASSERT_TRUE(buildStartupTarget(u"\\Program Files\\Marund\\Orvo", target));
    EXPECT_EQ(std::u16string(target), u"\"\\Program Files\\Marund\\Orvo\\orvo.exe\"");
    ASSERT_TRUE(buildStartupTarget(u"", target));
    EXPECT_EQ(std::u16string(target), u"\"\\orvo.exe\"");
}

TEST(StartupTexts, TargetFitsTheShortcutMakersBufferAndIsNeverCut) {
    WCHAR target[ShortcutPathUnits + 8];
    for (WCHAR& c : target) c = u'#';
    // 244 units of directory, two quotes and "\orvo.exe": 255 units and the terminator.
    std::u16string dir = u"\\" + std::u16string(243, u'd');
    ASSERT_TRUE(buildStartupTarget(dir.c_str(), target));
    EXPECT_EQ(std::u16string(target).size(), static_cast<size_t>(StartupTargetUnits - 1));
    EXPECT_EQ(target[StartupTargetUnits], u'#') << "nothing written past the text";
    dir += u'd';
    for (WCHAR& c : target) c = u'#';
    EXPECT_FALSE(buildStartupTarget(dir.c_str(), target));
    EXPECT_EQ(target[0], 0);
    EXPECT_EQ(target[1], u'#') << "no partial text";
}

TEST(StartupTexts, LinkPathFitsUpTo250UnitsOfFolder) {
    WCHAR link[ShortcutPathUnits + 8];
    for (WCHAR& c : link) c = u'#';
    std::u16string folder = u"\\" + std::u16string(249, u'f');
    ASSERT_TRUE(buildStartupLinkPath(folder.c_str(), link));
    EXPECT_EQ(std::u16string(link), folder + u"\\Orvo.lnk");
    EXPECT_EQ(link[ShortcutPathUnits], u'#');
    folder += u'f';
    EXPECT_FALSE(buildStartupLinkPath(folder.c_str(), link));
    EXPECT_EQ(link[0], 0);
}

class StartupShortcut : public ::testing::Test {
protected:
    void SetUp() override {
        wcscpy(savedDir, installDir);
        wcscpy(installDir, u"\\Program Files\\Marund\\Orvo");
        sim::fileSystem().reset();
        sim::fileSystem().makeDirectories(u"\\Windows\\StartUp");
        sim::clearFaults();
        sim::setLogStream(&log);
    }
    void TearDown() override {
        sim::setLogStream(&std::cout);
        sim::clearFaults();
        wcscpy(installDir, savedDir);
    }
    static bool linkExists() { return sim::fileSystem().find(kLink) != nullptr; }
    static void putOldLink() { sim::fileSystem().writeFile(kLink, {'3', '#', 'o', 'l', 'd'}); }
    std::string events() {
        std::string s = log.str();
        log.str("");
        return s;
    }

    WCHAR savedDir[InstallDirUnits];
    std::ostringstream log;
};

TEST_F(StartupShortcut, CreatingReplacesTheOldShortcutWithTheCurrentTarget) {
    EXPECT_TRUE(setStartupShortcut(NULL, FALSE));
    ASSERT_TRUE(linkExists());
    EXPECT_EQ(sim::shortcutTarget(sim::fileSystem().find(kLink)->bytes), u"\\Program Files\\Marund\\Orvo\\orvo.exe");
    EXPECT_EQ(events(), "0 shortcut-created \"\\\\Windows\\\\StartUp\\\\Orvo.lnk\" "
                        "\"\\\"\\\\Program Files\\\\Marund\\\\Orvo\\\\orvo.exe\\\"\"\n");
    wcscpy(installDir, u"\\Elsewhere");
    EXPECT_TRUE(setStartupShortcut(NULL, FALSE));
    EXPECT_EQ(sim::shortcutTarget(sim::fileSystem().find(kLink)->bytes), u"\\Elsewhere\\orvo.exe");
    EXPECT_EQ(events().rfind("0 file-deleted ", 0), 0u) << "the old one goes first";
}

TEST_F(StartupShortcut, RemovingReportsWhetherThereWasOne) {
    putOldLink();
    EXPECT_TRUE(setStartupShortcut(NULL, TRUE));
    EXPECT_FALSE(linkExists());
    EXPECT_FALSE(setStartupShortcut(NULL, TRUE)) << "a missing shortcut: FALSE and nothing else";
    EXPECT_FALSE(linkExists());
}

TEST_F(StartupShortcut, AFailedCreationLeavesNoShortcut) {
    putOldLink();
    sim::failOperation("SHCreateShortcut", 1, false, 0);
    EXPECT_FALSE(setStartupShortcut(NULL, FALSE));
    EXPECT_FALSE(linkExists());
}

TEST_F(StartupShortcut, NoStartupFolderMeansNoFileOperation) {
    putOldLink();
    sim::failOperation("SHGetSpecialFolderPath", 2, false, 0);
    EXPECT_FALSE(setStartupShortcut(NULL, TRUE));
    EXPECT_FALSE(setStartupShortcut(NULL, FALSE));
    ASSERT_TRUE(linkExists());
    EXPECT_EQ(sim::fileSystem().find(kLink)->bytes, (std::vector<uint8_t>{'3', '#', 'o', 'l', 'd'}));
    EXPECT_EQ(events(), "");
}

TEST_F(StartupShortcut, AnInstallDirTooLongForTheTargetMakesNoShortcutButCanStillRemoveOne) {
    std::u16string dir = u"\\" + std::u16string(244, u'd');
    wcscpy(installDir, dir.c_str());
    putOldLink();
    EXPECT_FALSE(setStartupShortcut(NULL, FALSE));
    EXPECT_FALSE(linkExists()) << "no shortcut at a cut-short target, and the stale one is gone";
    EXPECT_EQ(events().find("shortcut-created"), std::string::npos);
    putOldLink();
    EXPECT_TRUE(setStartupShortcut(NULL, TRUE));
    EXPECT_FALSE(linkExists());
    dir.pop_back();
    wcscpy(installDir, dir.c_str());
    ASSERT_TRUE(setStartupShortcut(NULL, FALSE)) << "244 units still fit";
    ASSERT_TRUE(linkExists());
    EXPECT_EQ(sim::shortcutTarget(sim::fileSystem().find(kLink)->bytes), dir + u"\\orvo.exe");
}

}  // namespace
