// Scenario commands that observe the device: pixels, files, windows, resources, screenshots,
// and the project's own checks.
#include <cstdio>
#include <sstream>

#include "device.h"
#include "file_system.h"
#include "gdi.h"
#include "modal.h"
#include "resources.h"
#include "scenario.h"
#include "screen/dialog_view.h"
#include "screen/screen.h"
#include "shell_services.h"
#include "window_manager.h"
#include "world.h"

namespace scenario {
namespace {

std::string rgb(COLORREF c) { return pixelText(GetRValue(c), GetGValue(c), GetBValue(c)); }

void printImage(const sim::Image& img) {
    for (int y = 0; y < img.height; ++y) {
        std::string row;
        for (int x = 0; x < img.width; ++x) row += (x ? " " : "") + rgb(img.at(x, y));
        sim::logLine(row);
    }
}

const Registrar pixels("pixels", [](Args& a, Outcome&) {
    PixelsCommand p = pixelsCommand(a);
    sim::logLine(p.header);
    const sim::Surface& s = sim::screenSurface();
    for (int r = 0; r < p.height; ++r) {
        std::string row;
        for (int c = 0; c < p.width; ++c) {
            COLORREF v = s.contains(p.x + c, p.y + r) ? s.get(p.x + c, p.y + r) : 0;
            row += (c ? " " : "") + rgb(v);
        }
        sim::logLine(row);
    }
});

// `mark-pixels X Y W H` remembers a block of the screen for `expect pixels-unchanged` and
// `expect pixels-changed`: a check that one state of the screen equals another, whatever it is.
struct PixelMark {
    bool set = false;
    PixelsCommand where;
    std::vector<COLORREF> pixels;
};
PixelMark gMark;

std::vector<COLORREF> screenBlock(const PixelsCommand& p) {
    std::vector<COLORREF> block;
    const sim::Surface& s = sim::screenSurface();
    for (int r = 0; r < p.height; ++r) {
        for (int c = 0; c < p.width; ++c) block.push_back(s.contains(p.x + c, p.y + r) ? s.get(p.x + c, p.y + r) : 0);
    }
    return block;
}

const Registrar markPixels("mark-pixels", [](Args& a, Outcome&) {
    gMark.where = pixelsCommand(a);
    gMark.pixels = screenBlock(gMark.where);
    gMark.set = true;
});

const Registrar dumpFile("dump-file", [](Args& a, Outcome&) {
    a.expectCount(1, 1);
    std::u16string path = a.string(0);
    sim::FileNode* node = sim::fileSystem().find(path);
    bool isFile = node != nullptr && !node->isDirectory();
    for (const std::string& line : fileDump(path, isFile ? &node->bytes : nullptr)) sim::logLine(line);
});

const Registrar dumpWindows("dump-windows", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    for (HWND h : sim::topLevelWindows()) {
        sim::Window* w = sim::findWindowObject(h);
        if (w == nullptr) continue;
        sim::logLine("window " + sim::quote(w->title) + " " + sim::quote(w->className) +
                     (w->visible ? " visible" : " hidden"));
    }
});

const Registrar resource("resource", [](Args& a, Outcome&) {
    ResourceCommand r = resourceCommand(a);
    unsigned id = static_cast<unsigned>(r.id);
    if (!r.icon) {
        sim::Image img;
        if (!sim::decodeBitmapResource(id, &img)) {
            sim::logLine("bitmap " + std::to_string(id) + " missing");
            return;
        }
        sim::logLine("bitmap " + std::to_string(id) + " " + std::to_string(img.width) + " " + std::to_string(img.height));
        printImage(img);
    } else {
        sim::Image colour;
        sim::Image mask;
        if (!sim::decodeIconResource(id, 32, &colour, &mask)) {
            sim::logLine("icon " + std::to_string(id) + " missing");
            return;
        }
        sim::logLine("icon " + std::to_string(id) + " " + std::to_string(colour.width) + " " +
                     std::to_string(colour.height));
        printImage(mask);
        printImage(colour);
    }
});

// `tray-icon`: the image the notification area shows for the program's icon, as `resource icon`
// prints an icon: `tray-icon ID W H`, the mask's rows, then the colour image's rows.
const Registrar trayIcon("tray-icon", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    for (const sim::TrayIcon& t : sim::trayIcons()) {
        sim::Window* w = sim::findWindowObject(t.window);
        if (w == nullptr || w->process == nullptr || !w->process->isProgram) continue;
        if (!t.hasImage) {
            sim::logLine("tray-icon " + std::to_string(t.id) + " none");
            return;
        }
        sim::logLine("tray-icon " + std::to_string(t.id) + " " + std::to_string(t.colour.width) + " " +
                     std::to_string(t.colour.height));
        for (const sim::Surface* s : {&t.mask, &t.colour}) printImage(sim::Image{s->width, s->height, s->pixels});
        return;
    }
    sim::logLine("tray-icon missing");
});

// The picture a person sees, not only the pixels the program reads.
const Registrar screenshot("screenshot", [](Args& a, Outcome&) {
    ScreenshotCommand s = screenshotCommand(a);
    sim::Surface picture = sim::screen::composeScreen();
    RECT part = s.part ? RECT{s.x, s.y, s.x + s.width, s.y + s.height} : RECT{0, 0, picture.width, picture.height};
    if (s.part || s.scale != 1) picture = sim::screen::cropAndScale(picture, part, s.scale);
    if (!sim::screen::writePng(picture, s.path)) throw ScenarioError("screenshot: cannot write " + s.path);
});

}  // namespace

