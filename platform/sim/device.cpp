#include "device.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <vector>

#include "file_system.h"
#include "gdi.h"
#include "invariants.h"
#include "modal.h"
#include "registry.h"
#include "screen/shell_view.h"
#include "shell_services.h"
#include "sim_api.h"
#include "wide_strings.h"
#include "window_manager.h"

namespace sim {

const char16_t* const kInstalledProgramPath = u"\\Program Files\\Marund\\Orvo\\orvo.exe";

namespace {

std::string gImagePath;
std::vector<void*> gLoadedImages;
HWND gTaskbar = nullptr;
HWND gDesktop = nullptr;
int gTaskbarGeneration = 0;
Surface gShellPaint;  // the taskbar as the shell painted it last
std::map<UINT, size_t> gTaskbarOwnMessages;

// The bytes that mark the installed executable on the simulated device.
const std::vector<uint8_t> kProgramFileBytes = {'M', 'Z', 'O', 'R', 'V', 'O'};

// The taskbar's pattern: neighbouring pixels always differ, and every repaint shifts it so that
// a repaint under the indicator can be told from the pixels painted before it.
COLORREF taskbarPixel(int x, int y, int generation) {
    return RGB((x * 8 + y * 3) & 0xFF, (x * 5 + y * 7 + generation * 40) & 0xFF, 0x80 | ((x + y) & 1) * 0x3F);
}

void paintTaskbarPixels() {
    Surface& s = screenSurface();
    int h = taskbarHeight();
    gShellPaint.resize(s.width, std::min(h, s.height));
    noteScreenChanged();
    if (screen::taskbarStyle() == screen::TaskbarStyle::Device) {
        screen::paintDeviceTaskbar(s, s.width, h);
        for (int y = 0; y < gShellPaint.height; ++y) {
            for (int x = 0; x < s.width; ++x) gShellPaint.set(x, y, s.get(x, y));
        }
        return;
    }
    for (int y = 0; y < h && y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            COLORREF c = taskbarPixel(x, y, gTaskbarGeneration);
            s.set(x, y, c);
            gShellPaint.set(x, y, c);
        }
    }
    ++gTaskbarGeneration;
}

LRESULT CALLBACK shellTaskbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++gTaskbarOwnMessages[message];
    if (message == WM_PAINT) {
        paintTaskbarPixels();
        return 0;
    }
    if (message == WM_TIMER && wParam == screen::kClockTimerId) {
        // The clock's minute changed: the taskbar repaints, through whatever procedure it has now.
        setTimerInternal(window, screen::kClockTimerId, 60000, nullptr);
        callWindowProc(findWindowObject(window), WM_PAINT, 0, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK plainShellProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;  // the shell's windows do not close
    return DefWindowProcW(window, message, wParam, lParam);
}

// The other programs' windows close when they handle WM_CLOSE, unless made to ignore it.
LRESULT CALLBACK otherProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Window* w = findWindowObject(window);
        if (w && w->ignoresClose) return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A simulated program's thread that does nothing but run its message loop.
void messageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
}

Process* newProcess(const std::string& name, bool isProgram) {
    auto p = std::make_unique<Process>();
    p->pid = world().nextPid++;
    p->name = name;
    p->isProgram = isProgram;
    p->instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000 + p->pid * 0x10000));
    Process* raw = p.get();
    world().processes.push_back(std::move(p));
    return raw;
}

void buildShell() {
    World& w = world();
    w.shell = newProcess("shell", false);
    w.shell->mainThread = createThread(w.shell, messageLoop);
    gTaskbarOwnMessages.clear();
    w.programs = newProcess("programs", false);
    w.programs->mainThread = createThread(w.programs, messageLoop);
    const Device& d = w.device;
    RECT below{0, d.hasTaskbar ? taskbarHeight() : 0, d.screenWidth, d.screenHeight};
    gDesktop = createNativeWindow(w.shell->mainThread, u"DesktopExplorerWindow", u"Desktop", plainShellProc,
                                  WS_VISIBLE, below);
    createNativeWindow(w.shell->mainThread, u"MS_SIPBUTTON", u"MS_SIPBUTTON", plainShellProc, WS_VISIBLE,
                       RECT{d.screenWidth - 24, d.screenHeight - 26, d.screenWidth, d.screenHeight});
    gTaskbar = nullptr;
    if (d.hasTaskbar) {
        gTaskbar = createNativeWindow(w.shell->mainThread, u"HHTaskBar", u"", shellTaskbarProc, WS_VISIBLE,
                                      RECT{0, 0, d.screenWidth, taskbarHeight()});
    }
    // The taskbar shows the active window's title, so it repaints whenever that changes.
    setActivationListener(repaintTaskbar);
    resizeScreen(d.screenWidth, d.screenHeight);
    // Without a taskbar the band keeps the pattern as the desktop's own picture: pixels that
    // belong to no program of the scenario, so that any drawing over them shows.
    paintTaskbarPixels();
    screen::shellBuilt();
}

