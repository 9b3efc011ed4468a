// Expectations computed from rules apart from the code under test: the taskbar against the
// shell's last painting and the tests' icon model, and the menus against their one written form
// (tests/expected_menus.h). They print nothing when they hold.
#include "device.h"
#include "gdi.h"
#include "modal.h"
#include "resources.h"
#include "scenario.h"
#include "shell_services.h"
#include "window_manager.h"
#include "tests/expected_menus.h"
#include "tests/expected_taskbar.h"

namespace scenario {
namespace {

expectedTaskbar::Picture picture(const sim::Image& img) {
    return expectedTaskbar::Picture{img.width, img.height, std::vector<uint32_t>(img.pixels.begin(), img.pixels.end())};
}

// The taskbar as the rule says, against the screen the program draws on; `icon` null: the shell's
// painting alone.
void checkTaskbar(Outcome& o, const Args& a, const expectedTaskbar::Icon* icon, int x, int y) {
    if (sim::taskbarWindow() == nullptr) throw ScenarioError("expect " + a.word(0) + ": the device has no taskbar");
    const sim::Surface& shell = sim::taskbarAsShellPainted();
    const sim::Surface& screen = sim::screenSurface();
    if (shell.width != screen.width || shell.height > screen.height) {
        check(o, false, "the taskbar not painted since the screen changed", a);
        return;
    }
    std::string difference = expectedTaskbar::compare(
        shell.width, shell.height, [&](int c, int r) { return static_cast<uint32_t>(screen.get(c, r)); },
        [&](int c, int r) { return static_cast<uint32_t>(shell.get(c, r)); }, icon, x, y);
    check(o, difference.empty(), difference, a);
}

const ExpectRegistrar taskbarAsPainted("taskbar-as-painted", [](Args& a, Outcome& o) {
    a.expectCount(1, 1);
    checkTaskbar(o, a, nullptr, 0, 0);
});

const ExpectRegistrar indicator("indicator", [](Args& a, Outcome& o) {
    IconExpectation e = iconExpectation(a, true);
    int kind = expectedTaskbar::kindByName(e.name);
    if (kind < 0) throw ScenarioError("expect indicator: battery, program-memory, main-storage or storage-card");
    expectedTaskbar::Icon icon = expectedTaskbar::numberIcon(kind, e.value, e.large, [](int id) {
        sim::Image img;
        sim::decodeBitmapResource(static_cast<unsigned>(id), &img);
        return picture(img);
    });
    if (icon.size == 0) throw ScenarioError("expect indicator: the kind's images do not decode");
    checkTaskbar(o, a, &icon, e.x, e.y);
});

const ExpectRegistrar statusIcon("status-icon", [](Args& a, Outcome& o) {
    IconExpectation e = iconExpectation(a, false);
    int small = 0, large = 0;
    if (!expectedTaskbar::statusIconIds(e.name, &small, &large)) {
        throw ScenarioError("expect status-icon: charging, battery-unknown or no-card");
    }
    const int size = e.large ? 32 : 16;
    sim::Image colour, mask;
    if (!sim::decodeIconResource(static_cast<unsigned>(e.large ? large : small), size, &colour, &mask) ||
        colour.width != size || colour.height != size) {
        throw ScenarioError("expect status-icon: the icon has no image of its size");
    }
    expectedTaskbar::Icon icon{size, picture(mask).pixels, picture(colour).pixels};
    checkTaskbar(o, a, &icon, e.x, e.y);
});

expectedTaskbar::Icon resourceIcon(int id, int size) {
    sim::Image colour, mask;
    if (!sim::decodeIconResource(static_cast<unsigned>(id), size, &colour, &mask) || colour.width != size ||
        colour.height != size) {
        throw ScenarioError("expect: icon " + std::to_string(id) + " has no image of " + std::to_string(size) + " pixels");
    }
    return expectedTaskbar::Icon{size, picture(mask).pixels, picture(colour).pixels};
}

// `expect tray-icon ...`: the notification area's copy of the program's icon.
const ExpectRegistrar trayIcon("tray-icon", [](Args& a, Outcome& o) {
    TrayIconExpectation e = trayIconExpectation(a);
    expectedTaskbar::Icon icon;
    const int size = e.large ? 32 : 16;
    if (e.form == TrayIconExpectation::Number) {
        int kind = expectedTaskbar::kindByName(e.name);
        if (kind < 0) throw ScenarioError("expect tray-icon: battery, program-memory, main-storage or storage-card");
        icon = expectedTaskbar::numberIcon(kind, e.value, e.large, [](int id) {
            sim::Image img;
            sim::decodeBitmapResource(static_cast<unsigned>(id), &img);
            return picture(img);
        });
    } else if (e.form == TrayIconExpectation::Status) {
        int small = 0, large = 0;
        if (!expectedTaskbar::statusIconIds(e.name, &small, &large)) {
            throw ScenarioError("expect tray-icon status: charging, battery-unknown or no-card");
        }
        icon = resourceIcon(e.large ? large : small, size);
    } else {
        icon = resourceIcon(e.value, size);
    }
    if (e.in != 0) icon = expectedTaskbar::centredIcon(icon, e.in);
    for (const sim::TrayIcon& t : sim::trayIcons()) {
        sim::Window* w = sim::findWindowObject(t.window);
        if (w == nullptr || w->process == nullptr || !w->process->isProgram) continue;
        if (!t.hasImage) {
            check(o, false, "a notification icon without an image", a);
            return;
        }
        std::string difference = expectedTaskbar::compareIcon(
            t.colour.width, t.colour.height, std::vector<uint32_t>(t.mask.pixels.begin(), t.mask.pixels.end()),
            std::vector<uint32_t>(t.colour.pixels.begin(), t.colour.pixels.end()), icon);
        check(o, difference.empty(), difference, a);
        return;
    }
    check(o, false, "no notification icon", a);
});

void checkMenu(Outcome& o, const Args& a, const std::vector<std::string>& expected) {
    const std::vector<std::string>* found = sim::lastMenuLines();
    if (found == nullptr) {
        check(o, false, "no menu opened", a);
        return;
    }
    std::string difference = expectedMenus::firstDifference(*found, expected);
    check(o, difference.empty(), difference, a);
}

const ExpectRegistrar mainMenu("main-menu", [](Args& a, Outcome& o) {
    a.expectCount(1, 1);
    checkMenu(o, a, expectedMenus::mainMenu());
});

const ExpectRegistrar taskMenu("task-menu", [](Args& a, Outcome& o) {
    std::vector<std::string> titles;
    for (size_t i = 1; i < a.count(); ++i) titles.push_back(quote(a.string(i)));
    checkMenu(o, a, expectedMenus::taskMenu(titles));
});

}  // namespace
}  // namespace scenario
