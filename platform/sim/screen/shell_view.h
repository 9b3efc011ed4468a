// The shell's part of the screen: the desktop with its command bar and notification icons, the
// input-panel button, other programs' windows, and the taskbar as a device paints it.
#pragma once

#include <string>

#include "canvas.h"
#include "window_manager.h"

namespace sim::screen {

// How the shell paints its taskbar: the test pattern (neighbouring pixels differ, each repaint
// shifts it), or as the device does (the Start flag, the active program's title, the clock).
enum class TaskbarStyle { Pattern, Device };
TaskbarStyle taskbarStyle();
// Changes the style; the taskbar repaints itself, and in the device's style its clock runs.
void setTaskbarStyle(TaskbarStyle style);
// Called when the shell's windows have been made (boot and warm reset).
void shellBuilt();
// The taskbar's own painting in the device's style, onto the screen.
void paintDeviceTaskbar(Surface& screen, int width, int height);
// The taskbar's clock timer: its id, and the text it shows at a simulated time.
constexpr UINT_PTR kClockTimerId = 0x7C10;
std::u16string clockText(uint64_t ms);
// The title the taskbar shows: the active window's.
std::u16string activeTitle();

void drawDesktop(Canvas& c, const Window& desktop);
void drawInputPanelButton(Canvas& c, const Window& button);
void drawPlainWindow(Canvas& c, const Window& window);

// A tap on the desktop's command bar: true when it fell on a notification icon, which then
// receives the pen-down message.
bool tapNotificationArea(int x, int y);

}  // namespace sim::screen
