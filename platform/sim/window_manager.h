// The simulated window manager, by area as the platform's own libraries are: classes and windows,
// messages and the queue, timers, system metrics.
#pragma once

#include "classes_and_windows.h"
#include "messages.h"
#include "system_metrics.h"
#include "timers.h"
