// The end-to-end test image's exports: the device's seam, which the runner fills with its
// stand-in device's operations, and the program's entry point.
#include "platform/win32/device_seam.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

extern "C" __declspec(dllexport) DeviceSeam* __cdecl orvoE2eHooks() { return &orvoDeviceSeam; }

extern "C" __declspec(dllexport) int __cdecl orvoE2eMain(HINSTANCE instance) {
    WCHAR commandLine[1] = {0};
    return wWinMain(instance, NULL, commandLine, SW_SHOW);
}
