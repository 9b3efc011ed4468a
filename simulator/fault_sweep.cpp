#include "fault_sweep.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device.h"
#include "dialogs.h"
#include "file_system.h"
#include "gdi.h"
#include "handles.h"
#include "modal.h"
#include "scenario.h"
#include "scenario/scenario_reader.h"
#include "shell_services.h"
#include "app/main_menu.h"
#include "indicators/scheduler.h"
#include "window_manager.h"
#include "world.h"

namespace scenario {
namespace {

const char16_t* const kSettingsFile = u"\\Program Files\\Marund\\Orvo\\orvo.dat";

// What one run leaves, as the sweep compares it with the run without a fault.
struct Observation {
    std::string error;             // a mistake in the scenario (the run without a fault only)
    std::vector<std::string> faults;
    bool runningAfterScenario = false;
    bool dialogStuck = false;      // a dialog that no Done could end
    bool probed = false;           // the program ran, and the probes were made
    bool timerRunning = false;
    bool indicatorShown = false;
    bool taskMenuOpened = false;
    bool mainMenuOpened = false;
    bool endedByExit = false;
    std::string settingsFile;      // the file's final bytes, or "missing"
    std::set<std::string> settingsStates;  // every state the file had, command after command
    std::map<std::string, size_t> live;    // what is alive once the program has ended
    std::vector<uint64_t> calls;   // each operation's calls during the scenario's own commands
};

std::string fileState() {
    sim::FileNode* node = sim::fileSystem().find(kSettingsFile);
    if (node == nullptr || node->isDirectory()) return "missing";
    std::string hexText;
    char pair[3];
    for (uint8_t b : node->bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        hexText += pair;
    }
    return hexText;
}

// The command, as a line of the scenario language would give it.
void command(const std::string& line) {
    Outcome ignored;
    runCommand(line, ignored);
}

// Ends whatever modal interaction is still open, as a user would: a box is answered No (or OK),
// a menu closed, a dialog left with Done. A dialog without a Done button cannot be ended.
void endOpenModals(Observation& o) {
    for (int round = 0; round < 16; ++round) {
        if (sim::OpenModal* box = sim::openModal(sim::OpenModal::MessageBox)) {
            bool yesNo = (box->style & 0xF) == MB_YESNO;
            sim::answerMessageBox(*box, yesNo ? IDNO : IDOK);
        } else if (sim::OpenModal* menu = sim::openModal(sim::OpenModal::PopupMenu)) {
            sim::cancelMenu(*menu);
        } else if (sim::OpenModal* dialog = sim::openModal(sim::OpenModal::Dialog)) {
            if (!sim::pressDone(dialog->dialog).empty()) {
                o.dialogStuck = true;
                return;
            }
        } else {
            return;
        }
        settle();
    }
    o.dialogStuck = true;
}

// The program's indicator timer, or none.
const sim::Timer* indicatorTimer() {
    HWND main = sim::programMainWindow();
    for (const sim::Timer& t : sim::timers()) {
        if (t.window == main && t.id == IndicatorTimerId) return &t;
    }
    return nullptr;
}

// Where the taskbar shows something other than the shell's painting: the indicator, if any.
bool indicatorPlace(int* x, int* y) {
    const sim::Surface& shell = sim::taskbarAsShellPainted();
    const sim::Surface& screen = sim::screenSurface();
    int minX = shell.width, maxX = -1, minY = shell.height, maxY = -1;
    for (int row = 0; row < shell.height && row < screen.height; ++row) {
        for (int column = 0; column < shell.width && column < screen.width; ++column) {
            if (screen.get(column, row) == shell.get(column, row)) continue;
            minX = std::min(minX, column);
            maxX = std::max(maxX, column);
            minY = std::min(minY, row);
            maxY = std::max(maxY, row);
        }
    }
    if (maxX < 0) return false;
    *x = (minX + maxX) / 2;
    *y = (minY + maxY) / 2;
    return true;
}

// After the scenario: the next repaint and ticks come, the user taps the indicator and the
// notification icon, and ends the program with Exit.
void probe(Observation& o) {
    o.probed = true;
    sim::repaintTaskbar();
    settle();
    const sim::Timer* timer = indicatorTimer();
    o.timerRunning = timer != nullptr;
    const UINT period = timer != nullptr ? timer->period : 0;
    command("advance " + std::to_string(2ull * (period ? period : 2000)));
    int x = 0, y = 0;
    o.indicatorShown = indicatorPlace(&x, &y);
    if (o.indicatorShown) {
        command("tap " + std::to_string(x) + " " + std::to_string(y));
        if (sim::OpenModal* menu = sim::openModal(sim::OpenModal::PopupMenu)) {
            o.taskMenuOpened = true;
            sim::cancelMenu(*menu);
            settle();
        }
    }
    command("tray-tap");
    if (sim::OpenModal* menu = sim::openModal(sim::OpenModal::PopupMenu)) {
        o.mainMenuOpened = true;
        sim::chooseMenuItem(*menu, CmdExit);
        settle();
    }
    endOpenModals(o);
    o.endedByExit = !sim::programRunning();
}

void countLive(Observation& o) {
    o.live["gdi-objects"] = sim::liveGdiObjects();
    o.live["icons"] = sim::liveIcons();
    o.live["device-contexts"] = sim::liveDeviceContexts();
    o.live["menus"] = sim::liveMenus();
    o.live["notification-icons"] = sim::trayIcons().size();
    o.live["timers"] = sim::timers().size();
    o.live["kernel-handles"] = sim::liveKernelObjects();
}

struct Fault {
    sim::Op op;
    uint64_t after;
};

// One run, in a process of its own: the scenario (with the fault, if one), then the probes.
Observation runOnce(const std::string& file, const std::vector<std::string>& lines, const Fault* fault,
                    bool restartIfEnded) {
    Observation o;
    sim::bootDevice();
    sim::clearOperationCalls();
    if (fault) sim::failOperation(fault->op, 1, false, fault->after);
    o.settingsStates.insert(fileState());
    for (size_t i = 0; i < lines.size(); ++i) {
        try {
            command(lines[i]);
        } catch (const ScenarioError& e) {
            // A step that a fault has made impossible (no menu opened, no dialog) is skipped, as
            // a user would find nothing to tap there; without a fault it is a mistake.
            if (fault == nullptr) {
                o.error = file + ":" + std::to_string(i + 1) + ": " + e.what();
                return o;
            }
        }
        o.settingsStates.insert(fileState());
    }
    for (int op = 0; op < sim::kOperationCount; ++op) o.calls.push_back(sim::operationCalls(static_cast<sim::Op>(op)));
    sim::clearFaults();
    endOpenModals(o);
    o.runningAfterScenario = sim::programRunning();
    // A program that did not come up, or went away, is started again by the user.
    if (!o.runningAfterScenario && restartIfEnded) command("start");
    if (sim::programRunning()) probe(o);
    o.settingsStates.insert(fileState());
    o.settingsFile = fileState();
    o.faults = sim::world().faults;
    countLive(o);
    return o;
}

// --- Passing an observation from a run's process to the sweep ---------------------------------

std::string encode(const Observation& o) {
    std::ostringstream out;
    out << "error " << o.error << "\n";
    for (const std::string& f : o.faults) out << "fault " << f << "\n";
    out << "flags " << o.runningAfterScenario << o.dialogStuck << o.probed << o.timerRunning << o.indicatorShown
        << o.taskMenuOpened << o.mainMenuOpened << o.endedByExit << "\n";
    out << "file " << o.settingsFile << "\n";
    for (const std::string& s : o.settingsStates) out << "state " << s << "\n";
    for (auto& [k, v] : o.live) out << "live " << k << " " << v << "\n";
    out << "calls";
    for (uint64_t c : o.calls) out << " " << c;
    out << "\nend\n";
    return out.str();
}

bool decode(const std::string& text, Observation* o) {
    std::istringstream in(text);
    std::string line;
    bool complete = false;
    while (std::getline(in, line)) {
        std::string key = line.substr(0, line.find(' '));
        std::string rest = line.size() > key.size() ? line.substr(key.size() + 1) : "";
        if (key == "error") o->error = rest;
        else if (key == "fault") o->faults.push_back(rest);
        else if (key == "flags" && rest.size() == 8) {
            bool* flags[] = {&o->runningAfterScenario, &o->dialogStuck, &o->probed, &o->timerRunning,
                             &o->indicatorShown, &o->taskMenuOpened, &o->mainMenuOpened, &o->endedByExit};
            for (int i = 0; i < 8; ++i) *flags[i] = rest[static_cast<size_t>(i)] == '1';
        } else if (key == "file") o->settingsFile = rest;
        else if (key == "state") o->settingsStates.insert(rest);
        else if (key == "live") {
            std::istringstream kv(rest);
            std::string k;
            size_t v = 0;
            kv >> k >> v;
            o->live[k] = v;
        } else if (key == "calls") {
            std::istringstream cs(rest);
            uint64_t c;
            while (cs >> c) o->calls.push_back(c);
        } else if (key == "end") complete = true;
    }
    return complete;
}

// --- Running cases in processes of their own, a few at a time ---------------------------------

struct Case {
    std::string label;
    bool hasFault = false;
    Fault fault{};
    bool restartIfEnded = false;
};

struct Running {
    pid_t pid;
    int fd;
    size_t index;
    std::string output;
};

// Runs every case, at most `jobs` at once, each in a forked process (so that no run's state
// reaches another's); a case whose process dies or overruns gives no observation.
std::vector<std::pair<bool, Observation>> runCases(const std::string& file, const std::vector<std::string>& lines,
                                                  const std::vector<Case>& cases, int jobs) {
    std::vector<std::pair<bool, Observation>> results(cases.size());
    std::vector<Running> running;
    size_t next = 0;
    while (next < cases.size() || !running.empty()) {
        while (next < cases.size() && static_cast<int>(running.size()) < jobs) {
            int fds[2];
            if (pipe(fds) != 0) return results;
            std::cout.flush();
            pid_t pid = fork();
            if (pid == 0) {
                close(fds[0]);
                alarm(60);
                static std::ostringstream quiet;
                sim::setLogStream(&quiet);
                const Case& c = cases[next];
                Observation o = runOnce(file, lines, c.hasFault ? &c.fault : nullptr, c.restartIfEnded);
                std::string text = encode(o);
                size_t sent = 0;
                while (sent < text.size()) {
                    ssize_t n = write(fds[1], text.data() + sent, text.size() - sent);
                    if (n <= 0) break;
                    sent += static_cast<size_t>(n);
                }
                close(fds[1]);
                // Ended at once: the simulated device's threads and objects need no tearing down here.
                _exit(0);
            }
            close(fds[1]);
            fcntl(fds[0], F_SETFL, O_NONBLOCK);
            running.push_back(Running{pid, fds[0], next, ""});
            ++next;
        }
        std::vector<pollfd> polls;
        for (const Running& r : running) polls.push_back(pollfd{r.fd, POLLIN, 0});
        poll(polls.data(), polls.size(), 1000);
        for (size_t i = 0; i < running.size();) {
            Running& r = running[i];
            char buffer[4096];
            ssize_t n = read(r.fd, buffer, sizeof buffer);
            if (n > 0) {
                r.output.append(buffer, static_cast<size_t>(n));
                ++i;
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                ++i;
                continue;
            }
            close(r.fd);
            int status = 0;
            waitpid(r.pid, &status, 0);
            Observation o;
            bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && decode(r.output, &o);
            results[r.index] = {ok, o};
            running.erase(running.begin() + static_cast<long>(i));
        }
    }
    return results;
}

// --- Judging a run against the run without the fault ------------------------------------------

std::vector<std::string> harm(const Observation& base, const Observation& run) {
    std::vector<std::string> found;
    for (const std::string& f : run.faults) found.push_back("the device caught a fault: " + f);
    if (run.dialogStuck) found.push_back("a dialog could not be ended");
    if (base.probed && !run.probed) found.push_back("the program did not run");
    // The run without the fault ended the program within the scenario; one whose Exit did not
    // happen (its menu did not open) must still be ended by the user's next Exit.
    if (run.probed && !base.probed && !(run.mainMenuOpened && run.endedByExit)) {
        found.push_back("the program runs on, and Exit does not end it");
    }
    if (run.probed && base.probed) {
        if (base.timerRunning && !run.timerRunning) found.push_back("the indicator timer is not running");
        if (base.indicatorShown && !run.indicatorShown) found.push_back("the indicator no longer comes");
        if (base.taskMenuOpened && !run.taskMenuOpened) found.push_back("a tap on the indicator opens no task menu");
        if (base.mainMenuOpened && !run.mainMenuOpened) found.push_back("the notification icon opens no menu");
        if (base.endedByExit && !run.endedByExit) found.push_back("Exit did not end the program");
    }
    if (!base.settingsStates.count(run.settingsFile)) {
        found.push_back("the settings file holds bytes it never held in the run without the fault");
    }
    for (auto& [what, count] : run.live) {
        auto b = base.live.find(what);
        if (b != base.live.end() && count > b->second) {
            found.push_back(what + " alive: " + std::to_string(count) + " where the run without the fault has " +
                            std::to_string(b->second));
        }
    }
    return found;
}

// The scenario's lines, read as every runner reads them (a directory, an unreadable file or a
// line that is not text is a mistake with FILE:LINE).
std::vector<std::string> readLines(const std::string& file, std::string* error) {
    std::vector<std::string> lines;
    std::ifstream in;
    const std::string problem = openScenarioFile(file, &in);
    if (!problem.empty()) {
        *error = file + ":0: " + problem;
        return lines;
    }
    ScenarioReader reader(in);
    std::string line;
    try {
        while (reader.next(&line)) lines.push_back(line);
    } catch (const ScenarioError& e) {
        *error = file + ":" + std::to_string(reader.lineNumber()) + ": " + e.what();
    }
    return lines;
}

}  // namespace

int runFaultSweep(int argc, char** argv) {
    int jobs = 2;
    uint64_t most = 48;  // calls of one operation tried in one scenario; more are sampled by a stride
    std::vector<std::string> files;
    for (int i = 0; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--jobs" && i + 1 < argc) {
            jobs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--most" && i + 1 < argc) {
            most = static_cast<uint64_t>(std::max(1, std::atoi(argv[++i])));
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        std::cerr << "usage: orvo-sim --sweep [--jobs N] [--most M] FILE.scn ...\n";
        return 2;
    }
    size_t allRuns = 0, allSurvived = 0;
    int status = 0;
    for (const std::string& file : files) {
        std::string error;
        std::vector<std::string> lines = readLines(file, &error);
        if (!error.empty()) {
            std::cerr << error << "\n";
            return 2;
        }
        auto base = runCases(file, lines, {Case{"no fault", false, {}, false}}, 1);
        if (!base[0].first) {
            std::cerr << file << ":0: the run without a fault did not finish\n";
            return 2;
        }
        const Observation& baseline = base[0].second;
        if (!baseline.error.empty()) {
            std::cerr << baseline.error << "\n";
            return 2;
        }
        if (!baseline.faults.empty()) {
            std::cerr << file << ":0: the run without a fault breaks an invariant: " << baseline.faults[0] << "\n";
            return 2;
        }
        std::vector<Case> cases;
        for (int op = 0; op < sim::kOperationCount; ++op) {
            const sim::Op operation = static_cast<sim::Op>(op);
            auto failAfter = [&](uint64_t k) {
                cases.push_back(Case{std::string(sim::operationName(operation)) + " after " + std::to_string(k), true,
                                     Fault{operation, k}, baseline.runningAfterScenario});
            };
            uint64_t calls = baseline.calls[static_cast<size_t>(op)];
            // Very long runs of calls are sampled by a fixed stride, the last call always included.
            uint64_t stride = calls > most ? (calls + most - 1) / most : 1;
            for (uint64_t k = 0; k < calls; k += stride) failAfter(k);
            if (calls > 0 && (calls - 1) % stride != 0) failAfter(calls - 1);
        }
        auto results = runCases(file, lines, cases, jobs);
        size_t survived = 0;
        for (size_t i = 0; i < cases.size(); ++i) {
            std::vector<std::string> problems;
            if (!results[i].first) {
                problems.push_back("the run did not finish (a crash, a sanitizer report or a hang)");
            } else {
                problems = harm(baseline, results[i].second);
            }
            if (problems.empty()) {
                ++survived;
                continue;
            }
            for (const std::string& p : problems) std::cout << file << ": fail " << cases[i].label << ": " << p << "\n";
        }
        std::cout << "sweep " << file.substr(file.rfind('/') + 1) << ": " << cases.size() << " runs, " << survived
                  << " survived\n";
        allRuns += cases.size();
        allSurvived += survived;
        if (survived != cases.size()) status = 1;
    }
    std::cout << "sweep: " << allRuns << " runs, " << allSurvived << " survived ("
              << (allRuns ? 100.0 * static_cast<double>(allSurvived) / static_cast<double>(allRuns) : 100.0) << " %)\n";
    return status;
}

}  // namespace scenario
