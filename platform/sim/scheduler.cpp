#include "scheduler.h"

namespace sim {
namespace {

std::mutex gMutex;
std::condition_variable gDriverCv;
Thread* gRunning = nullptr;  // nullptr: the driver holds control
std::vector<std::unique_ptr<Thread>> gThreads;
thread_local Thread* tCurrent = nullptr;
int gNextThreadId = 1;

// Passes control from the calling host thread to `next` (nullptr: the driver) and waits until
// control comes back to `self`.
void handOver(Thread* self, Thread* next) {
    std::unique_lock<std::mutex> lock(gMutex);
    gRunning = next;
    if (next == nullptr) {
        gDriverCv.notify_all();
    } else {
        next->cv.notify_all();
    }
    if (self == nullptr) {
        gDriverCv.wait(lock, [] { return gRunning == nullptr; });
    } else {
        self->cv.wait(lock, [self] { return gRunning == self; });
    }
}

void threadMain(Thread* t) {
    {
        std::unique_lock<std::mutex> lock(gMutex);
        t->cv.wait(lock, [t] { return gRunning == t; });
    }
    tCurrent = t;
    t->started = true;
    if (!t->killed) {
        try {
            t->body();
        } catch (const ThreadKilled&) {
        }
    }
    t->finished = true;
    std::unique_lock<std::mutex> lock(gMutex);
    gRunning = nullptr;
    gDriverCv.notify_all();
}

bool runnable(Thread* t) {
    if (t->finished) return false;
    if (!t->started || t->killed) return true;
    return t->wakeCondition && t->wakeCondition();
}

}  // namespace

Thread* createThread(Process* process, std::function<void()> body) {
    auto t = std::make_unique<Thread>();
    t->id = gNextThreadId++;
    t->process = process;
    t->body = std::move(body);
    Thread* raw = t.get();
    gThreads.push_back(std::move(t));
    raw->host = std::thread(threadMain, raw);
    return raw;
}

Thread* currentThread() { return tCurrent; }

const std::vector<std::unique_ptr<Thread>>& allThreads() { return gThreads; }

void handleIncoming() {
    Thread* self = tCurrent;
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
    Thread* self = tCurrent;
    for (;;) {
        if (pumpSent) handleIncoming();
        if (self->killed) throw ThreadKilled();
        if (wake()) return;
        self->wakeCondition = [self, &wake, pumpSent] {
            return self->killed || (pumpSent && (!self->incomingSent.empty() || !self->actions.empty())) || wake();
        };
        handOver(self, nullptr);
        self->wakeCondition = nullptr;
    }
}

void runUntilIdle() {
    for (;;) {
        Thread* next = nullptr;
        for (auto& t : gThreads) {
            if (runnable(t.get())) {
                next = t.get();
                break;
            }
        }
        if (next == nullptr) return;
        handOver(nullptr, next);
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
    for (auto& t : gThreads) {
        if (t->host.joinable()) t->host.join();
    }
    gThreads.clear();
}

}  // namespace sim
