// The device's threads and settling. After every command the runner lets every thread of the
// device run until all are idle, as the simulator does: a thread is idle when a probe posted to it
// comes back (every message queued before it has been handled, in a message loop or in the modal
// loop of a menu, box or dialog), and the device has settled when a whole round of probes saw no
// other message handled anywhere.
#include <algorithm>
#include <memory>

#include "tests/e2e/harness/harness.h"

namespace e2e {
namespace {

constexpr UINT ProbeMessage = WM_APP + 1;
constexpr UINT RunMessage = WM_APP + 2;
constexpr UINT PostedRunMessage = WM_APP + 3;
const WCHAR ProbeClass[] = L"OrvoE2eProbe";

struct PendingAction {
    std::function<void()> action;
    HANDLE done;
};

std::mutex gThreadsLock;
std::vector<DeviceThread*> gThreads;
std::atomic<long> gActivity{0};
std::atomic<long> gButtonUps{0};
// Signalled whenever a probe is answered or a device thread ends, so that the runner waits for
// answers instead of polling for them.
HANDLE gProbeAnswered = CreateEventW(NULL, FALSE, FALSE, NULL);
thread_local HHOOK tMessageHook = NULL;
thread_local HHOOK tCreateHook = NULL;

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ProbeMessage) {
        reinterpret_cast<DeviceThread*>(lParam)->probesHandled.fetch_add(1);
        SetEvent(gProbeAnswered);
        return 0;
    }
    if (message == RunMessage) {
        auto* pending = reinterpret_cast<PendingAction*>(lParam);
        pending->action();
        SetEvent(pending->done);
        return 0;
    }
    if (message == PostedRunMessage) {
        std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lParam));
        (*action)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Every message a device thread takes out of its queue, but probes and timer ticks of the
// system's own controls (a caret blinking in an edit control is no activity of the device).
LRESULT CALLBACK messageHook(int code, WPARAM removed, LPARAM lParam) {
    if (code == HC_ACTION && removed == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_LBUTTONUP) gButtonUps.fetch_add(1);
        if (msg->message != ProbeMessage && msg->message != WM_TIMER && msg->message != WM_SYSTIMER &&
            msg->message != WM_MOUSEMOVE) {
            gActivity.fetch_add(1);
        }
    }
    return CallNextHookEx(NULL, code, removed, lParam);
}

LRESULT CALLBACK createHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        noteCreatedWindow(reinterpret_cast<HWND>(wParam), reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

}  // namespace

bool waitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

namespace {

std::vector<DeviceThread*> liveThreads() {
    std::lock_guard<std::mutex> hold(gThreadsLock);
    std::vector<DeviceThread*> live;
    for (DeviceThread* t : gThreads) {
        if (!t->ended) live.push_back(t);
    }
    return live;
}

}  // namespace

void watchThreadMessages() {
    tMessageHook = SetWindowsHookExW(WH_GETMESSAGE, messageHook, NULL, GetCurrentThreadId());
    tCreateHook = SetWindowsHookExW(WH_CBT, createHook, NULL, GetCurrentThreadId());
}

void joinDevice(DeviceThread* thread) {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = probeProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = ProbeClass;
        RegisterClassW(&wc);
    });
    thread->id = GetCurrentThreadId();
    thread->probe = CreateWindowExW(0, ProbeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, GetModuleHandleW(NULL), NULL);
    watchThreadMessages();
    std::lock_guard<std::mutex> hold(gThreadsLock);
    gThreads.push_back(thread);
}

void leaveDevice(DeviceThread* thread) {
    if (tMessageHook) UnhookWindowsHookEx(tMessageHook);
    if (tCreateHook) UnhookWindowsHookEx(tCreateHook);
    tMessageHook = tCreateHook = NULL;
    DestroyWindow(thread->probe);
    thread->ended = true;
    SetEvent(gProbeAnswered);
}

void runOn(DeviceThread* thread, std::function<void()> action) {
    PendingAction pending{std::move(action), CreateEventW(NULL, TRUE, FALSE, NULL)};
    if (PostMessageW(thread->probe, RunMessage, 0, reinterpret_cast<LPARAM>(&pending))) {
        HANDLE waits[2] = {pending.done, thread->handle};
        WaitForMultipleObjects(thread->handle ? 2 : 1, waits, FALSE, 30000);
    }
    CloseHandle(pending.done);
}

void postOn(DeviceThread* thread, std::function<void()> action) {
    auto* heap = new std::function<void()>(std::move(action));
    if (!PostMessageW(thread->probe, PostedRunMessage, 0, reinterpret_cast<LPARAM>(heap))) delete heap;
}

long buttonUpsSeen() { return gButtonUps.load(); }

namespace {

// Waits at most 30 s. An answer between the look and the wait leaves the event set, so none is
// missed; a stale one costs one more look.
bool waitForProbe(const std::function<bool()>& answered) {
    DWORD start = GetTickCount();
    while (!answered()) {
        if (GetTickCount() - start > 30000) return false;
        WaitForSingleObject(gProbeAnswered, 50);
    }
    return true;
}

void settleOnce() {
    int quietRounds = 0;
    for (int round = 0; round < 500; ++round) {
        long before = gActivity.load();
        std::vector<DeviceThread*> threads = liveThreads();
        for (DeviceThread* t : threads) {
            ++t->probesSent;
            PostMessageW(t->probe, ProbeMessage, 0, reinterpret_cast<LPARAM>(t));
        }
        for (DeviceThread* t : threads) {
            bool answered = waitForProbe([t] { return t->probesHandled.load() >= t->probesSent || t->ended.load(); });
            if (!answered) throw std::runtime_error("a thread of the device stays busy");
        }
        bool others = runOtherPrograms();
        bool quiet = !others && gActivity.load() == before && !anyProgramThreadEnded();
        // The active window changed: the shell's repaint is more work for the device.
        if (quiet && repaintOnActivation()) quiet = false;
        // The window system answers some requests later (the X server's events): a quiet round
        // counts only when the next one, a moment later, is quiet too.
        quietRounds = quiet ? quietRounds + 1 : 0;
        if (quietRounds == 2) return;
        Sleep(quiet ? 5 : 0);
    }
    throw std::runtime_error("the device does not settle");
}

}  // namespace

void settle() {
    do {
        settleOnce();
    } while (takeResetRequest() && (performWarmReset(), true));
}

}  // namespace e2e
