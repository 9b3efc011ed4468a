// The replaced taskbar procedure: what it consumes, what it passes on and with which result, and
// how its redraw request reaches a main window that runs on another thread.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "indicators/taskbar_canvas.h"
#include "modal.h"
#include "registry.h"
#include "scheduler.h"
#include "settings/settings_record.h"
#include "sim_api.h"
#include "indicators/scheduler.h"
#include "taskbar/taskbar_hook.h"
#include "tasks/window_lists.h"
#include "window_manager.h"
#include "world.h"

namespace {

constexpr LRESULT TaskbarResult = 0x5A5A;
constexpr WPARAM TapKeys = 1;  // the pen is down

std::vector<std::string> gTrace;
std::ostringstream gLog;

std::string describe(UINT message, WPARAM wParam, LPARAM lParam) {
    return std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam);
}

// The taskbar's own procedure: records what reaches it, and what had been logged by then.
LRESULT CALLBACK ownTaskbarProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    gTrace.push_back("taskbar " + describe(message, wParam, lParam) + (gLog.str().empty() ? "" : " after-events"));
    return TaskbarResult;
}

class TaskbarHook : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetWindowManager();
        sim::resetModals();
        sim::clearFaults();
        sim::registry().deleteKey(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer");
        gTrace.clear();
        gLog.str("");
        sim::setLogStream(&gLog);
        taskbar = sim::createNativeWindow(nullptr, u"HHTaskBar", u"", ownTaskbarProc, WS_VISIBLE, RECT{0, 0, 240, 26});
        originalTaskbarProc = ownTaskbarProc;
        resetCanvas(120);
        settings.largeIcons = 0;
        forgetListedWindows();
        mainWindow = NULL;
    }
    void TearDown() override {
        sim::shutdownScheduler();
        sim::setLogStream(&std::cout);
        sim::clearFaults();
        sim::resetWindowManager();
        sim::registry().deleteKey(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer");
        originalTaskbarProc = NULL;
        mainWindow = NULL;
    }
    LRESULT tap(int x, int y) { return taskbarHookProc(taskbar, WM_LBUTTONDOWN, TapKeys, MAKELPARAM(x, y)); }

    HWND taskbar = nullptr;
};

TEST_F(TaskbarHook, TapsBesideTheIndicatorReachTheTaskbarWithItsResult) {
    for (int x : {119, 137}) {
        gTrace.clear();
        EXPECT_EQ(tap(x, 3), TaskbarResult);
        EXPECT_EQ(gTrace, (std::vector<std::string>{"taskbar " + describe(WM_LBUTTONDOWN, TapKeys, MAKELPARAM(x, 3))}));
    }
    settings.largeIcons = 1;
    gTrace.clear();
    EXPECT_EQ(tap(153, 3), TaskbarResult);
    EXPECT_EQ(gTrace.size(), 1u);
    EXPECT_EQ(sim::liveMenus(), 0u);
}

TEST_F(TaskbarHook, TapsOnTheIndicatorAreConsumedAtAnyHeightAndFreeEveryMenu) {
    for (int x : {120, 136}) {
        EXPECT_EQ(tap(x, 60000), 1);
    }
    settings.largeIcons = 1;
    EXPECT_EQ(tap(152, 0), 1);
    // With programs listed the submenus are attached, and go with the main menu.
    sim::createNativeWindow(nullptr, u"Prog", u"Alpha", nullptr, WS_VISIBLE, RECT{0, 26, 240, 320});
    sim::createNativeWindow(nullptr, u"Prog", u"Beta", nullptr, WS_VISIBLE, RECT{0, 26, 240, 320});
    EXPECT_EQ(tap(130, 3), 1);
    EXPECT_EQ(windowCount, 2);
    EXPECT_TRUE(gTrace.empty()) << "the taskbar never sees a consumed tap";
    EXPECT_EQ(sim::liveMenus(), 0u);
}

TEST_F(TaskbarHook, AMenuThatCannotBeMadeTurnsTheTapIntoAnOrdinaryOne) {
    for (uint64_t succeed = 0; succeed < 3; ++succeed) {
        gTrace.clear();
        sim::failOperation("CreatePopupMenu", 1, false, succeed);
        EXPECT_EQ(tap(125, 3), TaskbarResult);
        EXPECT_EQ(gTrace.size(), 1u);
        EXPECT_EQ(sim::liveMenus(), 0u) << "menus made before the failure are destroyed";
    }
}

TEST_F(TaskbarHook, CommandsAreCarriedOutFirstThenPassedOnWithTheTaskbarsResult) {
    WPARAM powerOff = MAKEWPARAM(256, 0);
    EXPECT_EQ(taskbarHookProc(taskbar, WM_COMMAND, powerOff, 77), TaskbarResult);
    EXPECT_EQ(gLog.str(), "0 key 0xDF down silent\n0 key 0xDF up silent\n");
    EXPECT_EQ(gTrace, (std::vector<std::string>{"taskbar " + describe(WM_COMMAND, powerOff, 77) + " after-events"}));
    // Ids that decode to nothing, and the taskbar's own command ids, are passed on just the same.
    for (WPARAM id : {WPARAM{541}, WPARAM{332}, WPARAM{575}, MAKEWPARAM(9000, 1)}) {
        gTrace.clear();
        EXPECT_EQ(taskbarHookProc(taskbar, WM_COMMAND, id, 0), TaskbarResult);
        EXPECT_EQ(gTrace.size(), 1u);
    }
}

