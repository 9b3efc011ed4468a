// The simulated dialog controls behave as the platform's do where the program relies on them:
// list and combo boxes keep the order of addition unless made sorted, selections follow their
// lines, and an up-down control with an inverted range holds its position and shows it in its buddy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs.h"
#include "res/resource.h"
#include "sim_api.h"
#include "window_manager.h"

namespace {

class SimControls : public ::testing::Test {
protected:
    void SetUp() override { sim::resetWindowManager(); }
    void TearDown() override { sim::resetWindowManager(); }

    static HWND control(const std::u16string& kind, DWORD style, int id = 1) {
        return sim::createControl(nullptr, kind, u"", WS_CHILD | WS_VISIBLE | style, RECT{0, 0, 50, 50}, id);
    }
    static void add(HWND box, UINT message, const char16_t* text, LRESULT expectedIndex) {
        EXPECT_EQ(SendMessageW(box, message, 0, reinterpret_cast<LPARAM>(text)), expectedIndex);
    }
};

TEST_F(SimControls, UnsortedBoxesKeepTheOrderOfAddition) {
    HWND list = control(u"LISTBOX", LBS_NOTIFY);
    add(list, LB_ADDSTRING, u"b", 0);
    add(list, LB_ADDSTRING, u"A", 1);
    add(list, LB_ADDSTRING, u"a", 2);
    EXPECT_EQ(sim::controlState(list)->items, (std::vector<std::u16string>{u"b", u"A", u"a"}));
    HWND combo = control(u"COMBOBOX", CBS_DROPDOWNLIST);
    add(combo, CB_ADDSTRING, u"SD Card", 0);
    add(combo, CB_ADDSTRING, u"CF Card", 1);
    EXPECT_EQ(sim::controlState(combo)->items, (std::vector<std::u16string>{u"SD Card", u"CF Card"}));
}

TEST_F(SimControls, SortedBoxesSortWithoutRegardToCaseAndKeepTheSelectedLine) {
    HWND list = control(u"LISTBOX", LBS_NOTIFY | LBS_SORT);
    add(list, LB_ADDSTRING, u"delta", 0);
    add(list, LB_ADDSTRING, u"Bravo", 0);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    add(list, LB_ADDSTRING, u"alpha", 0);
    add(list, LB_ADDSTRING, u"Charlie", 2);
    EXPECT_EQ(sim::controlState(list)->items, (std::vector<std::u16string>{u"alpha", u"Bravo", u"Charlie", u"delta"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3) << "\"delta\" stays selected";
    HWND combo = control(u"COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT);
    add(combo, CB_ADDSTRING, u"SD Card", 0);
    add(combo, CB_ADDSTRING, u"cf card", 0);
    EXPECT_EQ(sim::controlState(combo)->items, (std::vector<std::u16string>{u"cf card", u"SD Card"}));
}

TEST_F(SimControls, SelectionsOutsideTheLinesClearTheSelection) {
    HWND list = control(u"LISTBOX", LBS_NOTIFY);
    add(list, LB_ADDSTRING, u"one", 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    HWND combo = control(u"COMBOBOX", CBS_DROPDOWNLIST);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 0, 0), CB_ERR) << "an empty combo box selects nothing";
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
}

TEST_F(SimControls, UpDownWithAnInvertedRangeHoldsItsPositionAndWritesItsBuddy) {
    HWND edit = control(u"EDIT", ES_READONLY, IDC_ICON_X);
    HWND spin = control(u"msctls_updown32", UDS_SETBUDDYINT | UDS_AUTOBUDDY, IDC_ICON_X_SPIN);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(spin, UDM_SETRANGE, 0, MAKELPARAM(IconXMin, IconXMax));  // upper 0, lower 639
    SendMessageW(spin, UDM_SETPOS, 0, MAKELPARAM(700, 0));
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS, 0, 0), 639);
    WCHAR text[8];
    EXPECT_EQ(GetWindowTextW(edit, text, 8), 3);
    EXPECT_EQ(std::u16string(text), u"639");
    EXPECT_EQ(GetWindowTextW(edit, text, 3), 2) << "the count includes the terminator";
    EXPECT_EQ(std::u16string(text), u"63");
}

}  // namespace