// `found` is what the log line of a failure shows; the runner reports both on standard error.
void check(Outcome& o, bool ok, const std::string& found, const Args& a) {
    if (ok) return;
    o.expectFailed = true;
    sim::logLine("expect failed: " + found);
    std::string expected;
    for (size_t i = 0; i < a.count(); ++i) {
        expected += (i ? " " : "") + (a.isString(i) ? quote(a.string(i)) : a.word(i));
    }
    o.failures.push_back("expected " + expected + ", found " + found);
}

std::map<std::string, Command>& expectChecks() {
    static std::map<std::string, Command> table;
    return table;
}

namespace {

// Project checks: `expect gdi-objects N`, `expect icons N`, `expect device-contexts N`,
// `expect menus N`, `expect exit-leftovers GDI ICONS DCS`, `expect running yes|no`,
// `expect file-size "PATH" N`, `expect taskbar-messages MESSAGE N`.
const Registrar expect("expect", [](Args& a, Outcome& o) {
    if (a.count() < 1) throw ScenarioError("expect: what to check?");
    std::string what = a.word(0);
    if (what == "gdi-objects") {
        a.expectCount(2, 2);
        size_t n = sim::liveGdiObjects();
        check(o, n == a.unsignedNumber(1), "gdi-objects " + std::to_string(n), a);
    } else if (what == "icons") {
        a.expectCount(2, 2);
        size_t n = sim::liveIcons();
        check(o, n == a.unsignedNumber(1), "icons " + std::to_string(n), a);
    } else if (what == "device-contexts") {
        a.expectCount(2, 2);
        size_t n = sim::liveDeviceContexts();
        check(o, n == a.unsignedNumber(1), "device-contexts " + std::to_string(n), a);
    } else if (what == "menus") {
        a.expectCount(2, 2);
        size_t n = sim::liveMenus();
        check(o, n == a.unsignedNumber(1), "menus " + std::to_string(n), a);
    } else if (what == "taskbar-messages") {
        a.expectCount(3, 3);
        int64_t message = a.number(1);
        if (message < 0 || message > 0xFFFFFFFFLL) throw ScenarioError("expect taskbar-messages: bad message");
        size_t n = sim::taskbarOwnMessages(static_cast<UINT>(message));
        check(o, n == a.unsignedNumber(2), "taskbar-messages " + sim::hex(static_cast<uint64_t>(message)) + " " +
                                               std::to_string(n), a);
    } else if (what == "exit-leftovers") {
        // `expect exit-leftovers GDI ICONS DCS`: what the last program to end still held.
        a.expectCount(4, 4);
        const sim::ExitLeftovers& l = sim::lastExitLeftovers();
        check(o,
              l.gdiObjects == a.unsignedNumber(1) && l.icons == a.unsignedNumber(2) &&
                  l.deviceContexts == a.unsignedNumber(3),
              "exit-leftovers " + std::to_string(l.gdiObjects) + " " + std::to_string(l.icons) + " " +
                  std::to_string(l.deviceContexts), a);
    } else if (what == "running") {
        a.expectCount(2, 2);
        if (a.word(1) != "yes" && a.word(1) != "no") throw ScenarioError("expect running: yes or no");
        bool running = sim::programRunning();
        check(o, running == (a.word(1) == "yes"), std::string("running ") + (running ? "yes" : "no"), a);
    } else if (what == "pixels-unchanged" || what == "pixels-changed") {
        a.expectCount(1, 1);
        if (!gMark.set) throw ScenarioError("expect " + what + ": no mark-pixels before");
        bool same = screenBlock(gMark.where) == gMark.pixels;
        check(o, same == (what == "pixels-unchanged"), std::string(same ? "pixels unchanged" : "pixels changed") + " since the mark", a);
    } else if (what == "file-size") {
        a.expectCount(3, 3);
        sim::FileNode* node = sim::fileSystem().find(a.string(1));
        int64_t size = node ? static_cast<int64_t>(node->bytes.size()) : -1;
        check(o, size == a.number(2), "file-size " + std::to_string(size), a);
    } else if (what == "dialog-fits") {
        // `expect dialog-fits`: every control of the open dialog can be seen and reached, and shows its text whole.
        a.expectCount(1, 1);
        sim::OpenModal* m = sim::openModal(sim::OpenModal::Dialog);
        if (m == nullptr) throw ScenarioError("expect dialog-fits: no dialog is open");
        std::vector<std::string> problems = sim::screen::dialogLayoutProblems(m->dialog);
        std::string found = "dialog-fits no:";
        for (const std::string& p : problems) found += " " + p + ";";
        check(o, problems.empty(), found, a);
    } else if (auto rule = expectChecks().find(what); rule != expectChecks().end()) {
        rule->second(a, o);
    } else {
        throw ScenarioError("expect: unknown check " + what);
    }
});

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// `traffic`: pixels read from and written to the screen since the last `traffic`, for the
// benchmark's per-presentation figures.
const Registrar traffic("traffic", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    sim::ScreenTraffic& t = sim::screenTraffic();
    sim::logLine("traffic read=" + std::to_string(t.pixelsRead) + " written=" + std::to_string(t.pixelsWritten));
    t = sim::ScreenTraffic();
});

// `calls`: the calls of each fallible platform operation since the last `calls` (those with
// none left out), for the benchmark's count of calls per presentation.
const Registrar calls("calls", [](Args& a, Outcome&) {
    a.expectCount(0, 0);
    std::string line = "calls";
    uint64_t total = 0;
    for (int i = 0; i < sim::kOperationCount; ++i) {
        uint64_t n = sim::operationCalls(static_cast<sim::Op>(i));
        if (n == 0) continue;
        total += n;
        line += std::string(" ") + sim::operationName(static_cast<sim::Op>(i)) + "=" + std::to_string(n);
    }
    sim::logLine(line + " total=" + std::to_string(total));
    sim::clearOperationCalls();
});

}  // namespace
}  // namespace scenario