TEST_F(TaskbarHook, OtherMessagesArePassedOnUnchanged) {
    EXPECT_EQ(taskbarHookProc(taskbar, WM_LBUTTONUP, 0, MAKELPARAM(125, 3)), TaskbarResult);
    EXPECT_EQ(taskbarHookProc(taskbar, WM_TIMER, 7, 8), TaskbarResult);
    EXPECT_EQ(gTrace, (std::vector<std::string>{"taskbar " + describe(WM_LBUTTONUP, 0, MAKELPARAM(125, 3)),
                                                "taskbar " + describe(WM_TIMER, 7, 8)}));
}

TEST_F(TaskbarHook, ARepaintBeforeTheMainWindowExistsIsOnlyPainted) {
    EXPECT_EQ(taskbarHookProc(taskbar, WM_PAINT, 0, 0), 1);
    EXPECT_EQ(gTrace, (std::vector<std::string>{"taskbar " + describe(WM_PAINT, 0, 0)}));
}

// ---- the redraw request across threads ----

bool gMainBusy = true;
HWND gMain = nullptr;
HWND gTaskbar = nullptr;
constexpr UINT StopMessage = WM_USER + 1;

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER || message == PostedRefreshMessage) gTrace.push_back("main " + describe(message, wParam, lParam));
    if (message == StopMessage) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A main window whose thread is busy (takes no messages) until released, then runs its loop.
void mainThread() {
    gMain = sim::createNativeWindow(sim::currentThread(), u"ORVO", u"Orvo", mainProc, 0, RECT{0, 26, 240, 320});
    sim::blockUntil([] { return !gMainBusy; }, false);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
}

void shellThread() {
    LRESULT result = taskbarHookProc(gTaskbar, WM_PAINT, 0, 0);
    gTrace.push_back("hook returned " + std::to_string(result));
}

class RedrawRequest : public TaskbarHook {
protected:
    // Repaints the taskbar on its own thread while the main window's thread is busy; returns the
    // trace at that moment, then lets the main window go on.
    std::vector<std::string> repaintWhileMainIsBusy() {
        gMainBusy = true;
        gTaskbar = taskbar;
        sim::createThread(nullptr, mainThread);
        sim::runUntilIdle();
        mainWindow = gMain;
        sim::createThread(nullptr, shellThread);
        sim::runUntilIdle();
        std::vector<std::string> whileBusy = gTrace;
        gMainBusy = false;
        sim::runUntilIdle();
        PostMessageW(gMain, StopMessage, 0, 0);
        sim::runUntilIdle();
        return whileBusy;
    }
    const std::string paint = "taskbar " + describe(WM_PAINT, 0, 0);
    const std::string redraw = "main " + describe(WM_TIMER, 159, 604);
    const std::string postedRedraw = "main " + describe(PostedRefreshMessage, 159, 604);
};

TEST_F(RedrawRequest, WithoutAPeerTheHookWaitsForTheMainWindow) {
    EXPECT_EQ(repaintWhileMainIsBusy(), (std::vector<std::string>{paint}));
    EXPECT_EQ(gTrace, (std::vector<std::string>{paint, redraw, "hook returned 1"}));
}

TEST_F(RedrawRequest, WithAPeerAddressTheRequestIsPostedAndTheHookReturnsAtOnce) {
    sim::registry().setValue(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", u"ipaddr", REG_BINARY, {10, 0, 0, 1});
    EXPECT_EQ(repaintWhileMainIsBusy(), (std::vector<std::string>{paint, "hook returned 1"}));
    EXPECT_EQ(gTrace, (std::vector<std::string>{paint, "hook returned 1", postedRedraw}));
}

// The platform takes a WM_TIMER's lParam for a timer procedure: a posted WM_TIMER carrying the
// redraw marker never reaches the main window, which is why the posted request is a message of
// the program's own.
TEST_F(RedrawRequest, APostedTimerMessageWithAMarkerIsLostOnThePlatform) {
    gMainBusy = false;
    sim::createThread(nullptr, mainThread);
    sim::runUntilIdle();
    PostMessageW(gMain, WM_TIMER, IndicatorTimerId, RefreshInPlace);
    PostMessageW(gMain, WM_TIMER, IndicatorTimerId, 0);
    PostMessageW(gMain, StopMessage, 0, 0);
    sim::runUntilIdle();
    EXPECT_EQ(gTrace, (std::vector<std::string>{"main " + describe(WM_TIMER, 159, 0)}));
}

TEST_F(RedrawRequest, APeerAddressLongerThanFourBytesCountsAsNoPeer) {
    sim::registry().setValue(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", u"ipaddr", REG_BINARY,
                             {10, 0, 0, 1, 2});
    EXPECT_EQ(repaintWhileMainIsBusy(), (std::vector<std::string>{paint}));
    EXPECT_EQ(gTrace, (std::vector<std::string>{paint, redraw, "hook returned 1"}));
}

TEST_F(RedrawRequest, PeerPresenceNeedsTheValueNotJustTheKey) {
    sim::registry().create(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer");
    EXPECT_FALSE(isPppPeerPresent());
    sim::registry().setValue(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", u"ipaddr", REG_DWORD, {1, 2, 3, 4});
    EXPECT_TRUE(isPppPeerPresent()) << "the type is not looked at";
    sim::registry().setValue(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", u"ipaddr", REG_BINARY, {1, 2});
    EXPECT_TRUE(isPppPeerPresent()) << "a shorter value fits the 4 bytes";
}

}  // namespace
