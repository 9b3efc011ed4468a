// Cases of the platform's own window-manager conformance tests (user32's win, msg, dialog and menu
// tests) for the calls Orvo makes: window longs and their errors, destruction and its messages,
// sent and posted messages to windows that are gone, timers, the dialog's first focus, popup
// menus. Each assertion is the reference's; a comment names the case it comes from. Where the
// device's reference differs from the desktop's, the device's rule is asserted and said so. The
// cases that hold on every system alike are in tests/conformance/platform_cases.cpp, which the
// compatibility check also runs on the real system.
//
// Not offered here, with the reason:
// - Hooks (HCBT_*), WM_WINDOWPOSCHANGING/ED, WM_NCCALCSIZE, WM_ACTIVATE and the other messages of
//   the reference's message sequences: the simulated window manager sends only the creation,
//   destruction, text, timer, command, dialog and menu messages that Orvo's procedures handle.
// - SetWindowLongPtr across processes (ERROR_ACCESS_DENIED on the desktop): on the device a
//   process may subclass another's window, which the taskbar hook relies on.
// - Timer accuracy (counting WM_TIMER in a second): the simulated clock is exact by design.
// - WM_ENTERMENULOOP, WM_INITMENU, WM_MENUSELECT, keyboard and mouse in menus: the device's
//   reference names WM_INITMENUPOPUP only, and the scenario chooses menu items directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modal.h"
#include "tests/conformance/platform_cases.h"
#include "res/resource.h"
#include "scheduler.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace {

// The menu a popup's WM_INITMENUPOPUP named, kept for the test to check.
HMENU gMenuShown = nullptr;

void expectRule(bool holds, const char* rule) { EXPECT_TRUE(holds) << rule; }

class ConformanceUser : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetWindowManager();
        sim::resetModals();
        sim::clearFaults();
        conformance::forgetWindows();
        conformance::registerWindowClass(nullptr);
        conformance::onMenuPopup = [](HWND, WPARAM menu) { gMenuShown = reinterpret_cast<HMENU>(menu); };
        gMenuShown = nullptr;
    }
    void TearDown() override {
        conformance::onMenuPopup = nullptr;
        sim::resetModals();
        sim::resetWindowManager();
    }
    static HWND make(HWND parent = nullptr) { return conformance::makeWindow(parent); }
    static std::vector<std::string>& log() { return conformance::messageLog(); }
};

TEST_F(ConformanceUser, SetWindowLongSaysWhyItFailed) { conformance::setWindowLongSaysWhyItFailed(expectRule); }

// win.c test_DestroyWindow and the thread tests: a window that is gone, a window of another thread.
TEST_F(ConformanceUser, DestroyWindowSaysWhyItFailed) {
    conformance::destroyingAWindowTwiceFails(expectRule);
    HWND w = make();
    ASSERT_TRUE(DestroyWindow(w));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)) << "the device's answer, as Windows'";

    HWND other = nullptr;
    sim::createThread(nullptr, [&other] {
        other = CreateWindowExW(0, conformance::windowClassName(), u"other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MSG msg;
        GetMessageW(&msg, nullptr, 0, 0);
    });
    sim::runUntilIdle();
    ASSERT_NE(other, nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DestroyWindow(other)) << "only its own thread destroys a window";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(other));
    PostMessageW(other, WM_QUIT, 0, 0);
    sim::runUntilIdle();
}

TEST_F(ConformanceUser, DestructionSendsDestroyDownAndNcDestroyUp) {
    conformance::destructionSendsDestroyDownAndNcDestroyUp(expectRule);
}

TEST_F(ConformanceUser, MessagesToAWindowThatIsGoneFailWithInvalidWindowHandle) {
    conformance::messagesToAWindowThatIsGoneFail(expectRule);
}

TEST_F(ConformanceUser, FindWindowAndWindowText) { conformance::findWindowAndWindowText(expectRule); }

