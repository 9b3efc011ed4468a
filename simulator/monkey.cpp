#include "monkey.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "dialogs.h"
#include "file_system.h"
#include "modal.h"
#include "other_hooks.h"
#include "registry.h"
#include "scenario.h"
#include "scenario/event_shortening.h"
#include "screen/menu_view.h"
#include "screen/message_box_view.h"
#include "window_manager.h"
#include "world.h"

namespace scenario {
namespace {

// A small generator of its own (SplitMix64), so that a seed plays the same events everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += UINT64_C(0x9E3779B97F4A7C15));
        z = (z ^ (z >> 30)) * UINT64_C(0xBF58476D1CE4E5B9);
        z = (z ^ (z >> 27)) * UINT64_C(0x94D049BB133111EB);
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }  // both included
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

const int kScreens[][2] = {{240, 320}, {320, 240}, {480, 640}, {640, 480}, {240, 240}, {480, 480}};
const char* const kCardNames[] = {"Storage Card", "SD Card", "CF Card"};
const char* const kPppKey = "\"Comm\\\\Tcpip\\\\Hosts\\\\ppp_peer\"";

std::string number(int64_t v) { return std::to_string(v); }

// A point inside r (held on the screen), as the pen would touch it.
std::string tapIn(Random& r, const RECT& area) {
    const sim::Device& d = sim::world().device;
    int left = std::max<int>(0, area.left);
    int top = std::max<int>(0, area.top);
    int right = std::min<int>(d.screenWidth, area.right);
    int bottom = std::min<int>(d.screenHeight, area.bottom);
    if (right <= left || bottom <= top) return "tap " + number(r.below(d.screenWidth)) + " " + number(r.below(d.screenHeight));
    return "tap " + number(r.between(left, right - 1)) + " " + number(r.between(top, bottom - 1));
}

// A tap on what is drawn: an open menu, box or dialog (its controls and buttons most often),
// the indicator, the taskbar, the command bar with the notification icons, or anywhere at all.
std::string tapEvent(Random& r) {
    const sim::Device& d = sim::world().device;
    RECT screen{0, 0, d.screenWidth, d.screenHeight};
    if (!r.chance(20)) {
        if (sim::OpenModal* menu = sim::openModal(sim::OpenModal::PopupMenu)) {
            std::vector<sim::screen::MenuLevel> levels = sim::screen::menuLevels(*menu);
            const sim::screen::MenuLevel& level = levels[static_cast<size_t>(r.below(static_cast<int>(levels.size())))];
            if (level.scrolls && r.chance(30)) return tapIn(r, r.chance(50) ? level.upArrow : level.downArrow);
            return tapIn(r, level.rect);
        }
        if (sim::OpenModal* box = sim::openModal(sim::OpenModal::MessageBox)) {
            sim::screen::MessageBoxLayout layout = sim::screen::layoutMessageBox(*box);
            if (!layout.buttons.empty() && r.chance(70)) {
                return tapIn(r, layout.buttons[static_cast<size_t>(r.below(static_cast<int>(layout.buttons.size())))].rect);
            }
            return tapIn(r, layout.box);
        }
        if (sim::OpenModal* dialog = sim::openModal(sim::OpenModal::Dialog)) {
            sim::DialogState* state = sim::dialogState(dialog->dialog);
            if (state != nullptr && !state->controls.empty() && r.chance(70)) {
                HWND control = state->controls[static_cast<size_t>(r.below(static_cast<int>(state->controls.size())))];
                if (sim::Window* w = sim::findWindowObject(control)) return tapIn(r, w->rect);
            }
            if (sim::Window* w = sim::findWindowObject(dialog->dialog)) return tapIn(r, w->rect);
        }
    }
    int band = sim::taskbarHeight();
    switch (r.below(4)) {
        case 0: return tapIn(r, RECT{118, 0, 154, band});                                        // the indicator
        case 1: return tapIn(r, RECT{0, 0, d.screenWidth, band});                                // the taskbar
        case 2: return tapIn(r, RECT{0, d.screenHeight - band, d.screenWidth, d.screenHeight});  // the command bar
        default: return tapIn(r, screen);
    }
}

std::vector<std::string> insertedCards() {
    std::vector<std::string> names;
    for (const auto& entry : sim::fileSystem().root()->children) {
        if (entry->isCard) names.push_back(sim::toUtf8(entry->name));
    }
    return names;
}

std::vector<std::string> otherWindows() {
    std::vector<std::string> titles;
    for (HWND h : sim::topLevelWindows()) {
        sim::Window* w = sim::findWindowObject(h);
        if (w != nullptr && w->process == sim::world().programs) titles.push_back(sim::toUtf8(w->title));
    }
    return titles;
}

// Another program that hooks the taskbar, as a careful one does: it puts back what it replaced, or
// ends, only while its own procedure is the one the taskbar runs first and no menu or box of a hook
// is open on the shell's thread. Any other order is that program's own fault (it would cut a later
// hook out, or end with its code on the shell's stack), which Orvo cannot mend; the scenarios of
// tests/scenarios/other_hooks play the orders Orvo must survive.
std::string hookerEvent(Random& r) {
    if (sim::taskbarWindow() == nullptr) return "";
    const bool shellBusy = sim::openModal(sim::OpenModal::PopupMenu) || sim::openModal(sim::OpenModal::MessageBox);
    const std::string first = sim::taskbarProcedureOwner();
    std::vector<std::string> choices;
    for (const sim::RunningHooker& h : sim::runningHookers()) {
        const std::string name = quote(h.name);
        if (!h.hooked) choices.push_back("taskbar-hooker " + name + " hook");
        if (shellBusy || (h.hooked && first != name)) continue;
        if (h.hooked) choices.push_back("taskbar-hooker " + name + " unhook");
        choices.push_back("taskbar-hooker " + name + " exit");
    }
    if (sim::hookersStarted() < 8) choices.push_back("taskbar-hooker \"Utility " + number(sim::hookersStarted() + 1) + "\" hook");
    if (choices.empty()) return "";
    return choices[static_cast<size_t>(r.below(static_cast<int>(choices.size())))];
}

// One event a person, the device or another program might produce now; the state of the device
// only steers the choice (what is open, what is inserted), so that most events act on something.
std::string nextEvent(Random& r, int& windowsMade) {
    bool running = sim::programRunning();
    if (!running && r.chance(40)) return "start";
    bool modal = sim::openModal(sim::OpenModal::PopupMenu) || sim::openModal(sim::OpenModal::MessageBox) ||
                 sim::openModal(sim::OpenModal::Dialog);
    int roll = r.below(100);
    if (roll < (modal ? 55 : 35)) return tapEvent(r);
    roll = r.below(100);
    if (roll < 10) return "tray-tap";
    if (roll < 22) {
        // Time passes: a moment, a few ticks, now and then a minute.
        return "advance " + number(r.chance(10) ? 60000 : r.between(1, 5000));
    }
    if (roll < 28) return "taskbar-repaint";
    if (roll < 32) {
        const int* size = kScreens[r.below(6)];
        return "screen " + number(size[0]) + " " + number(size[1]);
    }
    if (roll < 37) {
        std::vector<std::string> cards = insertedCards();
        if (!cards.empty() && r.chance(50)) return "eject \"" + cards[static_cast<size_t>(r.below(static_cast<int>(cards.size())))] + "\"";
        uint64_t total = r.chance(20) ? UINT64_C(8589934592) : static_cast<uint64_t>(r.between(1, 2000000000));
        uint64_t free = total * static_cast<uint64_t>(r.below(101)) / 100;
        return std::string("card \"") + kCardNames[r.below(3)] + "\" " + std::to_string(free) + " " + std::to_string(total);
    }
    if (roll < 43) {
        if (r.chance(25)) {
            std::string hook = hookerEvent(r);
            if (!hook.empty()) return hook;
        }
        // Another program ends its window by itself now and then.
        std::vector<std::string> others = otherWindows();
        if (!others.empty() && r.chance(35)) {
            return "window-exit " + quote(fromUtf8(others[static_cast<size_t>(r.below(static_cast<int>(others.size())))]));
        }
        // Another program starts; some ignore a close, a few are hidden.
        std::string line = "window \"Program " + number(++windowsMade) + "\" \"Prog\"";
        if (r.chance(30)) line += " ignores-close";
        if (r.chance(10)) line += " hidden";
        return line;
    }
    if (roll < 46) return "send-close";
    if (roll < 52) {
        static const int flags[] = {0, 1, 2, 4, 8, 9, 0x80, 0xFF};
        return "battery " + number(r.chance(10) ? 255 : r.between(0, 100)) + " " + number(flags[r.below(8)]);
    }
    if (roll < 56) {
        uint32_t total = static_cast<uint32_t>(r.between(1, 0x7FFFFFFF));
        return "memory " + std::to_string(static_cast<uint64_t>(total) * static_cast<uint64_t>(r.below(101)) / 100) + " " +
               std::to_string(total);
    }
    if (roll < 60) {
        uint32_t total = static_cast<uint32_t>(r.between(1, 0x7FFFFFFF));
        return "storage " + std::to_string(static_cast<uint64_t>(total) * static_cast<uint64_t>(r.below(101)) / 100) + " " +
               std::to_string(total);
    }
    if (roll < 63) {
        bool peer = sim::registry().find(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer") != nullptr;
        return peer ? std::string("registry-delete HKLM ") + kPppKey
                    : std::string("registry HKLM ") + kPppKey + " \"ipaddr\" dword 0x0100007F";
    }
    if (roll < 65) return "start";  // a second instance while one runs, or the first again
    if (roll < 66 && r.chance(50)) return "reset";
    // What a person does with the open menu, box or dialog besides tapping it.
    if (sim::openModal(sim::OpenModal::MessageBox)) return r.chance(50) ? "answer no" : r.chance(50) ? "answer yes" : "answer ok";
    if (sim::openModal(sim::OpenModal::PopupMenu)) return "menu-cancel";
    if (sim::openModal(sim::OpenModal::Dialog)) return "done";
    return r.chance(50) ? "tray-tap" : "advance " + number(r.between(1, 3000));
}

// --- Runs, each on a fresh device in a process of its own --------------------------------------

// What a run reports through its pipe: one "L <line>" per event played, then "F <fault>" when the
// device caught one; a run that dies reports no more.
void send(int fd, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        ssize_t n = write(fd, text.data() + sent, text.size() - sent);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

// Plays the events on the device of this process: generated from `seed` when `lines` is null,
// else the given ones. A generated event that does not apply (a ScenarioError) is dropped; a
// given one makes the run useless for shortening ("U").
void play(int fd, uint64_t seed, int steps, const std::vector<std::string>* lines) {
    sim::bootDevice();
    Random random(seed);
    int windowsMade = 0;
    size_t count = lines ? lines->size() : static_cast<size_t>(steps);
    for (size_t i = 0; i < count; ++i) {
        std::string line = lines ? (*lines)[i] : nextEvent(random, windowsMade);
        Outcome ignored;
        try {
            runCommand(line, ignored);
        } catch (const ScenarioError& e) {
            if (lines) {
                send(fd, "U\n");
                return;
            }
            continue;
        }
        send(fd, "L " + line + "\n");
        if (!sim::world().faults.empty()) {
            send(fd, "F " + sim::world().faults.front() + "\n");
            return;
        }
    }
    send(fd, "OK\n");
}

struct RunResult {
    std::vector<std::string> lines;  // the events played
    bool failed = false;             // a fault, a crash or a hang
    bool useless = false;            // a given event did not apply
    std::string why;
};

RunResult runInChild(uint64_t seed, int steps, const std::vector<std::string>* lines) {
    RunResult result;
    int fds[2];
    if (pipe(fds) != 0) {
        result.useless = true;
        return result;
    }
    std::cout.flush();
    std::cerr.flush();
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        alarm(120);  // a run that hangs is a finding too
        static std::ostringstream quiet;
        sim::setLogStream(&quiet);
        play(fds[1], seed, steps, lines);
        close(fds[1]);
        // Ended at once: the simulated device's threads and objects need no tearing down here.
        _exit(0);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::istringstream in(output);
    std::string row;
    bool finished = false;
    while (std::getline(in, row)) {
        if (row.rfind("L ", 0) == 0) {
            result.lines.push_back(row.substr(2));
        } else if (row.rfind("F ", 0) == 0) {
            result.failed = true;
            result.why = "the device caught a fault: " + row.substr(2);
        } else if (row == "U") {
            result.useless = true;
        } else if (row == "OK") {
            finished = true;
        }
    }
    if (!result.failed && !result.useless && !finished) {
        result.failed = true;
        if (WIFSIGNALED(status)) {
            result.why = WTERMSIG(status) == SIGALRM ? "the run hung" : "the simulator died of signal " + number(WTERMSIG(status));
        } else {
            result.why = "the simulator ended with status " + number(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        }
    }
    return result;
}

bool parseCount(const char* text, uint64_t* value) {
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != 0 || text[0] == '-') return false;
    *value = v;
    return true;
}

}  // namespace

int runMonkey(int argc, char** argv) {
    uint64_t seed = 0;
    uint64_t steps = 500;
    uint64_t seeds = 1;
    bool print = false;
    if (argc < 1 || !parseCount(argv[0], &seed)) {
        std::cerr << "usage: orvo-sim --monkey SEED [--steps N] [--seeds K] [--print]\n";
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--print") {
            print = true;
            continue;
        }
        uint64_t* target = a == "--steps" ? &steps : a == "--seeds" ? &seeds : nullptr;
        if (target == nullptr || i + 1 >= argc || !parseCount(argv[++i], target) || *target < 1 || *target > 1000000) {
            std::cerr << "usage: orvo-sim --monkey SEED [--steps N] [--seeds K] [--print]\n";
            return 2;
        }
    }
    uint64_t events = 0;
    int failures = 0;
    for (uint64_t s = seed; s < seed + seeds; ++s) {
        RunResult run = runInChild(s, static_cast<int>(steps), nullptr);
        events += run.lines.size();
        if (print) {
            std::cout << "# orvo-sim --monkey " << s << " --steps " << steps << "\n";
            for (const std::string& line : run.lines) std::cout << line << "\n";
        }
        if (!run.failed) continue;
        ++failures;
        int runs = 0;
        // A run that died before reporting its last event leaves it out; the shortening then
        // looks for the failure within the events it did report.
        std::vector<std::string> shortest = shortenEvents(
            run.lines,
            [](const std::vector<std::string>& candidate) {
                RunResult r = runInChild(0, 0, &candidate);
                return r.failed && !r.useless;
            },
            300, &runs);
        RunResult again = runInChild(0, 0, &shortest);
        std::cout << "# orvo-sim --monkey " << s << " --steps " << steps << ": " << run.why << "\n"
                  << "# after " << run.lines.size() << " events; shortened to " << shortest.size() << " in " << runs
                  << " runs" << (again.failed ? "" : " (the shortened scenario no longer fails alone)") << ": "
                  << (again.failed ? again.why : "") << "\n";
        for (const std::string& line : shortest) std::cout << line << "\n";
        std::cout.flush();
    }
    std::cout << "monkey: " << seeds << " seed" << (seeds == 1 ? "" : "s") << ", " << events << " events, " << failures
              << " failing" << std::endl;
    return failures ? 3 : 0;
}

}  // namespace scenario
