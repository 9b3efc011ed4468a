// Other programs that replace the taskbar's window procedure, as utilities beside Orvo do: each
// puts a procedure of its own on the taskbar that passes every message on to the procedure it
// replaced, can later put that one back, and ends. The rules of the scenario command
// `taskbar-hooker "NAME" hook|unhook|exit`, for every runner of scenarios alike; a runner gives
// the platform's side as `Host`:
//   using Name;                                   the text type of a program's name
//   static HWND taskbar();                        the taskbar now, or NULL
//   static WNDPROC replace(HWND, WNDPROC);        SetWindowLongPtr(GWLP_WNDPROC), the old one back
//   static void started(int i, WNDPROC, const Name&);  program i begins, owning that procedure
//   static bool stillRuns(int i);                 program i has not ended otherwise (a reset)
//   static void ended(int i);                     program i ends
// Header only: both runners include it with their own platform's declarations in front.
#pragma once

#include <string>
#include <vector>

#include "scenario/scenario_syntax.h"

namespace scenario {

enum class HookerAction { Hook, Unhook, Exit };

// The command's words: `taskbar-hooker "NAME" hook|unhook|exit`; a mistake is a ScenarioError.
struct HookerCommand {
    std::u16string name;
    std::string word;
    HookerAction action = HookerAction::Hook;
};

inline HookerCommand readHookerCommand(const Args& a) {
    a.expectCount(2, 2);
    HookerCommand c;
    c.name = a.string(0);
    if (c.name.empty()) throw ScenarioError("taskbar-hooker: a program needs a name");
    c.word = a.word(1);
    if (c.word == "hook") {
        c.action = HookerAction::Hook;
    } else if (c.word == "unhook") {
        c.action = HookerAction::Unhook;
    } else if (c.word == "exit") {
        c.action = HookerAction::Exit;
    } else {
        throw ScenarioError("taskbar-hooker: hook, unhook or exit, not " + c.word);
    }
    return c;
}

// What made the command impossible ("" when it was done) becomes the scenario's error.
inline void refuseHookerCommand(const HookerCommand& c, const std::string& problem) {
    if (!problem.empty()) throw ScenarioError("taskbar-hooker " + quote(c.name) + " " + c.word + ": " + problem);
}

template <typename Host>
class TaskbarHookers {
public:
    using Name = typename Host::Name;
    static constexpr int kMost = 8;

    struct Running {
        Name name;
        bool hooked = false;
    };

    // Carries out the action of program NAME (started by its first hook). Returns "" when done,
    // or what made it impossible (a mistake in the scenario).
    static std::string act(const Name& name, HookerAction action) {
        int i = running(name);
        HWND taskbar = Host::taskbar();
        switch (action) {
            case HookerAction::Hook:
                if (taskbar == NULL) return "there is no taskbar to hook";
                if (i >= 0 && table[i].hooked) return "that program's procedure is already on the taskbar";
                if (i < 0) {
                    if (made == kMost) return "at most 8 other programs can hook the taskbar";
                    i = made++;
                    table[i].name = name;
                    table[i].ended = false;
                    Host::started(i, procedureOf(i), name);
                }
                table[i].replaced = Host::replace(taskbar, procedureOf(i));
                table[i].hooked = true;
                return "";
            case HookerAction::Unhook:
                if (i < 0 || !table[i].hooked) return "that program has no procedure on the taskbar";
                // As such programs do: what it replaced goes back, whatever the taskbar runs now.
                if (taskbar != NULL) Host::replace(taskbar, table[i].replaced);
                table[i].hooked = false;
                return "";
            case HookerAction::Exit:
                if (i < 0) return "no program of that name runs";
                // A program that ends puts back what it replaced first.
                if (table[i].hooked && taskbar != NULL) Host::replace(taskbar, table[i].replaced);
                table[i].hooked = false;
                table[i].ended = true;
                Host::ended(i);
                return "";
        }
        return "";
    }

    // The programs of that kind that run now, with whether their procedure is on the taskbar.
    static std::vector<Running> runningNow() {
        std::vector<Running> now;
        for (int i = 0; i < made; ++i) {
            if (running(table[i].name) == i) now.push_back(Running{table[i].name, table[i].hooked});
        }
        return now;
    }

    // How many such programs have started so far (names are never taken again).
    static int started() { return made; }

    // The program whose procedure this is, or -1.
    static int ownerOf(WNDPROC procedure) {
        for (int i = 0; i < made; ++i) {
            if (procedure == procedureOf(i)) return i;
        }
        return -1;
    }
    static const Name& nameOf(int i) { return table[i].name; }

private:
    struct Hooker {
        Name name;
        WNDPROC replaced = NULL;  // what its hook replaced, passed everything on
        bool hooked = false;
        bool ended = false;
    };

    // The running program of that name, or -1.
    static int running(const Name& name) {
        for (int i = 0; i < made; ++i) {
            if (!table[i].ended && !Host::stillRuns(i)) table[i].ended = true;
            if (table[i].name == name && !table[i].ended) return i;
        }
        return -1;
    }

    // A window procedure has no data of its own: each program gets one of a fixed set, never
    // reused, so that a procedure stays the code of the one program that put it there.
    template <int I>
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcW(table[I].replaced, window, message, wParam, lParam);
    }
    static WNDPROC procedureOf(int i) {
        static const WNDPROC procedures[kMost] = {procedure<0>, procedure<1>, procedure<2>, procedure<3>,
                                                  procedure<4>, procedure<5>, procedure<6>, procedure<7>};
        return procedures[i];
    }

    static inline Hooker table[kMost];
    static inline int made = 0;
};

}  // namespace scenario