// msg.c test_timers: a timer belongs to its window's thread; killing one that is not there fails.
// The periods follow the device's reference, not the desktop's: the desktop raises a period
// below USER_TIMER_MINIMUM (10 ms) to 10 ms, the device takes it as given; a timer of INFINITE
// cannot be killed on the device.
TEST_F(ConformanceUser, TimersFollowTheDevicesRules) {
    HWND w = make();
    EXPECT_EQ(SetTimer(w, 7, 5, nullptr), 7u);
    ASSERT_EQ(sim::timers().size(), 1u);
    EXPECT_EQ(sim::timers()[0].period, 5u) << "device: the period as given (desktop: 10)";
    EXPECT_EQ(SetTimer(w, 7, 1000, nullptr), 7u) << "the same id replaces the timer";
    EXPECT_EQ(sim::timers().size(), 1u);
    EXPECT_EQ(sim::timers()[0].period, 1000u);
    EXPECT_TRUE(KillTimer(w, 7));
    EXPECT_FALSE(KillTimer(w, 7)) << "already killed";
    EXPECT_FALSE(KillTimer(w, 8)) << "never set";

    EXPECT_EQ(SetTimer(w, 9, INFINITE, nullptr), 9u);
    EXPECT_FALSE(KillTimer(w, 9)) << "device: KillTimer fails for a timer of INFINITE";

    HWND other = nullptr;
    sim::createThread(nullptr, [&other] {
        other = CreateWindowExW(0, conformance::windowClassName(), u"other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        MSG msg;
        GetMessageW(&msg, nullptr, 0, 0);
    });
    sim::runUntilIdle();
    EXPECT_EQ(SetTimer(other, 1, 100, nullptr), 0u) << "the window must be the calling thread's";
    PostMessageW(other, WM_QUIT, 0, 0);
    sim::runUntilIdle();
}

// msg.c / menu.c test_menu_trackpopupmenu: the owner gets WM_INITMENUPOPUP for the menu, item
// position 0 and not a window menu, before the menu shows; a menu that is no menu fails.
TEST_F(ConformanceUser, TrackPopupMenuSendsInitMenuPopupToTheOwnerFirst) {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    BOOL bad = TRUE;
    size_t logWhenShown = 0;
    sim::createThread(nullptr, [&] {
        owner = make();
        menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 10, u"One");
        bad = TrackPopupMenuEx(nullptr, TPM_RETURNCMD, 0, 0, owner, nullptr);
        TrackPopupMenuEx(menu, TPM_RETURNCMD, 5, 5, owner, nullptr);
        DestroyMenu(menu);
    });
    sim::runUntilIdle();
    EXPECT_FALSE(bad);
    sim::OpenModal* open = sim::openModal(sim::OpenModal::PopupMenu);
    ASSERT_NE(open, nullptr) << "the menu is showing";
    logWhenShown = log().size();
    EXPECT_EQ(log(), (std::vector<std::string>{"WM_INITMENUPOPUP 0"}));
    EXPECT_EQ(gMenuShown, menu);
    sim::cancelMenu(*open);
    sim::runUntilIdle();
    EXPECT_EQ(log().size(), logWhenShown) << "sent once, when the menu opens";
}

// dialog.c test_initial_focus and the WM_INITDIALOG cases: wParam is the control that gets the
// focus, the first one that is a tab stop (here after a static picture or text), not the first control.
int gTemplateId = 0;
int gWantedId = 0;
bool gOfferedTheTabStop = false;
bool gOfferedTheFirstControl = false;

INT_PTR CALLBACK focusProbe(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    HWND offered = reinterpret_cast<HWND>(wParam);
    gOfferedTheTabStop = offered != nullptr && offered == GetDlgItem(dialog, gWantedId);
    gOfferedTheFirstControl = offered == sim::findWindowObject(dialog)->children.front();
    EndDialog(dialog, 1);
    return TRUE;
}

TEST_F(ConformanceUser, InitDialogOffersTheFirstTabStop) {
    for (auto [templateId, wanted] : {std::pair<int, int>{SettingsPortraitTemplate, IDC_SHOW_BATTERY},
                                      {AboutDialogTemplate, IDC_ABOUT_CONTINUE}, {ProgramsDialogTemplate, IDC_CLOSE}}) {
        gTemplateId = templateId;
        gWantedId = wanted;
        gOfferedTheTabStop = gOfferedTheFirstControl = false;
        INT_PTR result = 0;
        sim::createThread(nullptr, [&result] {
            HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(gTemplateId), RT_DIALOG);
            auto t = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(nullptr, found)));
            result = DialogBoxIndirectParamW(nullptr, t, nullptr, focusProbe, 0);
        });
        sim::runUntilIdle();
        EXPECT_EQ(result, 1) << templateId;
        EXPECT_TRUE(gOfferedTheTabStop) << templateId;
        EXPECT_FALSE(gOfferedTheFirstControl) << templateId << ": its first control is no tab stop";
    }
}

}  // namespace

namespace {

// win.c's GetWindow cases as far as Orvo leans on them: a dialog's controls are siblings in the
// template's order, the first on top, so GW_HWNDPREV from a control is the one the template lists
// before it (the desktop's Settings dialog finds the icon position's label, which has no id, so).
std::u16string gLabelText;
int gAfterEditId = 0;
bool gFirstIsChild = false;

INT_PTR CALLBACK siblingProbe(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    HWND edit = GetDlgItem(dialog, IDC_ICON_X);
    sim::Window* label = sim::findWindowObject(GetWindow(edit, GW_HWNDPREV));
    gLabelText = label != nullptr ? label->title : u"";
    sim::Window* after = sim::findWindowObject(GetWindow(edit, GW_HWNDNEXT));
    gAfterEditId = after != nullptr ? after->id : 0;
    HWND first = GetWindow(edit, GW_HWNDFIRST);
    gFirstIsChild = first != nullptr && first == GetWindow(dialog, GW_CHILD);
    EndDialog(dialog, 1);
    return TRUE;
}

TEST_F(ConformanceUser, GetWindowWalksADialogsControlsInTemplateOrder) {
    sim::createThread(nullptr, [] {
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(SettingsPortraitTemplate), RT_DIALOG);
        auto t = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(nullptr, found)));
        DialogBoxIndirectParamW(nullptr, t, nullptr, siblingProbe, 0);
    });
    sim::runUntilIdle();
    EXPECT_EQ(gLabelText, u"Icon X-Coordinate");
    EXPECT_EQ(gAfterEditId, IDC_ICON_X_SPIN);
    EXPECT_TRUE(gFirstIsChild);
    SetLastError(0);
    EXPECT_EQ(GetWindow(reinterpret_cast<HWND>(0x7FFF0), GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
