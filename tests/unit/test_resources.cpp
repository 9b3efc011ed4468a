// The embedded resource image: the .res reader, the platform's resource and string operations,
// and the dialog templates as the compiler laid them out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "resources.h"
#include "sim_api.h"
#include "world.h"

namespace {

using sim::DialogControlInfo;
using sim::DialogTemplateInfo;

class ResourceOperations : public ::testing::Test {
protected:
    void TearDown() override { sim::clearFaults(); }
};

sim::DialogTemplateInfo loadDialog(unsigned id) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_DIALOG);
    EXPECT_NE(found, nullptr) << "dialog " << id;
    DialogTemplateInfo info;
    if (!found) return info;
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    EXPECT_TRUE(sim::parseDialogTemplate(data, SizeofResource(nullptr, found), &info)) << "dialog " << id;
    return info;
}

std::vector<unsigned> controlIds(const DialogTemplateInfo& d) {
    std::vector<unsigned> ids;
    for (const DialogControlInfo& c : d.controls) ids.push_back(c.id);
    return ids;
}

// ---- the .res image ----

// The numbers other programs, the stored templates and the device know the program by: the one
// place where the names of res/resource.h are held to them.
TEST(ResourceIds, NamesHoldTheProgramsNumbers) {
    static_assert(MainWindowClassString == 40003 && MainWindowTitleString == 40005);
    static_assert(ProgramIcon == 105 && TrayIconLarge == 160 && TrayIconSmall == 161);
    static_assert(ChargingIconLarge == 185 && ChargingIconSmall == 121);
    static_assert(BatteryUnknownIconLarge == 186 && BatteryUnknownIconSmall == 119);
    static_assert(NoCardIconLarge == 188 && NoCardIconSmall == 159);
    static_assert(SettingsBatteryIcon == 120 && SettingsMemoryIcon == 147 && SettingsStorageIcon == 135 &&
                  SettingsCardIcon == 122);
    static_assert(BatteryMaskSmall == 165 && BatteryColourSmall == 163 && BatteryMaskLarge == 178 &&
                  BatteryColourLarge == 175);
    static_assert(MemoryMaskSmall == 167 && MemoryColourSmall == 168 && MemoryMaskLarge == 180 &&
                  MemoryColourLarge == 182);
    static_assert(StorageMaskSmall == 169 && StorageColourSmall == 170 && StorageMaskLarge == 176 &&
                  StorageColourLarge == 177);
    static_assert(CardMaskSmall == 171 && CardColourSmall == 172 && CardMaskLarge == 181 && CardColourLarge == 183);
    static_assert(SmallDigitStrip == 164 && LargeDigitStrip == 179);
    static_assert(AboutDialogTemplate == 101 && ProgramsDialogTemplate == 162 && SettingsPortraitTemplate == 102 &&
                  SettingsLandscapeTemplate == 163);
    static_assert(IDC_ABOUT_CONTINUE == 1038);
    static_assert(IDC_PROGRAM_LIST == 1017 && IDC_CLOSE == 1018 && IDC_CLOSE_ALL == 1019 && IDC_SWITCH_TO == 1024 &&
                  IDC_CLOSE_ALL_EXCEPT == 1035);
    static_assert(IDC_CARD_LIST == 1008 && IDC_SHOW_BATTERY == 1010 && IDC_SHOW_PROGRAM_MEMORY == 1011 &&
                  IDC_SHOW_MAIN_STORAGE == 1012 && IDC_SHOW_STORAGE_CARD == 1013 && IDC_CONFIRM_CLOSE_ALL == 1022 &&
                  IDC_REFRESH == 1025 && IDC_REFRESH_SPIN == 1026 && IDC_ICON_X == 1028 && IDC_ICON_X_SPIN == 1029 &&
                  IDC_RUN_AT_STARTUP == 1031 && IDC_LARGE_ICONS == 1032);
    // The up-down ranges built from the limits: upper bound in the low word, lower bound above.
    EXPECT_EQ(static_cast<DWORD>(MAKELPARAM(IconXMin, IconXMax)), 0x027F0000u);
    EXPECT_EQ(static_cast<DWORD>(MAKELPARAM(RefreshSecondsMin, RefreshSecondsMax)), 0x00630001u);
    EXPECT_EQ(IconXFallback, 100);
    EXPECT_EQ(IconXDigits, 3);
    EXPECT_EQ(RefreshSecondsDigits, 2);
}

