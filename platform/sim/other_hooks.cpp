#include "other_hooks.h"

#include "device.h"
#include "sim_api.h"
#include "window_manager.h"
#include "world.h"

namespace sim {
namespace {

struct Hooker {
    std::u16string name;
    Process* process = nullptr;
    WNDPROC replaced = nullptr;  // what its hook replaced, passed everything on
    bool hooked = false;
};

// A window procedure has no data of its own: each program gets one of a fixed set, never
// reused, so that a procedure stays the code of the one program that put it there.
constexpr int kHookers = 8;
Hooker gHookers[kHookers];
int gHookersMade = 0;

template <int I>
LRESULT CALLBACK hookerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(gHookers[I].replaced, window, message, wParam, lParam);
}

template <int... I>
constexpr WNDPROC procedureOf(int i, std::integer_sequence<int, I...>) {
    constexpr WNDPROC procs[] = {hookerProc<I>...};
    return procs[i];
}

WNDPROC procedureOf(int i) { return procedureOf(i, std::make_integer_sequence<int, kHookers>()); }

// The running program of that name, or -1. A reset has killed every program.
int runningHooker(const std::u16string& name) {
    for (int i = 0; i < gHookersMade; ++i) {
        Process* p = gHookers[i].process;
        if (!p->exited && (p->mainThread->killed || p->mainThread->finished)) p->exited = true;
        if (gHookers[i].name == name && !p->exited) return i;
    }
    return -1;
}

void programLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
}

}  // namespace

std::string taskbarHooker(const std::u16string& name, HookerAction action) {
    int i = runningHooker(name);
    HWND taskbar = taskbarWindow();
    switch (action) {
        case HookerAction::Hook: {
            if (taskbar == nullptr) return "there is no taskbar to hook";
            if (i >= 0 && gHookers[i].hooked) return "that program's procedure is already on the taskbar";
            if (i < 0) {
                if (gHookersMade == kHookers) return "at most 8 other programs can hook the taskbar";
                i = gHookersMade++;
                Hooker& h = gHookers[i];
                h.name = name;
                h.process = newProcess(toUtf8(name), false);
                h.process->mainThread = createThread(h.process, programLoop);
                registerProcessCode(reinterpret_cast<const void*>(procedureOf(i)), h.process);
            }
            gHookers[i].replaced = replaceWindowProc(taskbar, procedureOf(i));
            gHookers[i].hooked = true;
            return "";
        }
        case HookerAction::Unhook:
            if (i < 0 || !gHookers[i].hooked) return "that program has no procedure on the taskbar";
            // As such programs do: what it replaced goes back, whatever the taskbar runs now.
            if (taskbar != nullptr) replaceWindowProc(taskbar, gHookers[i].replaced);
            gHookers[i].hooked = false;
            return "";
        case HookerAction::Exit: {
            if (i < 0) return "no program of that name runs";
            Hooker& h = gHookers[i];
            // A program that ends puts back what it replaced first.
            if (h.hooked && taskbar != nullptr) replaceWindowProc(taskbar, h.replaced);
            h.hooked = false;
            h.process->exited = true;
            killProcessThreads(h.process);
            endProcessCode(*h.process);
            return "";
        }
    }
    return "";
}

std::vector<RunningHooker> runningHookers() {
    std::vector<RunningHooker> running;
    for (int i = 0; i < gHookersMade; ++i) {
        if (runningHooker(gHookers[i].name) == i) running.push_back(RunningHooker{gHookers[i].name, gHookers[i].hooked});
    }
    return running;
}

int hookersStarted() { return gHookersMade; }

std::string taskbarProcedureOwner() {
    Window* w = findWindowObject(taskbarWindow());
    if (w == nullptr) return "none";
    Process* owner = w->procProcess ? w->procProcess : w->process;
    if (owner == nullptr || owner == world().shell) return "shell";
    for (int i = 0; i < gHookersMade; ++i) {
        if (gHookers[i].process == owner) return quote(gHookers[i].name);
    }
    return owner->name;
}

}  // namespace sim
