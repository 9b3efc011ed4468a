// The fibers switch with _setjmp and _longjmp between their own stacks, which the library's
// checking variant of longjmp takes for a jump into a dead frame.
#undef _FORTIFY_SOURCE
#include "scheduler.h"

#include <setjmp.h>
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define ORVO_SIM_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVO_SIM_ASAN 1
#endif
#endif
#ifdef ORVO_SIM_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace sim {
namespace {

// A fiber's stack: the program's frames and the simulator's, with room for the address
// sanitizer's larger frames; a page below it stays unmapped, so an overflow faults at once.
constexpr size_t kStackSize = 1024 * 1024;
constexpr size_t kGuardSize = 64 * 1024;

Thread* gRunning = nullptr;  // nullptr: the driver holds control
jmp_buf gDriverJump;
std::vector<std::unique_ptr<Thread>> gThreads;
int gNextThreadId = 1;
// The driver's stack, as the address sanitizer learns it when a fiber is first entered.
const void* gDriverStackBottom = nullptr;
size_t gDriverStackSize = 0;

// The address sanitizer keeps track of which stack runs; every switch tells it.
void startSwitch(void** fakeStack, const void* bottom, size_t size) {
#ifdef ORVO_SIM_ASAN
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#else
    (void)fakeStack;
    (void)bottom;
    (void)size;
#endif
}

void finishSwitch(void* fakeStack, const void** bottomOld, size_t* sizeOld) {
#ifdef ORVO_SIM_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, bottomOld, sizeOld);
#else
    (void)fakeStack;
    (void)bottomOld;
    (void)sizeOld;
#endif
}

// A fiber is entered the first time through its context (makecontext gave it its stack); from
// then on every switch is a _setjmp and a _longjmp, which keep no signal mask and so make no
// system call.
void enterFiber(Thread* t) {
    gRunning = t;
    void* driverFake = nullptr;
    startSwitch(&driverFake, t->stack, t->stackSize);
    if (_setjmp(gDriverJump) == 0) {
        if (!t->entered) {
            t->entered = true;
            setcontext(&t->context);
        }
        _longjmp(t->jump, 1);
    }
    finishSwitch(driverFake, nullptr, nullptr);
    gRunning = nullptr;
}

// From the running fiber back to the driver; returns when the driver enters it again.
void leaveFiber(Thread* self) {
    startSwitch(&self->fakeStack, gDriverStackBottom, gDriverStackSize);
    if (_setjmp(self->jump) == 0) _longjmp(gDriverJump, 1);
    finishSwitch(self->fakeStack, &gDriverStackBottom, &gDriverStackSize);
}

void fiberMain(unsigned low, unsigned high) {
    Thread* t = reinterpret_cast<Thread*>((static_cast<uintptr_t>(high) << 32) | low);
    finishSwitch(nullptr, &gDriverStackBottom, &gDriverStackSize);
    t->started = true;
    if (!t->killed) {
        try {
            t->body();
        } catch (const ThreadKilled&) {
        }
    }
    t->finished = true;
    // The fiber ends: its frames go with it, and control never comes back here.
    startSwitch(nullptr, gDriverStackBottom, gDriverStackSize);
    _longjmp(gDriverJump, 1);
}

bool runnable(Thread* t) {
    if (t->finished) return false;
    if (!t->started || t->killed) return true;
    return t->wakeCondition && t->wakeCondition();
}

void freeStack(Thread* t) {
    if (t->stack == nullptr) return;
    munmap(static_cast<char*>(t->stack) - kGuardSize, t->stackSize + kGuardSize);
    t->stack = nullptr;
}

}  // namespace

Thread* createThread(Process* process, std::function<void()> body) {
    auto t = std::make_unique<Thread>();
    t->id = gNextThreadId++;
    t->process = process;
    t->body = std::move(body);
    void* region = mmap(nullptr, kStackSize + kGuardSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                        -1, 0);
    if (region == MAP_FAILED) {
        std::perror("orvo-sim: no memory for a simulated thread's stack");
        std::abort();
    }
    mprotect(region, kGuardSize, PROT_NONE);
    t->stack = static_cast<char*>(region) + kGuardSize;
    t->stackSize = kStackSize;
    getcontext(&t->context);
    t->context.uc_stack.ss_sp = t->stack;
    t->context.uc_stack.ss_size = t->stackSize;
    t->context.uc_link = nullptr;
    const uintptr_t address = reinterpret_cast<uintptr_t>(t.get());
    makecontext(&t->context, reinterpret_cast<void (*)()>(fiberMain), 2, static_cast<unsigned>(address & 0xFFFFFFFFu),
                static_cast<unsigned>(address >> 32));
    Thread* raw = t.get();
    gThreads.push_back(std::move(t));
    return raw;
}

Thread* currentThread() { return gRunning; }

const std::vector<std::unique_ptr<Thread>>& allThreads() { return gThreads; }

void handleIncoming() {
    Thread* self = gRunning;
    if (self == nullptr) return;
    if (self->killed) throw ThreadKilled();
    while (!self->incomingSent.empty() || !self->actions.empty()) {
        if (!self->incomingSent.empty()) {
            SentMessage* m = self->incomingSent.front();
            self->incomingSent.pop_front();
            m->result = deliverSentMessage(m);
            m->done = true;
        } else {
            auto action = std::move(self->actions.front());
            self->actions.pop_front();
            action();
        }
        if (self->killed) throw ThreadKilled();
    }
}

void blockUntil(const std::function<bool()>& wake, bool pumpSent) {
    Thread* self = gRunning;
    for (;;) {
        if (pumpSent) handleIncoming();
        if (self->killed) throw ThreadKilled();
        if (wake()) return;
        self->wakeCondition = [self, &wake, pumpSent] {
            return self->killed || (pumpSent && (!self->incomingSent.empty() || !self->actions.empty())) || wake();
        };
        leaveFiber(self);
        self->wakeCondition = nullptr;
    }
}

void yieldToOtherThreads() {
    Thread* self = gRunning;
    if (self == nullptr) return;
    self->yielded = true;
    self->wakeCondition = [] { return true; };
    leaveFiber(self);
    self->wakeCondition = nullptr;
    if (self->killed) throw ThreadKilled();
}

void runUntilIdle() {
    for (;;) {
        // The first runnable thread, preferring those that have not just given way.
        Thread* next = nullptr;
        Thread* gaveWay = nullptr;
        for (auto& t : gThreads) {
            if (!runnable(t.get())) continue;
            if (!t->yielded) {
                next = t.get();
                break;
            }
            if (gaveWay == nullptr) gaveWay = t.get();
        }
        if (next == nullptr && gaveWay != nullptr) {
            for (auto& t : gThreads) t->yielded = false;
            next = gaveWay;
        }
        if (next == nullptr) return;
        enterFiber(next);
        if (next->finished) freeStack(next);
    }
}

void killProcessThreads(Process* process) {
    for (auto& t : gThreads) {
        if (t->process == process && !t->finished) t->killed = true;
    }
}

void postAction(Thread* thread, std::function<void()> action) { thread->actions.push_back(std::move(action)); }

void shutdownScheduler() {
    for (auto& t : gThreads) {
        if (!t->finished) t->killed = true;
    }
    runUntilIdle();
    for (auto& t : gThreads) freeStack(t.get());
    gThreads.clear();
}

}  // namespace sim