TEST(ResFile, EveryEntryLiesInsideTheImageAndTheMarkerIsSkipped) {
    const std::vector<uint8_t>& bytes = sim::programResourceBytes();
    const std::vector<sim::ResourceEntry>& entries = sim::programResources();
    ASSERT_FALSE(entries.empty());
    for (const sim::ResourceEntry& e : entries) {
        EXPECT_FALSE(e.typeIsId && e.typeId == 0) << "the empty leading entry is not a resource";
        EXPECT_GE(e.data, bytes.data());
        EXPECT_LE(e.data + e.size, bytes.data() + bytes.size());
        EXPECT_EQ((e.data - bytes.data()) % 4, 0) << "entries are DWORD-aligned";
    }
}

TEST(ResFile, TruncatedImagesAreRejectedWithoutReadingPastTheEnd) {
    const std::vector<uint8_t>& bytes = sim::programResourceBytes();
    std::vector<sim::ResourceEntry> all;
    ASSERT_TRUE(sim::parseResFile(bytes.data(), bytes.size(), &all));
    // Cut inside the header and inside the data of the last entry, and of one in the middle.
    const sim::ResourceEntry& middle = all[all.size() / 2];
    size_t middleEnd = static_cast<size_t>(middle.data - bytes.data()) + middle.size;
    for (size_t cut : {size_t{10}, size_t{40}, middleEnd - 1, bytes.size() - 1}) {
        std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        std::vector<sim::ResourceEntry> entries;
        EXPECT_FALSE(sim::parseResFile(copy.data(), copy.size(), &entries)) << "cut at " << cut;
        for (const sim::ResourceEntry& e : entries) EXPECT_LE(e.data + e.size, copy.data() + copy.size());
    }
}

TEST(ResFile, StringNamedEntriesKeepTheirNames) {
    // A hand-made image: the marker, then type "AB" name 7 with two bytes of data.
    std::vector<uint8_t> image(32, 0);
    image[4] = 32;
    image[8] = 0xFF, image[9] = 0xFF, image[12] = 0xFF, image[13] = 0xFF;
    std::vector<uint8_t> entry = {2, 0, 0, 0, 32, 0, 0, 0, 'A', 0, 'B', 0, 0, 0, 0xFF, 0xFF, 7, 0, 0, 0};
    entry.resize(32, 0);
    entry.push_back(0x34);
    entry.push_back(0x12);
    image.insert(image.end(), entry.begin(), entry.end());
    std::vector<sim::ResourceEntry> entries;
    ASSERT_TRUE(sim::parseResFile(image.data(), image.size(), &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries[0].typeIsId);
    EXPECT_EQ(entries[0].typeName, u"AB");
    EXPECT_TRUE(entries[0].nameIsId);
    EXPECT_EQ(entries[0].nameId, 7u);
    ASSERT_EQ(entries[0].size, 2u);
    EXPECT_EQ(entries[0].data[0], 0x34);
}

// ---- FindResourceW and friends ----

TEST_F(ResourceOperations, HighResolutionMarkerIsOneWordHoldingOne) {
    HRSRC found = FindResourceW(nullptr, u"HI_RES_AWARE", u"CEUX");
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, found), 2u);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0] | (data[1] << 8), 1);
    // Names and types given as text compare without regard to case, as the platform's do.
    EXPECT_EQ(FindResourceW(nullptr, u"hi_res_aware", u"ceux"), found);
}

