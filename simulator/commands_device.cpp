// Scenario commands that set up the device and the world around the program.
#include "device.h"
#include "file_system.h"
#include "registry.h"
#include "scenario.h"
#include "scheduler.h"
#include "screen/shell_view.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace scenario {
namespace {

HKEY rootKey(const std::string& name) {
    if (name == "HKCU") return HKEY_CURRENT_USER;
    if (name == "HKLM") return HKEY_LOCAL_MACHINE;
    throw ScenarioError("registry root must be HKCU or HKLM, not " + name);
}

const Registrar screen("screen", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    int64_t w = a.number(0);
    int64_t h = a.number(1);
    if (w < 16 || h < 16 || w > 4096 || h > 4096) throw ScenarioError("screen: size out of range");
    sim::resizeDisplay(static_cast<int>(w), static_cast<int>(h));
});

// `no-taskbar`: the device's shell has no taskbar window (a desktop), before any program starts.
const Registrar noTaskbar("no-taskbar", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    for (auto& p : sim::world().processes) {
        if (p->isProgram) throw ScenarioError("no-taskbar: only before the first start");
    }
    sim::removeTaskbar();
});

// `small-icon-size N`: the small-icon size the device reports from now on (SM_CXSMICON and
// SM_CYSMICON, the size a desktop's notification area asks its icons at: 20 at 120 DPI, 24 at
// 144); 0 gives back the screen's own.
const Registrar smallIconSize("small-icon-size", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    int64_t n = a.number(0);
    if (n < 0 || n > 1024) throw ScenarioError("small-icon-size: 0 to 1024 pixels");
    sim::world().device.smallIconSize = static_cast<int>(n);
});

const Registrar battery("battery", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    sim::world().device.batteryPercent = a.byteValue(0);
    sim::world().device.batteryFlag = a.byteValue(1);
});

const Registrar memory("memory", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    sim::world().device.memoryAvailable = a.dwordValue(0);
    sim::world().device.memoryTotal = a.dwordValue(1);
});

const Registrar storage("storage", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    sim::world().device.storageFree = a.dwordValue(0);
    sim::world().device.storageTotal = a.dwordValue(1);
});

const Registrar card("card", [](Args& a, Outcome&) {
    a.expectCount(3, 3);
    std::u16string name = a.fileName(0);
    // A card mounts as a root folder of its own: it cannot take the place of one the device has.
    sim::FileNode* there = sim::fileSystem().find(name);
    if (there != nullptr && !there->isCard) {
        throw ScenarioError("card: " + quote(name) + " is already a root entry that is no card");
    }
    sim::fileSystem().insertCard(name, a.unsignedNumber(1), a.unsignedNumber(2));
});

const Registrar eject("eject", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    if (!sim::fileSystem().ejectCard(a.fileName(0))) throw ScenarioError("eject: no card of that name");
});

const Registrar rootentry("rootentry", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    sim::fileSystem().addRootEntry(a.fileName(0), a.dwordValue(1));
});

const Registrar window("window", [](Args& a, Outcome&) {
    WindowCommand w = windowCommand(a);
    sim::createOtherProgramWindow(w.title, w.className, w.hidden, w.ignoresClose);
});

// `window-exit "TITLE"`: the other program whose window that is ends it by itself (as it exits),
// whether or not it would ignore a close request.
const Registrar windowExit("window-exit", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::u16string title = a.string(0);
    for (HWND h : sim::topLevelWindows()) {
        sim::Window* w = sim::findWindowObject(h);
        if (w == nullptr || w->process != sim::world().programs || w->title != title) continue;
        sim::postAction(w->thread, [h] { DestroyWindow(h); });
        return;
    }
    throw ScenarioError("window-exit: no other program's window " + quote(title));
});

const Registrar registryCommand("registry", [](Args& a, Outcome&) {
    a.expectCount(5, 5);
    HKEY root = rootKey(a.word(0));
    std::u16string key = a.string(1);
    std::u16string name = a.string(2);
    RegistryValue value = scenario::registryValue(a, 3);
    sim::registry().setValue(root, key, name, value.type, value.data);
});

const Registrar registryDelete("registry-delete", [](Args& a, Outcome&) {
    a.expectCount(2, 3);
    HKEY root = rootKey(a.word(0));
    if (a.count() == 3) {
        if (!sim::registry().deleteValue(root, a.string(1), a.string(2))) {
            throw ScenarioError("registry-delete: no value " + quote(a.string(2)) + " in " + quote(a.string(1)));
        }
    } else if (!sim::registry().deleteKey(root, a.string(1))) {
        throw ScenarioError("registry-delete: no key " + quote(a.string(1)));
    }
});

const Registrar file("file", [](Args& a, Outcome&) {
    a.expectCount(2, 2);
    std::u16string path = a.filePath(0);
    sim::FileSystem& fs = sim::fileSystem();
    auto parts = sim::splitPath(path);
    if (parts.empty()) throw ScenarioError("file: empty path");
    std::u16string folder;
    for (size_t i = 0; i + 1 < parts.size(); ++i) folder += u"\\" + parts[i];
    fs.makeDirectories(folder);
    if (fs.writeFile(path, a.hexBytes(1)) == nullptr) throw ScenarioError("file: cannot make " + sim::toUtf8(path));
});

const Registrar fileDelete("file-delete", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::u16string path = a.filePath(0);
    sim::FileNode* node = sim::fileSystem().find(path);
    if (node == nullptr || node->isDirectory()) throw ScenarioError("file-delete: no file " + quote(path));
    if (!sim::fileSystem().remove(path)) throw ScenarioError("file-delete: " + quote(path) + " is open");
});

const Registrar displayOff("display-off-support", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::string v = a.word(0);
    if (v != "yes" && v != "no") throw ScenarioError("display-off-support: yes or no");
    sim::world().device.displayOffSupport = v == "yes";
});

// `shell-style device|pattern`: the shell paints its taskbar as a device does (the Start flag,
// the active title, a running clock), or with the test pattern (the default).
const Registrar shellStyle("shell-style", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::string v = a.word(0);
    if (v != "device" && v != "pattern") throw ScenarioError("shell-style: device or pattern");
    sim::screen::setTaskbarStyle(v == "device" ? sim::screen::TaskbarStyle::Device : sim::screen::TaskbarStyle::Pattern);
});

const Registrar fail("fail", [](Args& a, Outcome&) {
    a.expectCount(1, 3);
    sim::Op op;
    if (!sim::operationNamed(a.word(0), &op)) {
        throw ScenarioError("fail: the device cannot make " + a.word(0) + " fail (no such operation)");
    }
    if (a.count() == 1) {
        sim::failOperation(op, 1, false, 0);
    } else if (a.word(1) == "always") {
        a.expectCount(2, 2);
        sim::failOperation(op, 0, true, 0);
    } else if (a.word(1) == "after") {
        a.expectCount(3, 3);
        sim::failOperation(op, 1, false, a.unsignedNumber(2));
    } else {
        a.expectCount(2, 2);
        sim::failOperation(op, a.unsignedNumber(1), false, 0);
    }
});

}  // namespace
}  // namespace scenario
