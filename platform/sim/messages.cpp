// Messages and the queue: sent messages (across threads too), posted messages, the message loop
// and dispatching.
#include "messages.h"

#include <algorithm>

#include "sim_api.h"
#include "timers.h"

namespace sim {
namespace {

bool hasSignaledTimer(Thread* t) {
    for (auto& timer : timers()) {
        Window* w = findWindowObject(timer.window);
        if (timer.signaled && w && w->thread == t) return true;
    }
    return false;
}

}  // namespace

LRESULT runProcedure(Process* owner, const Window* w, WNDPROC proc, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND handle = w->handle;
    Process* caller = currentProcess();
    if (owner == nullptr || owner == caller) return proc(handle, message, wParam, lParam);
    if (owner->exited) {
        reportFault(quote(w->className) + " calls the window procedure of ended process " + owner->name);
        return 0;
    }
    // The procedure runs on a thread of another process: its process must not end before it
    // returns (see endProcessCode), also when the thread is killed while it runs.
    struct Activation {
        Process* process;
        ~Activation() { --process->foreignActivations; }
    } activation{owner};
    ++owner->foreignActivations;
    return proc(handle, message, wParam, lParam);
}

LRESULT callWindowProc(Window* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w == nullptr || w->proc == nullptr) return 0;
    // A window's class procedure is its own process's code; a replaced one, whoever's it is.
    Process* owner = w->procProcess ? w->procProcess : w->process;
    return runProcedure(owner, w, w->proc, message, wParam, lParam);
}

void endProcessCode(Process& process) {
    if (process.foreignActivations > 0) {
        reportFault("process " + process.name + " ended while a procedure of it runs on another process's thread");
    }
}

LRESULT deliverSentMessage(SentMessage* m) { return callWindowProc(findWindowObject(m->window), m->message, m->wParam, m->lParam); }

bool nextMessage(MSG* msg, const std::function<bool()>& extraWake) {
    Thread* self = currentThread();
    for (;;) {
        handleIncoming();
        if (!self->posted.empty()) {
            *msg = self->posted.front();
            self->posted.pop_front();
            return true;
        }
        if (self->quitPosted) {
            self->quitPosted = false;
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(self->quitCode), 0, GetTickCount(), {0, 0}};
            return true;
        }
        for (auto& timer : timers()) {
            Window* w = findWindowObject(timer.window);
            if (timer.signaled && w && w->thread == self) {
                timer.signaled = false;
                *msg = MSG{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), GetTickCount(), {0, 0}};
                return true;
            }
        }
        if (extraWake && extraWake()) return false;
        blockUntil([self, &extraWake] {
            return !self->posted.empty() || self->quitPosted || hasSignaledTimer(self) || (extraWake && extraWake());
        });
    }
}

}  // namespace sim

using namespace sim;

LRESULT CallWindowProcW(WNDPROC proc, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) return 0;
    // A chain of replaced procedures: each link is the code of the process that put it there.
    if (Window* w = findWindowObject(handle)) {
        return runProcedure(processOfCode(reinterpret_cast<const void*>(proc)), w, proc, message, wParam, lParam);
    }
    return proc(handle, message, wParam, lParam);
}

LRESULT SendMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (shouldFail(Op::SendMessageW)) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return sim::sendMessageInternal(handle, message, wParam, lParam);
}

LRESULT sim::sendMessageInternal(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = findWindowObject(handle);
    if (w == nullptr || w->proc == nullptr) {
        setError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    Thread* self = currentThread();
    if (w->thread == self || self == nullptr) return callWindowProc(w, message, wParam, lParam);
    // Another thread's window: the message waits until that thread takes it, and this thread
    // handles the messages sent to it meanwhile.
    SentMessage sent{handle, message, wParam, lParam};
    Thread* target = w->thread;
    target->incomingSent.push_back(&sent);
    blockUntil([&sent, target] { return sent.done || target->finished || target->killed; });
    if (!sent.done) {
        auto& q = target->incomingSent;
        q.erase(std::remove(q.begin(), q.end(), &sent), q.end());
    }
    return sent.result;
}

BOOL PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (shouldFail(Op::PostMessageW)) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return sim::postMessageInternal(handle, message, wParam, lParam);
}

BOOL sim::postMessageInternal(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    // No window: the message goes to the calling thread's own queue, as a thread message.
    if (handle == nullptr) {
        Thread* self = currentThread();
        if (self == nullptr) return FALSE;
        self->posted.push_back(MSG{nullptr, message, wParam, lParam, GetTickCount(), {0, 0}});
        return TRUE;
    }
    Window* w = windowOrInvalidHandle(handle);
    if (w == nullptr) return FALSE;
    if (message == WM_CLOSE && isOtherProgramWindow(w)) logEvent("close-request " + quote(w->title));
    w->thread->posted.push_back(MSG{handle, message, wParam, lParam, GetTickCount(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    Thread* t = currentThread();
    if (t == nullptr) return;
    t->quitPosted = true;
    t->quitCode = exitCode;
}

BOOL GetMessageW(LPMSG msg, HWND, UINT, UINT) {
    nextMessage(msg, nullptr);
    return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* msg) {
    // A WM_TIMER's lParam, when not 0, is taken for a timer procedure: one given to SetTimer is
    // called, any other is refused, and the message never reaches the window procedure (a posted
    // WM_TIMER with an lParam of its sender's choosing is lost, as on the platform).
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        for (auto& t : timers()) {
            if (reinterpret_cast<LPARAM>(t.proc) == msg->lParam) {
                t.proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
                return 0;
            }
        }
        return 0;
    }
    return callWindowProc(findWindowObject(msg->hwnd), msg->message, msg->wParam, msg->lParam);
}