TEST_F(ResourceOperations, IdsAsNumbersAndAsHashTextFindTheSameResource) {
    HRSRC byId = FindResourceW(nullptr, MAKEINTRESOURCEW(AboutDialogTemplate), RT_DIALOG);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#101", RT_DIALOG), byId);
    EXPECT_EQ(FindResourceW(nullptr, u"#101", u"#5"), byId);
    // A bitmap and a dialog of the same number are different resources.
    static_assert(BatteryColourSmall == SettingsLandscapeTemplate, "one number, two types");
    HRSRC bitmap = FindResourceW(nullptr, MAKEINTRESOURCEW(BatteryColourSmall), RT_BITMAP);
    HRSRC dialog = FindResourceW(nullptr, MAKEINTRESOURCEW(SettingsLandscapeTemplate), RT_DIALOG);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(bitmap, dialog);
}

TEST_F(ResourceOperations, MissingResourcesFailWithTheirErrors) {
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(SettingsBatteryIcon), RT_ICON), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(SettingsBatteryIcon), RT_GROUP_ICON), nullptr);
    EXPECT_EQ(sim::lastError(), 1814u);  // ERROR_RESOURCE_NAME_NOT_FOUND
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MENU), nullptr);
    EXPECT_EQ(sim::lastError(), 1813u);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    EXPECT_EQ(FindResourceW(nullptr, u"#", RT_DIALOG), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST_F(ResourceOperations, InjectedFaultsFailEachOperationOnce) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ProgramsDialogTemplate), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    sim::failOperation("FindResourceW", 1, false, 0);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(ProgramsDialogTemplate), RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(ProgramsDialogTemplate), RT_DIALOG), found);

    sim::failOperation("LoadResource", 1, false, 0);
    EXPECT_EQ(LoadResource(nullptr, found), nullptr);
    HGLOBAL data = LoadResource(nullptr, found);
    ASSERT_NE(data, nullptr);

    sim::failOperation("LockResource", 1, false, 0);
    EXPECT_EQ(LockResource(data), nullptr);
    EXPECT_EQ(LockResource(data), data);

    sim::failOperation("SizeofResource", 1, false, 0);
    EXPECT_EQ(SizeofResource(nullptr, found), 0u);
    EXPECT_GT(SizeofResource(nullptr, found), 0u);

    WCHAR buffer[100];
    sim::failOperation("LoadStringW", 1, false, 0);
    EXPECT_EQ(LoadStringW(nullptr, MainWindowClassString, buffer, 100), 0);
    EXPECT_EQ(LoadStringW(nullptr, MainWindowClassString, buffer, 100), 4);
}

// ---- strings ----

TEST_F(ResourceOperations, ClassNameAndTitleLoadIntoTheirBuffers) {
    WCHAR buffer[100];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(LoadStringW(nullptr, MainWindowClassString, buffer, 100), 4);
    EXPECT_EQ(std::u16string(buffer), u"ORVO");
    EXPECT_EQ(LoadStringW(nullptr, MainWindowTitleString, buffer, 100), 4);
    EXPECT_EQ(std::u16string(buffer), u"Orvo");
}

