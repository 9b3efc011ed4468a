// The programs of the device: instances of Orvo, each from its own copy of the program image,
// and the scenario's other programs, whose windows log the close requests they receive.
#include <memory>

#include "platform/shortcut_file.h"
#include "tests/e2e/harness/harness.h"

namespace e2e {
namespace {

// --- Orvo -----------------------------------------------------------------------------------

struct Instance {
    DeviceThread thread;
    HMODULE module = NULL;
    OrvoE2eMainFunction entry = nullptr;
    HANDLE joined = NULL;
};

std::mutex gInstancesLock;
std::vector<std::unique_ptr<Instance>> gInstances;
std::atomic<bool> gProgramEnded{false};
int gImageCopies = 0;

std::wstring runnerFolder() {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

DWORD WINAPI programMain(void* parameter) {
    Instance* instance = static_cast<Instance*>(parameter);
    joinDevice(&instance->thread);
    SetEvent(instance->joined);
    int code = instance->entry(reinterpret_cast<HINSTANCE>(instance->module));
    logEvent("process-exit orvo code=" + std::to_string(code));
    leaveDevice(&instance->thread);
    gProgramEnded = true;
    return 0;
}

// --- Other programs -------------------------------------------------------------------------

// They run on a thread of their own that takes sent messages at any time (the program reads
// their titles) but handles what was posted to them only when the runner lets it, after Orvo has
// gone idle: the simulator runs them in that order too.
DWORD gOthersThreadId = 0;
HANDLE gOthersCommand = NULL;
HANDLE gOthersDone = NULL;
std::function<void()> gOthersAction;
std::vector<HWND> gIgnoresClose;
bool gKilling = false;  // a reset kills the programs: their windows go without closing

LRESULT CALLBACK otherProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            for (HWND h : gIgnoresClose) {
                if (h == window) return 0;
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            if (!gKilling) logEvent("window-closed " + windowText(window));
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

DWORD WINAPI othersMain(void*) {
    watchThreadMessages();
    MSG msg;
    PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE);  // the thread has its queue from here on
    SetEvent(gOthersDone);
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &gOthersCommand, INFINITE, QS_SENDMESSAGE, 0);
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            gOthersAction();
            SetEvent(gOthersDone);
        }
    }
}

void runOnOthers(std::function<void()> action) {
    if (gOthersThreadId == 0) {
        gOthersCommand = CreateEventW(NULL, FALSE, FALSE, NULL);
        gOthersDone = CreateEventW(NULL, FALSE, FALSE, NULL);
        CreateThread(NULL, 0, othersMain, NULL, 0, &gOthersThreadId);
        WaitForSingleObject(gOthersDone, INFINITE);
    }
    gOthersAction = std::move(action);
    SetEvent(gOthersCommand);
    WaitForSingleObject(gOthersDone, INFINITE);
}

bool isActivity(const MSG& msg) {
    return msg.message != WM_TIMER && msg.message != WM_SYSTIMER && msg.message != WM_MOUSEMOVE;
}

}  // namespace

