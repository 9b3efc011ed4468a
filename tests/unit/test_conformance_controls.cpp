// Cases of the platform's own control conformance tests (comctl32's updown test, user32's listbox
// and combo tests) for the messages Orvo's dialogs send. Each assertion is the reference's; a
// comment names the case it comes from.
//
// Not offered here, with the reason:
// - Keyboard and mouse input (WM_KEYDOWN on the buddy, clicks on the arrows, UDM_SETACCEL): the
//   scenario spins the control by its arrows only, one step at a time.
// - UDM_SETRANGE32/GETPOS32, UDM_SETBASE, UDM_SETUNICODEFORMAT, thousands separators: Orvo uses the
//   16-bit messages in base 10 with positions below 1000.
// - The buddy's resizing and subclassing, the messages sent to the parent (WM_NOTIFYFORMAT,
//   UDN_DELTAPOS): Orvo does not handle them.
// - Owner-drawn, multi-selection and LBS_HASSTRINGS-less list boxes, combo boxes with an edit
//   field, item data and heights: the templates use plain lists and drop-down lists only.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialogs.h"
#include "scheduler.h"
#include "sim_api.h"
#include "window_manager.h"

namespace {

class ConformanceControls : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetWindowManager();
        edit = control(u"EDIT", WS_BORDER, 1);
    }
    void TearDown() override { sim::resetWindowManager(); }

    static HWND control(const std::u16string& kind, DWORD style, int id) {
        return sim::createControl(nullptr, kind, u"", WS_CHILD | WS_VISIBLE | style, RECT{0, 0, 50, 50}, id);
    }
    // updown.c create_updown_control: the buddy, a range of 0 to 100, the position 50.
    HWND updown(DWORD style) {
        HWND u = control(u"msctls_updown32", style, 2);
        SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(100, 0));
        SendMessageW(u, UDM_SETPOS, 0, MAKELONG(50, 0));
        return u;
    }
    std::u16string editText() const {
        WCHAR text[16] = {0};
        GetWindowTextW(edit, text, 16);
        return text;
    }

    HWND edit = nullptr;
};

#define EXPECT_POS(result, position, error)                                  \
    do {                                                                     \
        LRESULT r_ = (result);                                               \
        EXPECT_EQ(static_cast<short>(LOWORD(r_)), position);                 \
        EXPECT_EQ(HIWORD(r_) != 0, (error)) << "the high word flags an error"; \
    } while (0)

// updown.c test_updown_pos: positions are held to the range; without UDS_SETBUDDYINT the high
// word of UDM_GETPOS is always set.
TEST_F(ConformanceControls, UpDownHoldsItsPositionToTheRange) {
    HWND u = updown(UDS_ALIGNRIGHT);
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(100, 0));
    LRESULT range = SendMessageW(u, UDM_GETRANGE, 0, 0);
    EXPECT_EQ(LOWORD(range), 100);
    EXPECT_EQ(HIWORD(range), 0);
    SendMessageW(u, UDM_SETPOS, 0, MAKELONG(5, 0));
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 5, true);
    EXPECT_EQ(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(0, 0)), 5);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 0, true);
    EXPECT_EQ(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(-1, 0)), 0);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 0, true);
    EXPECT_EQ(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(100, 0)), 0);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 100, true);
    EXPECT_EQ(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(101, 0)), 100);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 100, true);
    EXPECT_EQ(editText(), u"") << "no UDS_SETBUDDYINT: the buddy is left alone";
}

// updown.c test_updown_pos, the UDS_SETBUDDYINT part: an inverted range (upper 1, lower 40) holds
// the position between the two, and UDM_GETPOS reads the buddy back: "50" is out of the range.
TEST_F(ConformanceControls, UpDownWithAnInvertedRangeReadsItsBuddyBack) {
    SetWindowTextW(edit, u"50");
    HWND u = updown(UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS);
    EXPECT_EQ(SendMessageW(u, UDM_SETPOS, 0, 50), 50);
    SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(1, 40));
    LRESULT range = SendMessageW(u, UDM_GETRANGE, 0, 0);
    EXPECT_EQ(LOWORD(range), 1);
    EXPECT_EQ(HIWORD(range), 40);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 40, true);
    EXPECT_POS(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(0, 0)), 40, false);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 1, false);
    EXPECT_EQ(editText(), u"1");
    EXPECT_POS(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(2, 0)), 1, false);
    EXPECT_POS(SendMessageW(u, UDM_SETPOS, 0, MAKELONG(50, 0)), 2, false);
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 40, false);
}

