// The simulated file system and registry behave as the platform's do where the program relies
// on them: share modes, dispositions, growth, and value queries with small buffers.
#include <gtest/gtest.h>

#include <vector>

#include "file_system.h"
#include "registry.h"
#include "sim_api.h"
#include "world.h"

namespace {

class SimFiles : public ::testing::Test {
protected:
    void SetUp() override {
        sim::fileSystem().reset();
        sim::fileSystem().makeDirectories(u"\\Dir");
        sim::clearFaults();
    }
};

TEST_F(SimFiles, ShareModeZeroLocksTheFileWhileOpen) {
    HANDLE a = CreateFileW(u"\\Dir\\f", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(u"\\dir\\F", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileW(u"\\Dir\\f"));
    CloseHandle(a);
    HANDLE b = CreateFileW(u"\\DIR\\f", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(b, INVALID_HANDLE_VALUE);
    CloseHandle(b);
}

TEST_F(SimFiles, DispositionsAndPositions) {
    EXPECT_EQ(CreateFileW(u"\\Dir\\g", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(u"\\Nope\\g", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    sim::fileSystem().writeFile(u"\\Dir\\g", std::vector<uint8_t>(10, 7));
    HANDLE h = CreateFileW(u"\\Dir\\g", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    uint8_t three[3] = {1, 2, 3};
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, three, 3, &n, nullptr));
    CloseHandle(h);
    EXPECT_EQ(sim::fileSystem().find(u"\\Dir\\g")->bytes, (std::vector<uint8_t>{1, 2, 3, 7, 7, 7, 7, 7, 7, 7}));
    h = CreateFileW(u"\\Dir\\g", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    uint8_t buf[20];
    EXPECT_TRUE(ReadFile(h, buf, 20, &n, nullptr));
    EXPECT_EQ(n, 10u);
    EXPECT_FALSE(WriteFile(h, three, 3, &n, nullptr)) << "a read handle cannot write";
    CloseHandle(h);
    h = CreateFileW(u"\\Dir\\g", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    EXPECT_TRUE(sim::fileSystem().find(u"\\Dir\\g")->bytes.empty()) << "CREATE_ALWAYS truncates";
}

TEST_F(SimFiles, RootEnumerationKeepsCreationOrderAndAttributes) {
    sim::fileSystem().insertCard(u"SD Card", 1, 2);
    sim::fileSystem().addRootEntry(u"tmpfile", FILE_ATTRIBUTE_TEMPORARY);
    WIN32_FIND_DATAW d;
    HANDLE s = FindFirstFileW(u"\\*", &d);
    ASSERT_NE(s, INVALID_HANDLE_VALUE);
    std::vector<std::u16string> names{d.cFileName};
    std::vector<DWORD> attrs{d.dwFileAttributes};
    while (FindNextFileW(s, &d)) {
        names.push_back(d.cFileName);
        attrs.push_back(d.dwFileAttributes);
    }
    FindClose(s);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Dir", u"SD Card", u"tmpfile"}));
    EXPECT_EQ(attrs[1], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
    ULARGE_INTEGER a, b, c;
    EXPECT_TRUE(GetDiskFreeSpaceExW(u"sd card", &a, &b, &c));
    EXPECT_EQ(b.QuadPart, 2u);
    EXPECT_EQ(c.QuadPart, 1u);
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"Other", &a, &b, &c));
}

TEST(SimRegistry, QueriesReportSizesAndTooSmallBuffers) {
    sim::registry().setValue(HKEY_LOCAL_MACHINE, u"A\\B", u"v", REG_BINARY, {1, 2, 3, 4, 5});
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"a\\b", 0, 0, &key), ERROR_SUCCESS);
    BYTE four[4];
    DWORD size = 4;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"V", nullptr, &type, four, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    BYTE eight[8];
    size = 8;
    EXPECT_EQ(RegQueryValueExW(key, u"v", nullptr, &type, eight, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(RegQueryValueExW(key, u"missing", nullptr, &type, eight, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"A\\C", 0, 0, &key), ERROR_SUCCESS);
}

}  // namespace
