// The device's seam as the real program has it: every operation is the platform's own, or the
// desktop compatibility layer's.
#include "platform/win32/device_seam.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif

// A desktop's notification-icon menu: see ce_desktop.cpp.
#define TrackPopupMenuEx ceTrackPopupMenuEx

DeviceSeam orvoDeviceSeam = {
#define ORVO_DEVICE_SEAM_REAL(result, name, parameters, arguments) &name,
    ORVO_DEVICE_SEAM(ORVO_DEVICE_SEAM_REAL)
#undef ORVO_DEVICE_SEAM_REAL
};
