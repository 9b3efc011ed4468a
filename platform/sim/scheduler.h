// Simulated threads. Each simulated thread is a fiber with a stack of its own, all on the one host
// thread: only one of them (or the scenario driver) runs at any moment, and control passes from
// one to the next at their waiting points, so every run is deterministic and the simulated state
// needs no locks.
#pragma once

#include <setjmp.h>
#include <ucontext.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim_types.h"

namespace sim {

struct Process;

// A message sent with SendMessageW to a window of another thread, waiting for its result.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

// Thrown inside a simulated thread whose process is killed (a reset); caught by the thread's entry.
struct ThreadKilled {};

struct Thread {
    int id = 0;
    Process* process = nullptr;
    std::deque<MSG> posted;
    std::deque<SentMessage*> incomingSent;
    std::deque<std::function<void()>> actions;  // work the scenario hands to this thread
    bool quitPosted = false;
    int quitCode = 0;
    bool killed = false;
    bool finished = false;
    bool started = false;
    // While blocked: true when the thread can go on.
    std::function<bool()> wakeCondition;
    std::function<void()> body;
    // The fiber: its first context, where it last left off, and its stack.
    ucontext_t context;
    jmp_buf jump;
    bool entered = false;
    void* stack = nullptr;
    size_t stackSize = 0;
    void* fakeStack = nullptr;  // the address sanitizer's record of the fiber's frames
    // Nesting of modal loops (menus, dialogs, message boxes) currently running on this thread.
    int modalDepth = 0;
    DWORD lastError = 0;
    // Gave way to the other threads (see yieldToOtherThreads): runs again once they have had a turn.
    bool yielded = false;
};

// Starts a simulated thread running body; it runs when the driver next lets threads run.
Thread* createThread(Process* process, std::function<void()> body);

// The simulated thread now running, or nullptr for the scenario driver.
Thread* currentThread();

// Called by a simulated thread: gives up control until wake() returns true. Sent messages and
// scenario actions addressed to this thread are handled while it waits when pumpSent is set.
void blockUntil(const std::function<bool()>& wake, bool pumpSent = true);

// Called by a simulated thread: lets every other runnable thread run a turn before it goes on, as
// threads that run at the same moment on the device interleave.
void yieldToOtherThreads();

// Runs the sent messages and scenario actions that wait for the current thread.
void handleIncoming();

// Delivers a message sent from another thread to its window (defined by the window manager).
LRESULT deliverSentMessage(SentMessage* message);

// Called by the driver: lets every simulated thread run until all of them are blocked or done.
void runUntilIdle();

// Marks every thread of the process killed; they end at their next scheduling point.
void killProcessThreads(Process* process);

// Hands an action to a thread; it runs on that thread at its next waiting point.
void postAction(Thread* thread, std::function<void()> action);

// Ends every simulated thread and frees its stack; used when the simulator exits.
void shutdownScheduler();

const std::vector<std::unique_ptr<Thread>>& allThreads();

}  // namespace sim