TEST_F(ResourceOperations, StringsAreTruncatedToTheBufferAndAlwaysTerminated) {
    WCHAR buffer[8];
    std::memset(buffer, 0x55, sizeof buffer);
    EXPECT_EQ(LoadStringW(nullptr, MainWindowTitleString, buffer, 3), 2);
    EXPECT_EQ(std::u16string(buffer), u"Or");
    EXPECT_EQ(buffer[3], 0x5555) << "nothing written past the buffer";
    EXPECT_EQ(LoadStringW(nullptr, MainWindowTitleString, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"Orvo");
    buffer[0] = u'x';
    EXPECT_EQ(LoadStringW(nullptr, MainWindowTitleString, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(ResourceOperations, ZeroCountHandsOutAPointerToTheStringItself) {
    const WCHAR* text = nullptr;
    int length = LoadStringW(nullptr, MainWindowClassString, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(length, 4);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, 4), u"ORVO");
}

TEST_F(ResourceOperations, MissingStringsLoadNothing) {
    WCHAR buffer[10] = {u'x'};
    // 40004 sits in the same block as the two strings but is empty; 40020 is in a block of its own.
    EXPECT_EQ(LoadStringW(nullptr, 40004, buffer, 10), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(nullptr, 40020, buffer, 10), 0);
    EXPECT_EQ(LoadStringW(nullptr, 0, buffer, 10), 0);
    std::u16string s;
    EXPECT_TRUE(sim::loadProgramString(MainWindowClassString, &s));
    EXPECT_EQ(s, u"ORVO");
    EXPECT_FALSE(sim::loadProgramString(40004, &s));
}

// ---- dialog templates ----

TEST(DialogTemplates, AboutBox) {
    DialogTemplateInfo d = loadDialog(AboutDialogTemplate);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.caption, u"About Orvo");
    EXPECT_EQ(d.style, WS_POPUP | WS_CAPTION | DS_SETFONT);
    EXPECT_EQ(d.cx, 181);
    EXPECT_EQ(d.cy, 144);
    EXPECT_TRUE(d.hasFont);
    EXPECT_EQ(d.fontName, u"Tahoma");
    EXPECT_EQ(d.pointSize, 8);
    ASSERT_EQ(d.controls.size(), 8u);
    const DialogControlInfo& icon = d.controls[0];
    EXPECT_EQ(dialogControlClassName(icon), u"STATIC");
    EXPECT_EQ(icon.style & 0xF, static_cast<DWORD>(SS_ICON));
    EXPECT_TRUE(icon.text.isOrdinal);
    EXPECT_EQ(icon.text.ordinal, 160u);
    EXPECT_EQ(icon.x, 17);
    EXPECT_EQ(icon.cx, 20);
    EXPECT_EQ(d.controls[1].text.text, u"Orvo v2.71");
    const int widths[] = {109, 108, 107, 106, 108};
    for (int i = 0; i < 5; ++i) {
        const DialogControlInfo& line = d.controls[static_cast<size_t>(2 + i)];
        EXPECT_EQ(dialogControlClassName(line), u"STATIC");
        EXPECT_FALSE(line.text.isOrdinal);
        EXPECT_FALSE(line.text.text.empty());
        EXPECT_EQ(line.x, 50);
        EXPECT_EQ(line.y, 20 + 10 * i);
        EXPECT_EQ(line.cx, widths[i]);
        EXPECT_EQ(line.cy, 8);
    }
    const DialogControlInfo& button = d.controls[7];
    EXPECT_EQ(button.id, 1038u);
    EXPECT_EQ(button.text.text, u"Continue");
    EXPECT_EQ(dialogControlClassName(button), u"BUTTON");
    EXPECT_EQ(button.style & 0xF, static_cast<DWORD>(BS_PUSHBUTTON));
}

TEST(DialogTemplates, AboutBoxControlsInFull) {
    DialogTemplateInfo d = loadDialog(AboutDialogTemplate);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    struct Expected {
        unsigned id;
        const char16_t* cls;
        DWORD type;  // the low four style bits: SS_ICON, SS_LEFT or BS_PUSHBUTTON
        int x, y, cx, cy;
    };
    const Expected expected[] = {
        {65535, u"STATIC", SS_ICON, 17, 22, 20, 20},   {65535, u"STATIC", SS_LEFT, 50, 10, 100, 8},
        {65535, u"STATIC", SS_LEFT, 50, 20, 109, 8},   {65535, u"STATIC", SS_LEFT, 50, 30, 108, 8},
        {65535, u"STATIC", SS_LEFT, 50, 40, 107, 8},   {65535, u"STATIC", SS_LEFT, 50, 50, 106, 8},
        // Continue sits at y 100 (not 108), so that a 240-pixel-high screen shows it without scrolling.
        {65535, u"STATIC", SS_LEFT, 50, 60, 108, 8},   {IDC_ABOUT_CONTINUE, u"BUTTON", BS_PUSHBUTTON, 11, 100, 40, 12},
    };
    ASSERT_EQ(d.controls.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const DialogControlInfo& c = d.controls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(dialogControlClassName(c), expected[i].cls);
        EXPECT_EQ(c.style & 0xF, expected[i].type);
        EXPECT_EQ(c.style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(c.x, expected[i].x);
        EXPECT_EQ(c.y, expected[i].y);
        EXPECT_EQ(c.cx, expected[i].cx);
        EXPECT_EQ(c.cy, expected[i].cy);
    }
    // The five notice lines are distinct texts of their own.
    for (size_t i = 2; i < 7; ++i) {
        for (size_t k = i + 1; k < 7; ++k) EXPECT_NE(d.controls[i].text.text, d.controls[k].text.text);
    }
}

TEST(DialogTemplates, ProgramsDialog) {
    DialogTemplateInfo d = loadDialog(ProgramsDialogTemplate);
    EXPECT_EQ(d.style, 0x80C20040u);
    EXPECT_EQ(d.caption, u"Orvo");
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 156);
    EXPECT_EQ(d.cy, 114);
    EXPECT_TRUE(d.menu.isOrdinal && d.menu.ordinal == 0);
    EXPECT_TRUE(d.windowClass.isOrdinal && d.windowClass.ordinal == 0);
    EXPECT_EQ(controlIds(d), (std::vector<unsigned>{65535, IDC_CLOSE, IDC_CLOSE_ALL, IDC_PROGRAM_LIST, IDC_SWITCH_TO, IDC_CLOSE_ALL_EXCEPT}));
    struct Expected {
        const char16_t* cls;
        const char16_t* text;
        int x, y, cx, cy;
        DWORD style;
    };
    const Expected expected[] = {
        {u"STATIC", u"Running Program List:", 7, 7, 74, 8, 0x50020000},
        {u"BUTTON", u"Close", 7, 83, 36, 12, 0x50010000},
        {u"BUTTON", u"Close All", 112, 83, 36, 12, 0x50010000},
        {u"LISTBOX", u"", 7, 18, 141, 62, 0x50A10101},
        {u"BUTTON", u"Switch to", 7, 99, 36, 12, 0x50010000},
        {u"BUTTON", u"Close All Except", 47, 83, 61, 12, 0x50010000},
    };
    ASSERT_EQ(d.controls.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const DialogControlInfo& c = d.controls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(dialogControlClassName(c), expected[i].cls);
        EXPECT_FALSE(c.text.isOrdinal);
        EXPECT_EQ(c.text.text, expected[i].text);
        EXPECT_EQ(c.x, expected[i].x);
        EXPECT_EQ(c.y, expected[i].y);
        EXPECT_EQ(c.cx, expected[i].cx);
        EXPECT_EQ(c.cy, expected[i].cy);
        EXPECT_EQ(c.style, expected[i].style);
        EXPECT_EQ(c.exStyle, 0u);
    }
}

struct SettingsControl {
    unsigned id;
    const char16_t* cls;
    unsigned icon;  // the icon ordinal of an icon static, else 0
    const char16_t* text;
    DWORD style;
    int portrait[4];
    int landscape[4];
};

constexpr DWORD Check = 0x50010003;
constexpr DWORD NumberEdit = 0x50810882;
constexpr DWORD Spin = 0x50000076;
constexpr DWORD IconStatic = 0x50000003;
constexpr DWORD Label = 0x50020000;

const SettingsControl kSettings[] = {
    {65535, u"STATIC", SettingsBatteryIcon, nullptr, IconStatic, {12, 11, 21, 20}, {12, 10, 20, 20}},
    {IDC_SHOW_BATTERY, u"BUTTON", 0, u"Battery", Check, {37, 15, 39, 10}, {37, 14, 39, 10}},
    {65535, u"STATIC", SettingsMemoryIcon, nullptr, IconStatic, {12, 26, 21, 20}, {83, 10, 20, 20}},
    {IDC_SHOW_PROGRAM_MEMORY, u"BUTTON", 0, u"Program Memory", Check, {37, 30, 73, 10}, {108, 14, 67, 10}},
    {65535, u"STATIC", SettingsStorageIcon, nullptr, IconStatic, {12, 41, 21, 20}, {12, 25, 20, 20}},
    {IDC_SHOW_MAIN_STORAGE, u"BUTTON", 0, u"Main Storage Memory", Check, {37, 45, 88, 10}, {37, 29, 88, 10}},
    {65535, u"STATIC", SettingsCardIcon, nullptr, IconStatic, {12, 56, 21, 20}, {12, 40, 20, 20}},
    {IDC_SHOW_STORAGE_CARD, u"BUTTON", 0, u"Storage Card Memory", Check, {37, 60, 88, 10}, {37, 44, 88, 10}},
    {IDC_CARD_LIST, u"COMBOBOX", 0, u"", 0x50210003, {37, 72, 88, 66}, {37, 56, 88, 66}},
    {65535, u"STATIC", 0, u"Icon X-Coordinate", Label, {15, 89, 61, 9}, {15, 73, 61, 9}},
    {IDC_ICON_X, u"EDIT", 0, u"", NumberEdit, {77, 87, 48, 14}, {77, 71, 48, 14}},
    {IDC_ICON_X_SPIN, u"msctls_updown32", 0, u"Spin1", Spin, {116, 98, 20, 14}, {116, 82, 20, 14}},
    {65535, u"BUTTON", 0, u"Display", 0x50000007, {7, 3, 129, 102}, {7, 3, 176, 88}},
    {IDC_CONFIRM_CLOSE_ALL, u"BUTTON", 0, u"Confirm Close All Programs", Check, {14, 109, 103, 10}, {14, 95, 103, 10}},
    {IDC_RUN_AT_STARTUP, u"BUTTON", 0, nullptr, Check, {14, 120, 65, 10}, {14, 108, 68, 10}},
    {IDC_LARGE_ICONS, u"BUTTON", 0, u"Use Large Icons (VGA Mode Only)", Check, {14, 131, 124, 10}, {14, 121, 124, 10}},
    {65535, u"STATIC", 0, u"Refresh (sec.):", Label, {14, 146, 50, 8}, {13, 136, 50, 8}},
    {IDC_REFRESH, u"EDIT", 0, u"", NumberEdit, {67, 144, 40, 14}, {67, 133, 40, 14}},
    {IDC_REFRESH_SPIN, u"msctls_updown32", 0, u"Spin1", Spin, {104, 150, 20, 14}, {104, 139, 20, 14}},
};

void expectSettingsTemplate(unsigned id, const std::vector<size_t>& order, bool landscape) {
    DialogTemplateInfo d = loadDialog(id);
    EXPECT_EQ(d.style, 0x80C20040u);
    EXPECT_EQ(d.caption, u"Orvo Settings");
    EXPECT_EQ(d.fontName, u"Tahoma");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.cx, landscape ? 190 : 143);
    EXPECT_EQ(d.cy, landscape ? 154 : 164);
    ASSERT_EQ(d.controls.size(), 19u);
    for (size_t i = 0; i < 19; ++i) {
        const SettingsControl& want = kSettings[order[i]];
        const DialogControlInfo& c = d.controls[i];
        SCOPED_TRACE("template " + std::to_string(id) + " control " + std::to_string(i));
        EXPECT_EQ(c.id, want.id);
        // Class names compare without regard to case on the platform.
        std::u16string cls = dialogControlClassName(c);
        for (char16_t& ch : cls) ch = (ch >= u'a' && ch <= u'z') ? static_cast<char16_t>(ch - 32) : ch;
        std::u16string wantCls = want.cls;
        for (char16_t& ch : wantCls) ch = (ch >= u'a' && ch <= u'z') ? static_cast<char16_t>(ch - 32) : ch;
        EXPECT_EQ(cls, wantCls);
        if (want.icon) {
            EXPECT_TRUE(c.text.isOrdinal);
            EXPECT_EQ(c.text.ordinal, want.icon);
        } else {
            EXPECT_FALSE(c.text.isOrdinal);
            if (want.text) {
                EXPECT_EQ(c.text.text, want.text);
            }
        }
        EXPECT_EQ(c.style, want.style);
        const int* pos = landscape ? want.landscape : want.portrait;
        EXPECT_EQ(c.x, pos[0]);
        EXPECT_EQ(c.y, pos[1]);
        EXPECT_EQ(c.cx, pos[2]);
        EXPECT_EQ(c.cy, pos[3]);
    }
    EXPECT_EQ(d.controls[14].text.text, landscape ? u"Run After Reset" : u"Run at start-up");
    // Each up-down control directly follows the edit control it takes as its buddy.
    for (size_t i = 1; i < d.controls.size(); ++i) {
        if (d.controls[i].id == IDC_ICON_X_SPIN) {
            EXPECT_EQ(d.controls[i - 1].id, static_cast<unsigned>(IDC_ICON_X));
        }
        if (d.controls[i].id == IDC_REFRESH_SPIN) {
            EXPECT_EQ(d.controls[i - 1].id, static_cast<unsigned>(IDC_REFRESH));
        }
    }
}

TEST(DialogTemplates, SettingsPortrait) {
    expectSettingsTemplate(SettingsPortraitTemplate, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
                           false);
}

TEST(DialogTemplates, SettingsLandscapeMovesProgramMemoryToTheRight) {
    expectSettingsTemplate(SettingsLandscapeTemplate,
                           {0, 1, 4, 5, 6, 7, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}, true);
}

TEST(DialogTemplates, IconsNamedByTheSettingsStaticsAreAbsent) {
    for (unsigned id : {SettingsBatteryIcon, SettingsMemoryIcon, SettingsStorageIcon, SettingsCardIcon}) {
        EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_GROUP_ICON), nullptr) << id;
    }
}