void programMain(Process* p, int (*entry)(HINSTANCE, HINSTANCE, LPWSTR, int)) {
    int code = 0;
    bool killed = currentThread()->killed;
    if (!killed) {
        try {
            WCHAR commandLine[1] = {0};
            code = entry(p->instance, nullptr, commandLine, SW_SHOW);
        } catch (const ThreadKilled&) {
            killed = true;
        }
    }
    p->exited = true;
    p->exitCode = code;
    // What the tray still shows of the process is counted before its windows go (the icons of
    // windows that no longer exist are dropped with them).
    HeldAtExit held;
    held.trayIcons = releaseProcessTrayIcons(p);
    releaseProcessWindows(p);
    releaseProcessGdi(p);
    held.menus = releaseProcessMenus(p);
    held.gdiObjects = lastExitLeftovers().gdiObjects;
    held.icons = lastExitLeftovers().icons;
    held.deviceContexts = lastExitLeftovers().deviceContexts;
    if (world().shuttingDown) return;
    logEvent("process-exit " + p->name + (killed ? std::string(" killed") : " code=" + std::to_string(code)));
    if (!killed) checkNothingHeldAtExit(*p, held);
}

}  // namespace

void setProgramImagePath(const std::string& path) { gImagePath = path; }

int taskbarHeight() {
    const Device& d = world().device;
    return (d.screenWidth > 320 || d.screenHeight > 320) ? 52 : 26;
}

HWND taskbarWindow() { return gTaskbar; }

void removeTaskbar() {
    Device& d = world().device;
    d.hasTaskbar = false;
    if (gTaskbar != nullptr) removeWindow(gTaskbar);
    gTaskbar = nullptr;
    if (Window* desktop = findWindowObject(gDesktop)) desktop->rect = RECT{0, 0, d.screenWidth, d.screenHeight};
}

bool isInstalledProgram(const std::u16string& path) {
    FileNode* node = fileSystem().find(path);
    return node && !node->isDirectory() && node->bytes == kProgramFileBytes;
}

void bootDevice() {
    FileSystem& fs = fileSystem();
    fs.makeDirectories(u"\\Windows");
    fs.makeDirectories(u"\\Windows\\StartUp");
    fs.makeDirectories(u"\\My Documents");
    fs.makeDirectories(u"\\Temp");
    fs.makeDirectories(u"\\Program Files\\Marund\\Orvo");
    fs.writeFile(kInstalledProgramPath, kProgramFileBytes);
    std::u16string dir = u"\\Program Files\\Marund\\Orvo";
    std::vector<uint8_t> data(reinterpret_cast<const uint8_t*>(dir.c_str()),
                              reinterpret_cast<const uint8_t*>(dir.c_str() + dir.size() + 1));
    registry().setValue(HKEY_CURRENT_USER, u"Software\\Marund\\Orvo", u"InstallDir", REG_SZ, data);
    buildShell();
    runUntilIdle();
}

Process* startProgram(const std::u16string& path) {
    if (!isInstalledProgram(path)) return nullptr;
    // Each process gets its own copy of the program image, so its program-wide state is its own.
    // The image's bytes are read once; every start writes them to a file of its own.
    static std::vector<char> bytes;
    if (bytes.empty()) {
        std::ifstream in(gImagePath, std::ios::binary | std::ios::ate);
        std::streamsize size = in ? static_cast<std::streamsize>(in.tellg()) : 0;
        if (size > 0) {
            bytes.resize(static_cast<size_t>(size));
            in.seekg(0);
            if (!in.read(bytes.data(), size)) bytes.clear();
        }
    }
    char copy[] = "/tmp/orvo-process-XXXXXX";
    int fd = mkstemp(copy);
    if (fd < 0) return nullptr;
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    close(fd);
    void* image = !bytes.empty() && written == bytes.size() ? dlopen(copy, RTLD_NOW | RTLD_LOCAL) : nullptr;
    unlink(copy);
    if (image == nullptr) {
        std::fprintf(stderr, "orvo-sim: cannot load the program image %s: %s\n", gImagePath.c_str(), dlerror());
        return nullptr;
    }
    gLoadedImages.push_back(image);
    auto entry = reinterpret_cast<int (*)(HINSTANCE, HINSTANCE, LPWSTR, int)>(dlsym(image, "WinMain"));
    if (entry == nullptr) return nullptr;
    Process* p = newProcess("orvo", true);
    p->module = image;
    Dl_info info;
    if (dladdr(reinterpret_cast<const void*>(entry), &info) != 0) p->imageBase = info.dli_fbase;
    logEvent("process-start " + p->name);
    p->mainThread = createThread(p, [p, entry] { programMain(p, entry); });
    return p;
}

