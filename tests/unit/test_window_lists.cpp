// Which top-level windows count as running programs, and how the two list forms are filled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_api.h"
#include "tasks/window_lists.h"
#include "window_manager.h"

namespace {

// ---- the filter, with the platform reads replaced by recorders ----

std::u16string gClassName;
BOOL gVisible = TRUE;
std::vector<std::string> gReads;

void readClass(HWND, WCHAR* buffer) {
    gReads.push_back("class");
    std::u16string::size_type n = gClassName.copy(buffer, WindowClassUnits - 1);
    buffer[n] = 0;
}

BOOL readVisible(HWND) {
    gReads.push_back("visible");
    return gVisible;
}

BOOL gOwn = FALSE;
BOOL readOwn(HWND) {
    gReads.push_back("own");
    return gOwn;
}

BOOL listable(const std::u16string& title, const std::u16string& className, BOOL visible = TRUE,
              const std::vector<HWND>& listed = {}, BOOL own = FALSE) {
    gClassName = className;
    gVisible = visible;
    gOwn = own;
    gReads.clear();
    HWND window = reinterpret_cast<HWND>(0x1234);
    return isListableWindow(window, title.c_str(), readClass, readVisible, readOwn, listed.data(),
                            static_cast<int>(listed.size()));
}

TEST(WindowFilter, EmptyTitleIsNeverListedAndNothingElseIsAsked) {
    EXPECT_FALSE(listable(u"", u"AnyClass"));
    EXPECT_TRUE(gReads.empty());
}

TEST(WindowFilter, ExcludedTitlesMatchOnlyExactlyAndBeforeTheClassIsRead) {
    for (const char16_t* title : {u"Desktop", u"Programs", u"MS_SIPBUTTON", u"Orvo", u"Phone"}) {
        EXPECT_FALSE(listable(title, u"Plain"));
        EXPECT_TRUE(gReads.empty()) << "the class is read only for titles that pass";
    }
    for (const char16_t* title : {u"desktop", u"DESKTOP", u"Desktop Notes", u"My Desktop", u"Desktop ", u"Programs2",
                                  u"phone", u"orvo", u"Orvo Settings", u"MS_SIPBUTTON2"}) {
        EXPECT_TRUE(listable(title, u"Plain"));
        EXPECT_EQ(gReads, (std::vector<std::string>{"class", "visible", "own"}));
    }
}

TEST(WindowFilter, ExcludedClassesMatchOnlyExactlyAndBeforeVisibilityIsAsked) {
    for (const char16_t* cls : {u"Explore", u"DesktopExplorerWindow", u"ORVO"}) {
        EXPECT_FALSE(listable(u"Notes", cls));
        EXPECT_EQ(gReads, (std::vector<std::string>{"class"}));
    }
    for (const char16_t* cls : {u"explore", u"Explorer", u"orvo", u"ORVO2", u"DesktopExplorerWindow2"}) {
        EXPECT_TRUE(listable(u"Notes", cls));
    }
}

TEST(WindowFilter, TheProgramsOwnWindowsAreNeverListedWhateverTheirTitles) {
    for (const char16_t* title : {u"Orvo Settings", u"About Orvo", u"Notes"}) {
        EXPECT_FALSE(listable(title, u"#32770", TRUE, {}, TRUE));
        EXPECT_EQ(gReads, (std::vector<std::string>{"class", "visible", "own"}));
    }
}

TEST(WindowFilter, HiddenAndAlreadyListedWindowsAreSkipped) {
    EXPECT_FALSE(listable(u"Notes", u"Plain", FALSE));
    EXPECT_EQ(gReads, (std::vector<std::string>{"class", "visible"}));
    HWND self = reinterpret_cast<HWND>(0x1234);
    HWND other = reinterpret_cast<HWND>(0x5678);
    EXPECT_FALSE(listable(u"Notes", u"Plain", TRUE, {other, self}));
    EXPECT_TRUE(listable(u"Notes", u"Plain", TRUE, {other}));
}

// ---- collecting from the simulated window manager ----

std::vector<std::u16string> gListBoxLines;
int gListBoxResets = 0;

LRESULT CALLBACK listBoxProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == LB_ADDSTRING) gListBoxLines.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
    if (message == LB_RESETCONTENT) ++gListBoxResets;
    return 0;
}

class CollectWindows : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetWindowManager();
        sim::clearFaults();
        gListBoxLines.clear();
        forgetListedWindows();
    }
    void TearDown() override { sim::resetWindowManager(); }

    // Made at the top of the z-order, so the last one made is enumerated first.
    static HWND make(const std::u16string& title, const std::u16string& cls = u"Prog", bool visible = true) {
        return sim::createNativeWindow(nullptr, cls, title, nullptr, visible ? WS_VISIBLE : 0, RECT{0, 26, 240, 320});
    }
    static HWND listBox() {
        return sim::createNativeWindow(nullptr, u"LISTBOX", u"", listBoxProc, 0, RECT{0, 0, 10, 10});
    }
};