TEST(DialogTemplates, EveryTruncationOfATemplateIsRejected) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(SettingsPortraitTemplate), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const uint8_t* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    size_t size = SizeofResource(nullptr, found);
    DialogTemplateInfo whole;
    ASSERT_TRUE(sim::parseDialogTemplate(data, size, &whole));
    // The template ends with the last control's creation-data count, perhaps followed by two
    // bytes of padding: every cut that reaches into that count or earlier leaves it incomplete.
    for (size_t cut = 0; cut + 3 <= size; ++cut) {
        std::vector<uint8_t> copy(data, data + cut);
        DialogTemplateInfo info;
        EXPECT_FALSE(sim::parseDialogTemplate(copy.data(), copy.size(), &info)) << "cut at " << cut;
    }
}

TEST(DialogTemplates, ExtendedTemplatesParse) {
    // DLGTEMPLATEEX with DS_SETFONT, caption "A", font 9 "B", weight 700, italic, charset 1,
    // and one control: id 70000, class "X", text ordinal 5, two bytes of creation data.
    std::vector<uint8_t> t;
    auto w16 = [&t](unsigned v) {
        t.push_back(static_cast<uint8_t>(v));
        t.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto w32 = [&](uint32_t v) {
        w16(v & 0xFFFF);
        w16(v >> 16);
    };
    w16(1), w16(0xFFFF), w32(0), w32(0x8), w32(0x80C00040), w16(1);
    w16(1), w16(2), w16(30), w16(40);
    w16(0), w16(0), w16('A'), w16(0);
    w16(9), w16(700), t.push_back(1), t.push_back(1), w16('B'), w16(0);
    while (t.size() % 4) t.push_back(0);
    w32(0), w32(0x20), w32(0x50000000), w16(3), w16(4), w16(5), w16(6), w32(70000);
    w16('X'), w16(0), w16(0xFFFF), w16(5), w16(2), t.push_back(0xAB), t.push_back(0xCD);
    DialogTemplateInfo d;
    ASSERT_TRUE(sim::parseDialogTemplate(t.data(), t.size(), &d));
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.style, 0x80C00040u);
    EXPECT_EQ(d.exStyle, 0x8u);
    EXPECT_EQ(d.caption, u"A");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.fontWeight, 700);
    EXPECT_TRUE(d.italic);
    EXPECT_EQ(d.fontName, u"B");
    ASSERT_EQ(d.controls.size(), 1u);
    const DialogControlInfo& c = d.controls[0];
    EXPECT_EQ(c.id, 70000u);
    EXPECT_EQ(c.exStyle, 0x20u);
    EXPECT_EQ(dialogControlClassName(c), u"X");
    EXPECT_TRUE(c.text.isOrdinal);
    EXPECT_EQ(c.text.ordinal, 5u);
    EXPECT_EQ(c.creationData, (std::vector<uint8_t>{0xAB, 0xCD}));
    t.pop_back();
    EXPECT_FALSE(sim::parseDialogTemplate(t.data(), t.size(), &d));
}

}  // namespace