HWND programMainWindow() {
    // The window of class "ORVO"; failing that (its class name did not load), the lowest
    // top-level window the program made itself, which is the first one it made.
    HWND made = nullptr;
    for (HWND h : topLevelWindows()) {
        Window* w = findWindowObject(h);
        if (w == nullptr || w->process == nullptr || !w->process->isProgram || w->process->exited) continue;
        if (sameName(w->className, u"ORVO")) return h;
        if (w->extra == nullptr) made = h;
    }
    return made;
}

bool programRunning() {
    for (auto& p : world().processes) {
        if (p->isProgram && !p->exited) return true;
    }
    return false;
}

void repaintTaskbar() {
    World& w = world();
    if (gTaskbar == nullptr || w.shell == nullptr) return;
    HWND taskbar = gTaskbar;
    postAction(w.shell->mainThread, [taskbar] { callWindowProc(findWindowObject(taskbar), WM_PAINT, 0, 0); });
}

void sendTaskbarCommand(WORD id) {
    World& w = world();
    if (gTaskbar == nullptr || w.shell == nullptr) return;
    HWND taskbar = gTaskbar;
    postAction(w.shell->mainThread, [taskbar, id] { sendMessageInternal(taskbar, WM_COMMAND, MAKEWPARAM(id, 0), 0); });
}

const Surface& taskbarAsShellPainted() { return gShellPaint; }

size_t taskbarOwnMessages(UINT message) {
    auto it = gTaskbarOwnMessages.find(message);
    return it == gTaskbarOwnMessages.end() ? 0 : it->second;
}

HWND createOtherProgramWindow(const std::u16string& title, const std::u16string& className, bool hidden,
                              bool ignoresClose) {
    const Device& d = world().device;
    // Without a taskbar they reach the top of the screen, where the indicator would be painted.
    const int top = d.hasTaskbar ? taskbarHeight() : 0;
    HWND h = createNativeWindow(world().programs->mainThread, className, title, otherProgramProc,
                                hidden ? 0 : WS_VISIBLE, RECT{0, top, d.screenWidth, d.screenHeight});
    findWindowObject(h)->ignoresClose = ignoresClose;
    // A program that opens its window works in it: the window becomes the active one.
    if (!hidden) activateWindow(h);
    return h;
}

void resizeDisplay(int width, int height) {
    Device& d = world().device;
    d.screenWidth = width;
    d.screenHeight = height;
    resizeScreen(width, height);
    if (Window* t = findWindowObject(gTaskbar)) t->rect = RECT{0, 0, width, taskbarHeight()};
    for (HWND h : topLevelWindows()) {
        Window* w = findWindowObject(h);
        if (w && h != gTaskbar && w->className != u"MS_SIPBUTTON") {
            w->rect = RECT{0, d.hasTaskbar ? taskbarHeight() : 0, width, height};
        }
    }

    repaintTaskbar();
}

void warmReset() {
    World& w = world();
    logEvent("reset");
    for (auto& p : w.processes) {
        if (!p->exited && p->mainThread) killProcessThreads(p.get());
    }
    runUntilIdle();
    for (auto& p : w.processes) {
        if (!p->isProgram) releaseProcessWindows(p.get());
    }
    resetWindowManager();
    clearTrayIcons();
    buildShell();
    runUntilIdle();
    // The Startup folder's shortcuts start their programs.
    runStartupShortcuts();
}

void shutdownDevice() {
    world().shuttingDown = true;
    shutdownScheduler();
    for (void* image : gLoadedImages) dlclose(image);
    gLoadedImages.clear();
}

}  // namespace sim