TEST_F(CollectWindows, BothFormsListInEnumerationOrderWithTheSameFilter) {
    HWND box = listBox();  // hidden, untitled: never listed itself
    HWND a = make(u"Alpha");
    make(u"Hidden", u"Prog", false);
    make(u"Desktop");
    HWND b = make(u"Beta");
    make(u"Mine", u"ORVO");
    collectWindows(TaskMenuForm, NULL);
    ASSERT_EQ(windowCount, 2);
    EXPECT_EQ(taskMenuList[0].window, b);
    EXPECT_EQ(std::u16string(taskMenuList[0].title), u"Beta");
    EXPECT_EQ(taskMenuList[1].window, a);
    EXPECT_EQ(std::u16string(taskMenuList[1].title), u"Alpha");

    collectWindows(ProgramsForm, box);
    ASSERT_EQ(windowCount, 2);
    EXPECT_EQ(programsList[0], b);
    EXPECT_EQ(programsList[1], a);
    EXPECT_EQ(gListBoxLines, (std::vector<std::u16string>{u"Beta", u"Alpha"}));
    EXPECT_EQ(gListBoxResets, 0) << "collecting only adds lines";
}

TEST_F(CollectWindows, ACollectionOfOneFormLeavesTheOtherFormsEntries) {
    HWND a = make(u"Alpha");
    collectWindows(ProgramsForm, NULL);
    ASSERT_EQ(windowCount, 1);
    EXPECT_TRUE(gListBoxLines.empty());
    make(u"Beta");
    make(u"Gamma");
    collectWindows(TaskMenuForm, NULL);
    EXPECT_EQ(windowCount, 3);
    EXPECT_EQ(programsList[0], a) << "the Programs form is untouched";
    collectWindows(TaskMenuForm, NULL);
    EXPECT_EQ(windowCount, 3) << "collecting again with the same windows gives the same list";
    EXPECT_EQ(std::u16string(taskMenuList[2].title), u"Alpha");
}

TEST_F(CollectWindows, EachFormKeepsTheCountOfItsOwnList) {
    HWND box = listBox();
    make(u"Alpha");
    collectWindows(ProgramsForm, box);
    make(u"Beta");
    make(u"Gamma");
    // The task menu collects while the Programs dialog still shows its one line.
    collectWindows(TaskMenuForm, NULL);
    EXPECT_EQ(windowCount, 3);
    EXPECT_EQ(taskMenuCount, 3);
    EXPECT_EQ(programsCount, 1) << "the dialog's buttons act on the one line it shows";
    collectWindows(ProgramsForm, NULL);
    EXPECT_EQ(programsCount, 3);
    EXPECT_EQ(taskMenuCount, 3);
}

TEST_F(CollectWindows, TitlesAreCutTo254Characters) {
    HWND box = listBox();
    std::u16string longTitle(300, u'x');
    for (size_t i = 0; i < longTitle.size(); ++i) longTitle[i] = static_cast<char16_t>(u'a' + i % 26);
    make(longTitle);
    collectWindows(TaskMenuForm, NULL);
    ASSERT_EQ(windowCount, 1);
    EXPECT_EQ(std::u16string(taskMenuList[0].title), longTitle.substr(0, 254));
    collectWindows(ProgramsForm, box);
    ASSERT_EQ(gListBoxLines.size(), 1u);
    EXPECT_EQ(gListBoxLines[0], longTitle.substr(0, 254));
}

TEST_F(CollectWindows, NoEntryIsWrittenPastTheCapacity) {
    std::vector<HWND> made;
    for (int i = 0; i < 300; ++i) made.push_back(make(u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10))));
    HWND box = listBox();
    // The sanitizer build catches any write past either array.
    collectWindows(TaskMenuForm, NULL);
    EXPECT_EQ(windowCount, WindowListCapacity);
    EXPECT_EQ(taskMenuList[0].window, made[299]);
    EXPECT_EQ(taskMenuList[WindowListCapacity - 1].window, made[300 - WindowListCapacity]);
    collectWindows(ProgramsForm, box);
    EXPECT_EQ(windowCount, WindowListCapacity);
    EXPECT_EQ(programsList[WindowListCapacity - 1], made[300 - WindowListCapacity]);
    EXPECT_EQ(gListBoxLines.size(), static_cast<size_t>(WindowListCapacity));
}

TEST_F(CollectWindows, NoListedWindowsGiveACountOfZero) {
    make(u"");
    make(u"Desktop", u"DesktopExplorerWindow");
    windowCount = 7;
    collectWindows(TaskMenuForm, NULL);
    EXPECT_EQ(windowCount, 0);
}

}  // namespace
