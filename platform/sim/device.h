// Booting the simulated device, its programs and its warm reset.
#pragma once

#include <string>

#include "world.h"

namespace sim {

// Where the simulator finds the program image that `start` loads (set by the front end).
void setProgramImagePath(const std::string& path);

// Builds the default device: files, registry, screen and the shell with its windows.
void bootDevice();

// The installed program's path on the device, and whether a file there is that program.
extern const char16_t* const kInstalledProgramPath;
bool isInstalledProgram(const std::u16string& path);

// A new simulated process (no thread yet); a program's start and end are logged.
Process* newProcess(const std::string& name, bool isProgram);

// Starts the program from the given path as a new process; nullptr when it is not installed.
Process* startProgram(const std::u16string& path);

// The first running program's main window ("ORVO" class), or nullptr.
HWND programMainWindow();
// Whether a started program's process is still alive.
bool programRunning();

// The shell's taskbar window, and its repaint with a fresh pattern.
HWND taskbarWindow();
// The shell goes on without its taskbar window (as on a desktop), also after a warm reset; the
// desktop covers the whole screen. Only before any program has started.
void removeTaskbar();
int taskbarHeight();
void repaintTaskbar();      // WM_PAINT through the taskbar's current procedure, on the shell's thread
// The taskbar's pixels as the shell's own procedure painted them last (what the taskbar shows
// where no program has drawn on it).
const struct Surface& taskbarAsShellPainted();
// One of the taskbar's own controls sends it WM_COMMAND with this id, on the shell's thread.
void sendTaskbarCommand(WORD id);
// How many messages of this number the shell's own taskbar procedure has handled since the shell
// was built (those a replaced procedure passed on included).
size_t taskbarOwnMessages(UINT message);
void resizeDisplay(int width, int height);

// Another program's top-level window, made at the top of the z-order below the taskbar.
HWND createOtherProgramWindow(const std::u16string& title, const std::u16string& className, bool hidden,
                              bool ignoresClose);

// Every process is killed, the shell rebuilt, and the Startup folder's shortcuts run.
void warmReset();

// Ends every simulated thread; called once when the simulator exits.
void shutdownDevice();

}  // namespace sim
