// The simulated device as a whole: clock, event log, fault injection, processes and the device's
// readings. Everything here is touched only by whoever holds control (see scheduler.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "scheduler.h"
#include "scenario/device_defaults.h"
#include "sim_types.h"

namespace sim {

struct Process {
    int pid = 0;
    std::string name;          // "orvo" for the program, "shell" or "programs" for the simulated others
    bool isProgram = false;    // started with start or from a shortcut: its start and end are logged
    HINSTANCE instance = nullptr;
    void* module = nullptr;    // the program's own loaded image (its own copy of code and data)
    const void* imageBase = nullptr;  // where that image's code lies in memory
    Thread* mainThread = nullptr;
    bool exited = false;
    int exitCode = 0;
    // Procedures of this process now running on threads of other processes (a window procedure
    // put on the shell's taskbar, called there): the process must not end while there are any.
    int foreignActivations = 0;
};

struct Device : scenario::DeviceReadings {
    int screenWidth = 240;
    int screenHeight = 320;
    bool displayOn = true;
    bool hasTaskbar = true;  // false: a shell without the "HHTaskBar" window, as on a desktop
    // The small-icon size the device reports (SM_CXSMICON, SM_CYSMICON), which the notification
    // area asks its icons at; 0: the screen's own, 16, or 32 on a VGA screen. A desktop's follows
    // its DPI (20 at 120, 24 at 144).
    int smallIconSize = 0;
};

struct World {
    uint64_t clockMs = 0;
    Device device;
    std::vector<std::unique_ptr<Process>> processes;
    int nextPid = 1;
    Process* shell = nullptr;     // owns the taskbar, the desktop and the input-panel button
    Process* programs = nullptr;  // owns the windows of the scenario's other programs
    bool resetRequested = false;  // a reset waits until every thread is idle
    bool shuttingDown = false;    // the simulator exits: ending processes is not an event
    // Programs started at the same moment: each gives way to the others at every platform call
    // it makes, so that their starts interleave as on the device.
    bool interleavedStarts = false;
    // Faults of a program that the device itself caught (a procedure of an ended process called,
    // an invariant of the screen broken): each is an event line, and the scenario fails.
    std::vector<std::string> faults;
};

World& world();

// The event log. Lines are written to the stream set by the front end (standard output by default).
void setLogStream(std::ostream* out);
void logEvent(const std::string& event);  // prefixed with the simulated time
void logLine(const std::string& line);    // printed as it is

// A UTF-16 text quoted and escaped as in the scenario language.
std::string quote(const std::u16string& text);
std::string quote(const WCHAR* text);
std::string toUtf8(const std::u16string& text);
std::u16string fromUtf8(const std::string& text);
std::string hex(uint64_t value, int width = 0);

// A fault of a program caught by the device: logged as `fault TEXT` and remembered.
void reportFault(const std::string& text);

// Every platform operation that the simulated device can make fail as the platform fails, by its
// platform name (the logic's SetWindowLongPtrW is the device's SetWindowLongW).
#define SIM_FALLIBLE_OPERATIONS(X)                                                                          \
    X(AppendMenuW) X(BitBlt) X(BringWindowToTop) X(CloseHandle) X(CreateCompatibleBitmap)                    \
    X(CreateCompatibleDC) X(CreateDIBSection) X(CreateFileW) X(CreateMutexW) X(CreateIconIndirect) X(CreatePopupMenu)        \
    X(CreateWindowExW) X(DeleteFileW) X(DialogBoxIndirectParamW) X(DrawIconEx) X(EnumWindows) X(ExtEscape) X(FillRect) \
    X(FindFirstFileW) X(FindNextFileW) X(FindResourceW) X(FindWindowW) X(GetDC) X(GetDiskFreeSpaceExW)       \
    X(GetDlgItem) X(GetPixel) X(GetStoreInformation) X(GetSystemPowerStatusEx2) X(GetWindowTextW)            \
    X(GlobalMemoryStatus) X(KernelIoControl) X(KillTimer) X(LoadBitmapW) X(LoadIconW) X(LoadImageW)          \
    X(LoadResource) X(LoadStringW) X(LocalAlloc) X(LockResource) X(MessageBoxW) X(PostMessageW) X(ReadFile)  \
    X(RegOpenKeyExW) X(RegQueryValueExW) X(RegisterClassW) X(SHCreateShortcut) X(SHGetSpecialFolderPath)     \
    X(SHInitDialog) X(SelectObject) X(SendMessageW) X(SetForegroundWindow) X(SetTimer) X(SetWindowLongW)     \
    X(Shell_NotifyIcon) X(SizeofResource) X(TrackPopupMenuEx) X(WriteFile) X(keybd_event)

enum class Op : int {
#define SIM_OPERATION_ENUM(name) name,
    SIM_FALLIBLE_OPERATIONS(SIM_OPERATION_ENUM)
#undef SIM_OPERATION_ENUM
    Count
};
constexpr int kOperationCount = static_cast<int>(Op::Count);

const char* operationName(Op op);
// The operation of that platform name; false when the device cannot fail such an operation.
bool operationNamed(const std::string& name, Op* op);

// Fault injection: the operation's next calls fail as the platform fails. `count` calls (after
// `succeedFirst` that succeed), or every call when `always`; a count of 0 without `always` clears.
void failOperation(Op op, uint64_t count, bool always, uint64_t succeedFirst);
// The same by name; false (and nothing set) when no operation has that name.
bool failOperation(const std::string& operation, uint64_t count, bool always, uint64_t succeedFirst);
// Called by every fallible operation: counts the call, and tells whether it is to fail.
bool shouldFail(Op op);
void clearFaults();
// How many times each operation has been called since the counts were last cleared.
uint64_t operationCalls(Op op);
void clearOperationCalls();

// The calling simulated thread's last error (the driver has one of its own).
void setError(DWORD error);
DWORD lastError();

// Process that the calling code runs in (the driver: nullptr).
Process* currentProcess();

// The program process whose image holds the code at `address`, or nullptr (the simulator's own).
Process* processOfCode(const void* address);
// Code of the simulator that stands for code of a simulated process (another program's window
// procedure): processOfCode names that process for it.
void registerProcessCode(const void* address, Process* process);

}  // namespace sim
