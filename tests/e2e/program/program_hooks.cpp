// The program image's side of the seam: the table starts out with the real operations (the
// platform's, or the desktop compatibility layer's), and the image exports it with its entry point.
#include "tests/e2e/program/hooks.h"

#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

OrvoE2eHooks orvoE2eHookTable = {
#define ORVO_E2E_REAL(result, name, parameters, arguments) &name,
    ORVO_E2E_HOOKS(ORVO_E2E_REAL)
#undef ORVO_E2E_REAL
};

extern "C" __declspec(dllexport) OrvoE2eHooks* __cdecl orvoE2eHooks() { return &orvoE2eHookTable; }

extern "C" __declspec(dllexport) int __cdecl orvoE2eMain(HINSTANCE instance) {
    WCHAR commandLine[1] = {0};
    return wWinMain(instance, NULL, commandLine, SW_SHOW);
}
