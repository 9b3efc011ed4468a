// Scenario commands for the programs and the user: starting, time, taps and closes.
#include <algorithm>

#include "device.h"
#include "modal.h"
#include "other_hooks.h"
#include "scenario.h"
#include "screen/screen.h"
#include "shell_services.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace scenario {
namespace {

// `start [N]`: N instances (default 1) started at the same moment; their starts interleave, each
// giving way to the others at every platform call, until all are idle.
const Registrar start("start", [](Args& a, Outcome&) {
    a.expectCount(0, 1);
    const uint64_t count = a.count() == 1 ? a.unsignedNumber(0) : 1;
    if (count < 1 || count > 16) throw ScenarioError("start: 1 to 16 instances at once");
    for (uint64_t i = 0; i < count; ++i) {
        if (sim::startProgram(sim::kInstalledProgramPath) == nullptr) throw ScenarioError("start: orvo.exe is not installed");
    }
    if (count == 1) return;
    sim::world().interleavedStarts = true;
    settle();
    sim::world().interleavedStarts = false;
});

// Time passes in steps from one timer's due time to the next, so that every tick is handled at
// the moment it is due and in the order the timers are due.
const Registrar advance("advance", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    uint64_t ms = a.unsignedNumber(0);
    if (ms > UINT64_MAX - sim::world().clockMs) throw ScenarioError("advance: the clock would pass 2^64 ms");
    uint64_t target = sim::world().clockMs + ms;
    for (;;) {
        auto& timers = sim::timers();
        uint64_t next = UINT64_MAX;
        for (auto& t : timers) next = std::min(next, t.due);
        if (next > target) break;
        sim::world().clockMs = next;
        for (auto& t : sim::timers()) {
            if (t.due == next) {
                t.signaled = true;
                t.due += t.period;
            }
        }
        settle();
    }
    sim::world().clockMs = target;
});

// A pen that touches the screen outside a tracked popup menu closes that menu first; the touch
// then reaches what lies under it, so it never opens a menu inside the open one.
void penClosesOpenMenu() {
    sim::OpenModal* menu = sim::openModal(sim::OpenModal::PopupMenu);
    if (menu == nullptr) return;
    sim::cancelMenu(*menu);
    settle();
}

const Registrar tap("tap", [](Args& a, Outcome&) {
    TapCommand t = tapCommand(a, sim::world().device.screenWidth, sim::world().device.screenHeight);
    int x = t.x;
    int y = t.y;
    // A menu, message box, dialog control or notification icon under the pen takes the tap.
    if (sim::screen::penTap(x, y)) return;
    penClosesOpenMenu();
    HWND h = sim::windowAtPoint(x, y);
    sim::Window* w = sim::findWindowObject(h);
    // A disabled window (the owner of an open message box) takes no pen input.
    if (w == nullptr || !w->enabled) return;
    LPARAM at = MAKELPARAM(x - w->rect.left, y - w->rect.top);
    w->thread->posted.push_back(MSG{h, WM_LBUTTONDOWN, 1, at, GetTickCount(), {x, y}});
    settle();
    if (sim::findWindowObject(h)) w->thread->posted.push_back(MSG{h, WM_LBUTTONUP, 0, at, GetTickCount(), {x, y}});
});

const Registrar taskbarRepaint("taskbar-repaint", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::repaintTaskbar();
});

const Registrar trayTap("tray-tap", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    penClosesOpenMenu();
    sim::sendTrayMessage(WM_LBUTTONDOWN);
});

// `tray-restart`: the notification area is made anew (the shell restarted): its icons are gone
// and every top-level window is sent "TaskbarCreated".
const Registrar trayRestart("tray-restart", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::restartNotificationArea();
});

// `tray-message LPARAM [ICONID]`: the icon id in the callback may be another icon's.
const Registrar trayMessage("tray-message", [](Args& a, Outcome&) {
    a.expectCount(1, 2);
    if (a.count() == 2) {
        int64_t id = a.number(1);
        if (id < 0 || id > 0xFFFFFFFFLL) throw ScenarioError("tray-message: bad icon id");
        UINT iconId = static_cast<UINT>(id);
        sim::sendTrayMessage(static_cast<LPARAM>(a.dwordValue(0)), &iconId);
    } else {
        sim::sendTrayMessage(static_cast<LPARAM>(a.dwordValue(0)));
    }
});

// `taskbar-command ID`: one of the taskbar's own controls sends it WM_COMMAND with this id.
const Registrar taskbarCommand("taskbar-command", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    int64_t id = a.number(0);
    if (id < 0 || id > 0xFFFF) throw ScenarioError("taskbar-command: an id is 0 to 65535");
    sim::sendTaskbarCommand(static_cast<WORD>(id));
});

const Registrar sendClose("send-close", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    HWND main = sim::programMainWindow();
    if (sim::Window* w = sim::findWindowObject(main)) {
        w->thread->posted.push_back(MSG{main, WM_CLOSE, 0, 0, GetTickCount(), {0, 0}});
    }
});

// `taskbar-hooker "NAME" hook|unhook|exit`: another program NAME replaces the taskbar's window
// procedure with one that passes every message on to the one it replaced; puts that one back
// (whatever the taskbar runs by then); or ends, putting it back first when its hook is on.
const Registrar taskbarHooker("taskbar-hooker", [](Args& a, Outcome&) {
    const scenario::HookerCommand c = scenario::readHookerCommand(a);
    scenario::refuseHookerCommand(c, sim::taskbarHooker(c.name, c.action));
});

const Registrar reset("reset", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::world().resetRequested = true;
});

}  // namespace
}  // namespace scenario
