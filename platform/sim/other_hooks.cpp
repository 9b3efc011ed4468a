#include "other_hooks.h"

#include "device.h"
#include "scenario/taskbar_hookers.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace sim {
namespace {

// Each other program is a process of the simulated device, with a thread that runs its loop.
Process* gProcesses[8] = {};

void programLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
}

struct SimulatedPrograms {
    using Name = std::u16string;
    static HWND taskbar() { return taskbarWindow(); }
    static WNDPROC replace(HWND taskbar, WNDPROC procedure) { return replaceWindowProc(taskbar, procedure); }
    static void started(int i, WNDPROC procedure, const Name& name) {
        Process* p = newProcess(toUtf8(name), false);
        p->mainThread = createThread(p, programLoop);
        registerProcessCode(reinterpret_cast<const void*>(procedure), p);
        gProcesses[i] = p;
    }
    // A reset has killed every program.
    static bool stillRuns(int i) {
        Process* p = gProcesses[i];
        if (!p->exited && (p->mainThread->killed || p->mainThread->finished)) p->exited = true;
        return !p->exited;
    }
    static void ended(int i) {
        Process* p = gProcesses[i];
        p->exited = true;
        killProcessThreads(p);
        endProcessCode(*p);
    }
};
using Hookers = scenario::TaskbarHookers<SimulatedPrograms>;
static_assert(Hookers::kMost == sizeof gProcesses / sizeof gProcesses[0], "a process for every program");

}  // namespace

std::string taskbarHooker(const std::u16string& name, scenario::HookerAction action) { return Hookers::act(name, action); }

std::vector<RunningHooker> runningHookers() {
    std::vector<RunningHooker> running;
    for (const Hookers::Running& h : Hookers::runningNow()) running.push_back(RunningHooker{h.name, h.hooked});
    return running;
}

int hookersStarted() { return Hookers::started(); }

std::string taskbarProcedureOwner() {
    Window* w = findWindowObject(taskbarWindow());
    if (w == nullptr) return "none";
    Process* owner = w->procProcess ? w->procProcess : w->process;
    if (owner == nullptr || owner == world().shell) return "shell";
    for (int i = 0; i < Hookers::started(); ++i) {
        if (gProcesses[i] == owner) return quote(Hookers::nameOf(i));
    }
    return owner->name;
}

}  // namespace sim
