// Reading the installation directory from the registry, with values of every shape.
#include <gtest/gtest.h>

#include <vector>

#include "app/app_state.h"
#include "app/install_dir.h"
#include "registry.h"
#include "world.h"

namespace {

std::vector<uint8_t> utf16(const std::u16string& s, bool terminated) {
    std::vector<uint8_t> b;
    for (char16_t c : s) {
        b.push_back(static_cast<uint8_t>(c & 0xFF));
        b.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminated) b.insert(b.end(), {0, 0});
    return b;
}

class InstallDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::registry().deleteKey(HKEY_CURRENT_USER, u"Software\\Marund\\Orvo");
        wcscpy(installDir, u"\\untouched");
    }
    void set(DWORD type, std::vector<uint8_t> data) {
        sim::registry().setValue(HKEY_CURRENT_USER, u"Software\\Marund\\Orvo", u"InstallDir", type, std::move(data));
    }
};

TEST_F(InstallDirTest, ReadsAStringValue) {
    set(REG_SZ, utf16(u"\\Storage Card\\Orvo", true));
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), u"\\Storage Card\\Orvo");
}

TEST_F(InstallDirTest, EmptyStringGivesEmptyDirectory) {
    set(REG_SZ, utf16(u"", true));
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(installDir[0], 0);
}

TEST_F(InstallDirTest, MissingKeyOrValueIsNotRead) {
    EXPECT_FALSE(readInstallDir());
    sim::registry().create(HKEY_CURRENT_USER, u"Software\\Marund\\Orvo");
    EXPECT_FALSE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), u"\\untouched");
}

TEST_F(InstallDirTest, ValuesTooLongForTheBufferAreNotRead) {
    set(REG_SZ, utf16(std::u16string(300, u'x'), true));  // 602 bytes
    EXPECT_FALSE(readInstallDir());
    // 520 bytes without a terminator would need 261 units: it does not fit either.
    set(REG_BINARY, utf16(std::u16string(260, u'y'), false));
    EXPECT_FALSE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), u"\\untouched");
}

TEST_F(InstallDirTest, LongestValueThatFitsIsKept) {
    std::u16string dir(259, u'z');
    set(REG_SZ, utf16(dir, true));  // 520 bytes with the terminator
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), dir);
}

TEST_F(InstallDirTest, UnterminatedAndOtherTypedValuesEndWithTheValue) {
    set(REG_BINARY, utf16(u"\\Apps", false));
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), u"\\Apps");
    // A DWORD is taken as text, as the type is not checked: 5 reads as one unit 0x0005.
    set(REG_DWORD, {5, 0, 0, 0});
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), std::u16string(1, u'\x05'));
    // An odd byte at the end belongs to no unit.
    set(REG_BINARY, {0x41, 0x00, 0x42});
    EXPECT_TRUE(readInstallDir());
    EXPECT_EQ(std::u16string(installDir), u"A");
}

TEST_F(InstallDirTest, FailingQueryIsNotRead) {
    set(REG_SZ, utf16(u"\\X", true));
    sim::failOperation("RegQueryValueExW", 1, false, 0);
    EXPECT_FALSE(readInstallDir());
    sim::failOperation("RegOpenKeyExW", 1, false, 0);
    EXPECT_FALSE(readInstallDir());
    EXPECT_TRUE(readInstallDir());
}

}  // namespace
