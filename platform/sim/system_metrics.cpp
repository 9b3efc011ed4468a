// System metrics: the sizes the device reports for its screen, icons and taskbar.
#include "system_metrics.h"

#include "sim_api.h"
#include "world.h"

namespace sim {
namespace {

const int kTaskbarHeightSmall = 26;

int shellTaskbarHeight() {
    const Device& d = world().device;
    return (d.screenWidth > 320 || d.screenHeight > 320) ? 2 * kTaskbarHeightSmall : kTaskbarHeightSmall;
}

}  // namespace

RECT defaultWindowRect() {
    const Device& d = world().device;
    return RECT{0, shellTaskbarHeight(), d.screenWidth, d.screenHeight};
}

}  // namespace sim

using namespace sim;

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON: return 32;
        case SM_CXSCREEN: return world().device.screenWidth;
        case SM_CYSCREEN: return world().device.screenHeight;
        // A program aware of high-resolution screens gets small icons of 32 pixels on a VGA screen.
        case SM_CXSMICON:
        case SM_CYSMICON: {
            const Device& d = world().device;
            if (d.smallIconSize > 0) return d.smallIconSize;
            return (d.screenWidth > 320 || d.screenHeight > 320) ? 32 : 16;
        }
        default: return 0;
    }
}