bool startProgram() {
    if (!isInstalled()) return false;
    // Each instance gets its own copy of the image, so its program-wide state is its own, as
    // two processes on the device have.
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring copy = std::wstring(temp) + L"orvo-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++gImageCopies) + L".dll";
    if (!CopyFileW((runnerFolder() + L"orvo_program.dll").c_str(), copy.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the program image");
    }
    auto instance = std::make_unique<Instance>();
    instance->module = LoadLibraryW(copy.c_str());
    if (instance->module == NULL) throw std::runtime_error("cannot load the program image");
    auto hooks = reinterpret_cast<OrvoE2eHooksFunction>(reinterpret_cast<void*>(GetProcAddress(instance->module, "orvoE2eHooks")));
    instance->entry =
        reinterpret_cast<OrvoE2eMainFunction>(reinterpret_cast<void*>(GetProcAddress(instance->module, "orvoE2eMain")));
    if (hooks == nullptr || instance->entry == nullptr) throw std::runtime_error("the program image is not a test build");
    connectSeam(hooks());
    logEvent("process-start orvo");
    instance->joined = CreateEventW(NULL, TRUE, FALSE, NULL);
    Instance* raw = instance.get();
    {
        std::lock_guard<std::mutex> hold(gInstancesLock);
        gInstances.push_back(std::move(instance));
    }
    raw->thread.handle = CreateThread(NULL, 0, programMain, raw, 0, NULL);
    WaitForSingleObject(raw->joined, INFINITE);
    return true;
}

HWND programMainWindow() { return FindWindowW(L"ORVO", NULL); }

bool anyProgramThreadEnded() { return gProgramEnded.exchange(false); }

void createOtherWindow(const std::wstring& title, const std::wstring& name, bool hidden, bool ignoresClose) {
    runOnOthers([&] {
        // Each window is another program, with classes of its own: a class is known by its name
        // and the module that made it, so every window gets a module handle of its own.
        static uintptr_t programs = 0;
        HINSTANCE module = reinterpret_cast<HINSTANCE>(0x7E0000000000ull + (++programs << 16));
        WNDCLASSW wc = {};
        wc.lpfnWndProc = otherProgramProc;
        wc.hInstance = module;
        wc.lpszClassName = name.c_str();
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassW(&wc);  // fails harmlessly for a class made before
        int top = bandHeight();
        // Their windows take no activation of their own accord (a click does not raise them): the
        // device's window order changes when a program raises a window.
        HWND w = CreateWindowExW(WS_EX_NOACTIVATE, name.c_str(), title.c_str(), WS_POPUP | (hidden ? 0 : WS_VISIBLE), 0, top,
                                 screenWidth(), screenHeight() - top, NULL, NULL, wc.hInstance, NULL);
        if (ignoresClose) gIgnoresClose.push_back(w);
    });
}

bool endOtherWindow(const std::wstring& title) {
    bool found = false;
    runOnOthers([&] {
        for (HWND w = FindWindowExW(NULL, NULL, NULL, title.c_str()); w != NULL; w = FindWindowExW(NULL, w, NULL, title.c_str())) {
            if (GetWindowThreadProcessId(w, NULL) != gOthersThreadId) continue;
            DestroyWindow(w);
            found = true;
            return;
        }
    });
    return found;
}

bool isOtherProgramWindow(HWND window) {
    return window != NULL && gOthersThreadId != 0 && GetWindowThreadProcessId(window, NULL) == gOthersThreadId;
}

bool runOtherPrograms() {
    if (gOthersThreadId == 0) return false;
    bool any = false;
    runOnOthers([&any] {
        // What was posted to them, in the order posted: each close request is seen as it arrives
        // in the queue, then every message is handled.
        std::vector<MSG> batch;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_INPUT)) batch.push_back(msg);
        for (const MSG& m : batch) {
            if (m.message == WM_CLOSE && isOtherProgramWindow(m.hwnd)) logEvent("close-request " + windowText(m.hwnd));
        }
        for (const MSG& m : batch) {
            any = any || isActivity(m);
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&msg);
    });
    return any;
}

namespace {

BOOL CALLBACK destroyOtherWindow(HWND window, LPARAM) {
    DestroyWindow(window);
    return TRUE;
}

void runStartupShortcuts() {
    std::wstring folder = devicePath(toUtf16(kStartupFolder));
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    std::vector<std::u16string> targets;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        HANDLE f = CreateFileW((folder + L"\\" + data.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f == INVALID_HANDLE_VALUE) continue;
        std::vector<uint8_t> bytes(4096);
        DWORD read = 0;
        ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, NULL);
        CloseHandle(f);
        bytes.resize(read);
        targets.push_back(shortcut_file::target(bytes));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    for (const std::u16string& target : targets) {
        if (!target.empty() && isInstalled(fromUtf16(target))) {
            startProgram();
            settle();
        }
    }
}

}  // namespace

// The device restarts: every process is killed (files and registry stay), the shell is rebuilt,
// and the Startup folder's shortcuts start their programs.
void performWarmReset() {
    logEvent("reset");
    std::vector<Instance*> live;
    {
        std::lock_guard<std::mutex> hold(gInstancesLock);
        for (auto& instance : gInstances) {
            if (!instance->thread.ended) live.push_back(instance.get());
        }
    }
    for (Instance* instance : live) {
        TerminateThread(instance->thread.handle, 0);
        WaitForSingleObject(instance->thread.handle, 5000);
        instance->thread.ended = true;
        forgetModalsOf(instance->thread.id);
        logEvent("process-exit orvo killed");
    }
    if (gOthersThreadId != 0) {
        runOnOthers([] {
            gKilling = true;
            EnumThreadWindows(gOthersThreadId, destroyOtherWindow, 0);
            gKilling = false;
        });
    }
    forgetTimers();
    rebuildShell();
    settle();
    runStartupShortcuts();
}

bool isDeviceWindow(HWND window) {
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    if (thread == gOthersThreadId || thread == shellThreadId()) return true;
    std::lock_guard<std::mutex> hold(gInstancesLock);
    for (auto& instance : gInstances) {
        if (instance->thread.id == thread) return true;
    }
    return false;
}

}  // namespace e2e