// updown.c test_UDS_SETBUDDYINT: the style counts as the control was made; the position read back
// is the buddy's number, and text that is no number is an error that keeps the last position.
TEST_F(ConformanceControls, UpDownTakesTheBuddysNumberAsItsPosition) {
    HWND later = updown(UDS_ALIGNRIGHT);
    SetWindowLongPtrW(later, GWL_STYLE, GetWindowLongPtrW(later, GWL_STYLE) | UDS_SETBUDDYINT);
    SendMessageW(later, UDM_SETPOS, 0, 20);
    EXPECT_EQ(editText(), u"") << "UDS_SETBUDDYINT set after creation does nothing";
    DestroyWindow(later);

    HWND u = updown(UDS_SETBUDDYINT | UDS_ALIGNRIGHT);
    EXPECT_EQ(editText(), u"50");
    SetWindowLongPtrW(u, GWL_STYLE, GetWindowLongPtrW(u, GWL_STYLE) & ~UDS_SETBUDDYINT);
    SendMessageW(u, UDM_SETPOS, 0, 20);
    EXPECT_EQ(editText(), u"20") << "nor does taking it away";
    SetWindowTextW(edit, u"10");
    EXPECT_EQ(SendMessageW(u, UDM_GETPOS, 0, 0), 10);
    SetWindowTextW(edit, u"11");
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 11, false);
    SetWindowTextW(edit, u"21st");
    EXPECT_POS(SendMessageW(u, UDM_GETPOS, 0, 0), 11, true);
}

// updown.c test_updown_buddy: UDM_SETBUDDY returns the previous buddy, UDM_GETBUDDY the current.
TEST_F(ConformanceControls, UpDownBuddyComesBack) {
    HWND u = updown(UDS_ALIGNRIGHT);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(u, UDM_GETBUDDY, 0, 0)), edit);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0)), edit);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(u, UDM_SETBUDDY, 0, 0)), edit);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(u, UDM_GETBUDDY, 0, 0)), nullptr);
}

// The scenario's tap on an arrow starts from the number the buddy shows, as the control reads it
// before every step (updown.c's TO TEST list: "UDM_GETPOS ... position is the caption of the buddy").
TEST_F(ConformanceControls, ASpinStartsFromTheBuddysNumber) {
    HWND dialog = nullptr;
    HWND buddy = nullptr;
    sim::createThread(nullptr, [&] {
        dialog = sim::createNativeWindow(sim::currentThread(), u"#32770", u"d", DefWindowProcW, 0, RECT{0, 0, 100, 100});
        auto state = std::make_unique<sim::DialogState>();
        sim::DialogState* d = state.get();
        sim::findWindowObject(dialog)->extra = std::move(state);
        buddy = sim::createControl(dialog, u"EDIT", u"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 40, 10}, 10);
        HWND u = sim::createControl(dialog, u"msctls_updown32", u"", WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT,
                                    RECT{40, 0, 50, 10}, 11);
        d->controls = {buddy, u};
        SendMessageW(u, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        SendMessageW(u, UDM_SETRANGE, 0, MAKELONG(0, 639));  // inverted: "up" moves toward 0
        SendMessageW(u, UDM_SETPOS, 0, MAKELONG(100, 0));
        SetWindowTextW(buddy, u"300");  // typed over the number the control wrote
        MSG msg;
        GetMessageW(&msg, nullptr, 0, 0);
    });
    sim::runUntilIdle();
    ASSERT_EQ(sim::spinControl(dialog, 11, false, 2), "");
    sim::runUntilIdle();
    WCHAR text[8];
    GetWindowTextW(buddy, text, 8);
    EXPECT_EQ(std::u16string(text), u"302");
    PostMessageW(dialog, WM_QUIT, 0, 0);
    sim::runUntilIdle();
}

// listbox.c / combo.c: indexes out of the lines are errors; -1 clears the selection and still
// answers LB_ERR / CB_ERR; a sorted box returns where the line went.
TEST_F(ConformanceControls, ListAndComboBoxesAnswerErrorsOutsideTheirLines) {
    HWND list = control(u"LISTBOX", LBS_NOTIFY | LBS_SORT, 3);
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"b")), 0);
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"a")), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 2, 0), LB_ERR);
    WCHAR text[8];
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 1);
    EXPECT_EQ(std::u16string(text), u"b");
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);

    HWND combo = control(u"COMBOBOX", CBS_DROPDOWNLIST, 4);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"SD Card"));
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 1, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 0, 0), 0);
    // combo.c: a drop-down list's text is its selected line.
    EXPECT_EQ(GetWindowTextW(combo, text, 8), 7);
    EXPECT_EQ(std::u16string(text), u"SD Card");
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(GetWindowTextW(combo, text, 8), 0);
    EXPECT_EQ(SendMessageW(combo, CB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
}

}  // namespace
