// The end-to-end runner: Orvo's test build on a real Windows system (Wine), with a stand-in
// Pocket PC around it. Scenarios are the simulator's; the event lines are the simulator's.
//
// Layout of the process: the runner's own thread reads the scenario and observes; the stand-in
// shell's thread owns the taskbar, the desktop and the input-panel button; the other programs'
// thread owns their windows; each started instance of Orvo runs its WinMain on a thread of its
// own, from its own copy of the program image (so that it has its own program-wide state).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
#include "scenario/device_defaults.h"
#include "scenario/scenario_syntax.h"
#include "scenario/taskbar_hookers.h"
#include "platform/win32/device_seam.h"
#include "tests/e2e/system_helpers.h"

// The runner calls the system's own operations, not the compatibility layer's.
#undef LoadIconW
#undef keybd_event
#undef ExtEscape
#undef RegOpenKeyExW
#undef FindFirstFileW
#undef FindNextFileW
#undef FindClose
#undef GlobalMemoryStatus

// The system's own timer message (a caret's blink), which desktop headers do not name.
#ifndef WM_SYSTIMER
#define WM_SYSTIMER 0x0118
#endif

namespace e2e {

using scenario::ScenarioError;

// --- Event log (events.cpp) --------------------------------------------------------------------

// The device's clock: simulated milliseconds, moved only by `advance`.
uint64_t now();
void setNow(uint64_t ms);
void logEvent(const std::string& event);  // prefixed with the time
void logLine(const std::string& line);    // printed as it is
std::string quote(const WCHAR* text);
std::string quote(const std::wstring& text);
std::wstring fromUtf16(const std::u16string& text);
std::u16string toUtf16(const std::wstring& text);
std::string windowText(HWND window);       // quoted
std::wstring className(HWND window);
// A window's owner as the event lines name it: its class, "Dialog" for a dialog, or "none".
std::string ownerName(HWND owner);
// One item of a real menu, as the menu holds it.
struct MenuItem {
    bool separator = false;
    UINT id = 0;
    HMENU submenu = NULL;
    std::wstring text;
};
MenuItem menuItem(HMENU menu, int position);


// Input reaches a window only when it and every window it lies in are enabled.
bool takesInput(HWND window);

// --- Threads of the device and settling (threads.cpp) ------------------------------------------

// A thread of the device: it has a probe window through which the runner learns that every
// message queued before the probe has been handled.
struct DeviceThread {
    DWORD id = 0;
    HANDLE handle = NULL;
    HWND probe = NULL;
    std::atomic<long> probesHandled{0};
    long probesSent = 0;
    std::atomic<bool> ended{false};
};

// Called first thing on a device thread: its probe window and the hooks that see its messages.
void joinDevice(DeviceThread* thread);
void leaveDevice(DeviceThread* thread);
// The hooks alone, for a thread that the runner drives in its own way (the other programs').
void watchThreadMessages();
// Runs an action on a device thread, from its message loop (or any modal loop it is in), and
// waits for it; postOn does not wait (for an action that may open a menu, box or dialog).
void runOn(DeviceThread* thread, std::function<void()> action);
void postOn(DeviceThread* thread, std::function<void()> action);
// Every device thread has handled everything queued for it, and nothing new came of it.
void settle();
// Polls until done, at most timeoutMs; false when it never was.
bool waitFor(const std::function<bool()>& done, DWORD timeoutMs);
// Mouse buttons released on any device thread so far (taps wait for theirs to arrive).
long buttonUpsSeen();

// --- The stand-in shell (shell.cpp) ------------------------------------------------------------

void startShell();
// The shell goes on without its taskbar window (a desktop's), also after a reset.
void removeTaskbar();
int taskbarHeight();
// The band the taskbar keeps for itself: none without a taskbar, where the other programs'
// windows reach the top of the screen.
int bandHeight();
int screenWidth();
int screenHeight();
// The screen's pixels of a rectangle, rows top first; pixels off the screen read 0 (screen_pixels.cpp).
std::vector<COLORREF> readScreen(int x, int y, int width, int height);
void repaintTaskbar();
bool hasTaskbar();
// The taskbar's pixel as the shell's own procedure painted it last (its pattern of the moment).
COLORREF taskbarAsPainted(int x, int y);
// The taskbar shows the active window's title: when the window system's foreground window has
// changed since the last look, the shell repaints the taskbar (posted to its thread). True then.
bool repaintOnActivation();
// The pen on the program's notification icon; the callback may carry another icon's id.
// The notification area is made anew: its icons are gone and "TaskbarCreated" is posted to every
// top-level window.
void restartNotificationArea();
bool sendTrayMessage(LPARAM pointerMessage, const UINT* iconId = nullptr);
// One of the taskbar's own controls sends it a command.
void sendTaskbarCommand(WORD id);
extern const WCHAR* const kStartupFolder;
// The image the notification area holds for the program's icon (its own copy, 0x00RRGGBB pixels).
struct TrayImage {
    bool present = false;
    int width = 0;
    int height = 0;
    std::vector<DWORD> mask;
    std::vector<DWORD> colour;
};
// The first live icon's id and image; false when there is none.
bool trayIconImage(UINT* id, TrayImage* image);
DWORD shellThreadId();
HWND taskbarWindow();
// The taskbar's own procedure, as the shell made it.
WNDPROC shellTaskbarProcedure();
// Other programs that replace the taskbar's procedure (taskbar-hooker); "" when done, else what
// made it impossible.
std::string taskbarHooker(const std::wstring& name, scenario::HookerAction action);
// Whose procedure the taskbar runs first: "shell", "orvo", a hooker's name in quotes, or "none".
std::string taskbarProcedureOwner();
size_t taskbarOwnMessages(UINT message);

// --- The stand-in device (device.cpp) ----------------------------------------------------------

struct Card {
    std::wstring name;
    uint64_t freeBytes = 0;
    uint64_t totalBytes = 0;
};

struct DeviceState : scenario::DeviceReadings {
    std::vector<Card> cards;
    // Root entries whose attributes the file system cannot hold itself (a card's "temporary").
    std::vector<std::pair<std::wstring, DWORD>> rootAttributes;
};

DeviceState& device();
std::recursive_mutex& deviceLock();
// Folders, the installed program and the registry of a device fresh from the factory.
void bootDevice();
extern const WCHAR* const kInstalledProgramPath;
bool isInstalled(const std::wstring& path = kInstalledProgramPath);
// The path of a file on the device, as the runner's own code must write it.
std::wstring devicePath(const std::u16string& path);

// --- Programs (programs.cpp) -------------------------------------------------------------------

// Starts instances of Orvo, each from a fresh copy of the program image, all at the same moment;
// false if not installed.
bool startProgram(int count = 1);
// How many instances have not returned from their WinMain.
int runningInstances();
// Whether the code at `address` lies in an instance's copy of the program image.
bool isProgramCode(const void* address);
// The device's named mutexes (CreateMutexW through the seam): instances are threads of this one
// process, so a name is held by the instances that made it and goes when they end.
HANDLE WINAPI deviceCreateMutex(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCWSTR name);
HWND programMainWindow();
void createOtherWindow(const std::wstring& title, const std::wstring& className, bool hidden, bool ignoresClose);
// The other program whose window has this title ends it by itself; false when there is none.
bool endOtherWindow(const std::wstring& title);
bool isOtherProgramWindow(HWND window);
// Lets the other programs handle what was posted to them; true when they had anything.
bool runOtherPrograms();
bool isDeviceWindow(HWND window);
bool anyProgramThreadEnded();

// The entry lines (as the log dumps them) of the last menu that opened; false before any.
bool lastMenuLines(std::vector<std::string>* lines);

// --- Seam operations and open menus, boxes and dialogs (seam.cpp) ------------------------------

void connectSeam(DeviceSeam* table);
// A warm reset, asked for by the program or the scenario, carried out once the device is idle.
void requestReset();
bool takeResetRequest();
void performWarmReset();
void forgetModalsOf(DWORD thread);
void forgetTimers();
void rebuildShell();

struct OpenModal {
    enum Kind { PopupMenuKind, MessageBoxKind, DialogKind } kind;
    DWORD thread = 0;
    HMENU menu = NULL;
    HWND window = NULL;  // the box or dialog, once created
    int templateId = 0;
    int controls = 0;    // a dialog's controls from its template (the runner adds none of its own)
    UINT style = 0;
};
// The innermost open modal of a kind, or nullptr.
bool findModal(OpenModal::Kind kind, OpenModal* out);
// Called from the device threads' window-creation hook.
void noteCreatedWindow(HWND window, const CREATESTRUCTW* create);

// Virtual timers of the program.
struct Timer {
    HWND window;
    UINT_PTR id;
    uint64_t period;
    uint64_t due;
};
// Moves the clock to `target`, handing each timer's tick to its window in due order.
void advanceClock(uint64_t target);

// --- Counting the process's GDI and user objects (resources.cpp) ------------------------------

struct GuiResources {
    long gdi = 0;
    long user = 0;
    std::string how;
};
GuiResources countGuiResources();
// Popup menus alive in the process.
long liveMenus();

}  // namespace e2e
