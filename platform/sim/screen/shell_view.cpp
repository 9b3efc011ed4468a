#include "shell_view.h"

#include "device.h"
#include "resources.h"
#include "shell_services.h"
#include "sim_api.h"

namespace sim::screen {
namespace {

TaskbarStyle gStyle = TaskbarStyle::Pattern;

Font titleFont() { return Font(Face::Bold, pointsToPixels(8)); }
Font plainFont() { return Font(Face::Regular, pointsToPixels(8)); }

// The clock starts at 9:00 on the simulated device.
constexpr uint64_t kClockStartMs = 9ull * 60 * 60 * 1000;

void startClock() {
    World& w = world();
    HWND taskbar = taskbarWindow();
    if (w.shell == nullptr || taskbar == nullptr) return;
    // The clock is repainted when its minute changes.
    uint64_t now = w.clockMs + kClockStartMs;
    postAction(w.shell->mainThread, [taskbar, now] {
        setTimerInternal(taskbar, kClockTimerId, static_cast<UINT>(60000 - now % 60000), nullptr);
    });
}

void drawFlag(Canvas& c, int x, int y, int size) {
    int half = size / 2;
    int gap = std::max(1, size / 16);
    c.fill(makeRect(x, y, half - gap, half - gap), RGB(230, 60, 30));
    c.fill(makeRect(x + half, y, half - gap, half - gap), RGB(60, 180, 60));
    c.fill(makeRect(x, y + half, half - gap, half - gap), RGB(40, 110, 230));
    c.fill(makeRect(x + half, y + half, half - gap, half - gap), RGB(250, 200, 30));
}

// The command bar along the desktop's bottom edge, as high as the taskbar.
RECT commandBar(const Window& desktop) {
    return RECT{desktop.rect.left, desktop.rect.bottom - taskbarHeight(), desktop.rect.right, desktop.rect.bottom};
}

// The notification icons sit in the command bar, right to left, left of the input-panel button,
// each at the small-icon size in a slot a quarter wider (16 in 20 at 96 DPI), no taller than the
// bar.
RECT trayIconRect(const Window& desktop, size_t index) {
    RECT bar = commandBar(desktop);
    int icon = std::min<int>(GetSystemMetrics(SM_CXSMICON), bar.bottom - bar.top);
    int slot = icon + icon / 4;
    int right = bar.right - scaled(24) - static_cast<int>(index) * slot;
    int top = bar.top + (bar.bottom - bar.top - icon) / 2;
    return RECT{right - slot + (slot - icon) / 2, top, right - slot + (slot - icon) / 2 + icon, top + icon};
}

// Whether the command bar has room for the icon of that slot.
bool iconFits(const Window& desktop, size_t index) { return trayIconRect(desktop, index).left >= commandBar(desktop).left; }

Window* desktopWindow() {
    for (HWND h : topLevelWindows()) {
        Window* w = findWindowObject(h);
        if (w && w->className == u"DesktopExplorerWindow") return w;
    }
    return nullptr;
}

}  // namespace

TaskbarStyle taskbarStyle() { return gStyle; }

void setTaskbarStyle(TaskbarStyle style) {
    gStyle = style;
    if (style == TaskbarStyle::Device) startClock();
    repaintTaskbar();
}

void shellBuilt() {
    if (gStyle == TaskbarStyle::Device) startClock();
}

std::u16string clockText(uint64_t ms) {
    uint64_t minutes = (ms + kClockStartMs) / 60000;
    int hour = static_cast<int>((minutes / 60) % 12);
    int minute = static_cast<int>(minutes % 60);
    std::string t = std::to_string(hour == 0 ? 12 : hour) + ":" + (minute < 10 ? "0" : "") + std::to_string(minute);
    return fromUtf8(t);
}

// The active window: the topmost visible window that is not the shell's taskbar or its
// input-panel button; the desktop is shown as "Start", as the device's taskbar shows it.
std::u16string activeTitle() {
    for (HWND h : topLevelWindows()) {
        Window* w = findWindowObject(h);
        if (w == nullptr || !w->visible || h == taskbarWindow() || w->className == u"MS_SIPBUTTON") continue;
        if (w->className == u"DesktopExplorerWindow") return u"Start";
        return w->title;
    }
    return u"Start";
}

void paintDeviceTaskbar(Surface& screen, int width, int height) {
    Canvas c(screen, RECT{0, 0, width, height});
    for (int y = 0; y < height; ++y) {
        int shade = height > 1 ? 50 * y / (height - 1) : 0;
        c.hline(0, width, y, RGB(0, 70 - shade / 2, 170 - shade));
    }
    int flag = scaled(16);
    drawFlag(c, scaled(5), (height - flag) / 2, flag);
    Font clock = plainFont();
    std::u16string time = clockText(world().clockMs);
    int clockWidth = clock.textWidth(time);
    RECT clockRect{width - scaled(6) - clockWidth, 0, width - scaled(6), height};
    c.text(clockRect, time, clock, RGB(255, 255, 255), Align::Right);
    c.text(RECT{scaled(28), 0, clockRect.left - scaled(6), height}, activeTitle(), titleFont(), RGB(255, 255, 255));
}

void drawDesktop(Canvas& c, const Window& desktop) {
    c.fill(desktop.rect, colour::Desktop);
    RECT bar = commandBar(desktop);
    c.fill(bar, colour::CommandBar);
    c.hline(bar.left, bar.right, bar.top, colour::Shadow);
    // Each icon as the notification area holds it (its own copy of the image the program gave,
    // a composed one as well as a resource's), in the slots that fit left of the input panel's
    // button; an icon without an image leaves its slot empty.
    const auto& icons = trayIcons();
    for (size_t i = 0; i < icons.size() && iconFits(desktop, i); ++i) {
        const TrayIcon& t = icons[i];
        if (!t.hasImage) continue;
        RECT r = trayIconRect(desktop, i);
        int size = r.right - r.left;
        // An image of another size is centred on its slot.
        c.within(r).icon(r.left + (size - t.colour.width) / 2, r.top + (size - t.colour.height) / 2,
                         Image{t.colour.width, t.colour.height, t.colour.pixels}, Image{t.mask.width, t.mask.height, t.mask.pixels});
    }
}

void drawInputPanelButton(Canvas& c, const Window& button) {
    const RECT& r = button.rect;
    c.fill(r, colour::CommandBar);
    // A small keyboard: a frame with two rows of keys.
    int w = std::min<int>(r.right - r.left - 6, 16);
    int h = std::min<int>(r.bottom - r.top - 10, 10);
    RECT k = makeRect(r.left + (r.right - r.left - w) / 2, r.top + (r.bottom - r.top - h) / 2, w, h);
    c.fill(k, colour::Window);
    c.frame(k, colour::Frame);
    for (int x = k.left + 2; x + 1 < k.right - 1; x += 3) {
        c.pixel(x, k.top + 2, colour::Frame);
        c.pixel(x, k.top + 5, colour::Frame);
    }
}

void drawPlainWindow(Canvas& c, const Window& window) {
    const RECT& r = window.rect;
    c.fill(r, colour::Window);
    Font f = titleFont();
    int header = f.height() + scaled(8);
    c.text(RECT{r.left + scaled(6), r.top, r.right - scaled(6), r.top + header}, window.title, f, colour::Text);
    c.hline(r.left, r.right, r.top + header, colour::Shadow);
}

bool tapNotificationArea(int x, int y) {
    Window* desktop = desktopWindow();
    if (desktop == nullptr || windowAtPoint(x, y) != desktop->handle) return false;
    for (size_t i = 0; i < trayIcons().size() && iconFits(*desktop, i); ++i) {
        const TrayIcon& icon = trayIcons()[i];
        if (inside(trayIconRect(*desktop, i), x, y)) {
            postMessageInternal(icon.window, icon.callbackMessage, icon.id, WM_LBUTTONDOWN);
            return true;
        }
    }
    return false;
}

}  // namespace sim::screen
