// The one platform include of the logic: the real Windows headers on Windows, the simulated
// Pocket PC elsewhere. Both offer the same names, types and constants.
#pragma once

#ifdef _WIN32
#include "win32/win32_api.h"
#else
#include "sim/sim_api.h"
#endif
