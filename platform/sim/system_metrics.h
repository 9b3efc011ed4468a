// System metrics: the sizes the device reports for its screen, icons and taskbar.
#pragma once

#include "sim_types.h"

namespace sim {

// Where a window made with CW_USEDEFAULT goes: the screen below the taskbar.
RECT defaultWindowRect();

}  // namespace sim
